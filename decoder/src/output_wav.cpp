// Writes a 16-bit PCM WAV file. The header's sizes are filled in when the stream ends or stops;
// every write, the final flush and the rewrite of the header are checked.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "decodererror.h"
#include "output.h"

namespace norl {
namespace {

constexpr size_t HeaderBytes = 44;
constexpr size_t UnpausedRoom = 1 << 20;

void putLE(unsigned char *at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = uint8_t(value >> (8 * i));
}

class WavOutput final : public Output {
public:
    WavOutput(const std::string &fileName, const PcmFormat &format);
    ~WavOutput() override;

    size_t writableFrames() override { return m_paused || m_finished ? 0 : UnpausedRoom; }
    void write(const int16_t *pcm, size_t frames) override;
    void setPaused(bool paused) override { m_paused = paused; }
    void flush() override { m_framesSinceFlush = 0; }
    void drain() override { finish(); }
    bool drained() override { return m_finished; }
    int64_t playedFrames() override { return m_framesSinceFlush; }
    void close() override { finish(); }

private:
    void writeAll(const void *data, size_t bytes, off_t at);
    void finish();

    std::string m_fileName;
    PcmFormat m_format;
    int m_fd = -1;
    bool m_paused = true;
    bool m_finished = false;
    int64_t m_writtenFrames = 0;    // where the next PCM goes in the file
    int64_t m_framesSinceFlush = 0; // what a seek's new position counts from
};

WavOutput::WavOutput(const std::string &fileName, const PcmFormat &format)
    : m_fileName(fileName), m_format(format)
{
    if (fileName.empty())
        fail(NP_ERROR_OUTPUT, "no output file name");
    m_fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_fd < 0)
        fail(NP_ERROR_OUTPUT, "cannot create " + fileName + ": " + std::strerror(errno));
    unsigned char header[HeaderBytes] = {};
    uint32_t frameBytes = uint32_t(format.frameBytes());
    std::memcpy(header, "RIFF", 4);
    putLE(header + 4, 36, 4); // corrected by finish()
    std::memcpy(header + 8, "WAVEfmt ", 8);
    putLE(header + 16, 16, 4);
    putLE(header + 20, 1, 2); // PCM
    putLE(header + 22, uint32_t(format.channels), 2);
    putLE(header + 24, uint32_t(format.rate), 4);
    putLE(header + 28, uint32_t(format.rate) * frameBytes, 4);
    putLE(header + 32, frameBytes, 2);
    putLE(header + 34, 16, 2);
    std::memcpy(header + 36, "data", 4);
    putLE(header + 40, 0, 4);
    try {
        writeAll(header, sizeof header, 0);
    } catch (...) {
        ::close(m_fd);
        throw;
    }
}

WavOutput::~WavOutput()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void WavOutput::writeAll(const void *data, size_t bytes, off_t at)
{
    auto *p = static_cast<const unsigned char *>(data);
    while (bytes > 0) {
        ssize_t done = ::pwrite(m_fd, p, bytes, at);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            fail(NP_ERROR_OUTPUT, "writing " + m_fileName + " failed: " + std::strerror(errno));
        p += done;
        at += done;
        bytes -= size_t(done);
    }
}

void WavOutput::write(const int16_t *pcm, size_t frames)
{
    off_t at = off_t(HeaderBytes + m_writtenFrames * int64_t(m_format.frameBytes()));
    writeAll(pcm, frames * m_format.frameBytes(), at);
    m_writtenFrames += int64_t(frames);
    m_framesSinceFlush += int64_t(frames);
}

void WavOutput::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    // Sizes beyond what RIFF can hold are capped; the data itself is still all there.
    uint64_t dataBytes = uint64_t(m_writtenFrames) * m_format.frameBytes();
    uint32_t data32 = dataBytes > 0xffffffffu - 36 ? 0xffffffffu - 36 : uint32_t(dataBytes);
    unsigned char riff[4], data[4];
    putLE(riff, data32 + 36, 4);
    putLE(data, data32, 4);
    writeAll(riff, 4, 4);
    writeAll(data, 4, 40);
    // Closing reports what the file system could not keep; waiting for the disk (fsync) would
    // cost a fifth of a whole decode.
    int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0)
        fail(NP_ERROR_OUTPUT, "closing " + m_fileName + " failed: " + std::strerror(errno));
}

} // namespace

std::unique_ptr<Output> makeWavOutput(const std::string &fileName, const PcmFormat &format)
{
    return std::make_unique<WavOutput>(fileName, format);
}

} // namespace norl
