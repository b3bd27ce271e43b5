#include "bytesource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "decodererror.h"

namespace norl {
namespace {

class FileSource final : public ByteSource {
public:
    FileSource(int fd, int64_t size) : m_fd(fd), m_size(size) {}
    ~FileSource() override { ::close(m_fd); }
    FileSource(const FileSource &) = delete;
    FileSource &operator=(const FileSource &) = delete;

    size_t read(void *buffer, size_t bytes) override
    {
        for (;;) {
            ssize_t got = ::read(m_fd, buffer, bytes);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                fail(NP_ERROR_INPUT, std::string("read failed: ") + std::strerror(errno));
            // A file cut short while it plays is a failure, not the end of the song.
            if (got == 0 && bytes > 0 && m_offset < m_size)
                fail(NP_ERROR_INPUT, "the file became shorter while it was read");
            m_offset += got;
            return size_t(got);
        }
    }
    bool seek(int64_t offset) override
    {
        if (::lseek(m_fd, off_t(offset), SEEK_SET) != offset)
            return false;
        m_offset = offset;
        return true;
    }
    int64_t size() const override { return m_size; }
    bool canSeek() const override { return true; }

private:
    int m_fd;
    int64_t m_size;
    int64_t m_offset = 0;
};

class CallbackSource final : public ByteSource {
public:
    CallbackSource(const InputCallbacks &callbacks, int32_t userData, bool canSeek, int64_t size)
        : m_cb(callbacks), m_userData(userData), m_canSeek(canSeek), m_size(size)
    {
    }
    ~CallbackSource() override { m_cb.close(m_cb.context, m_userData); }
    CallbackSource(const CallbackSource &) = delete;
    CallbackSource &operator=(const CallbackSource &) = delete;

    size_t read(void *buffer, size_t bytes) override
    {
        int32_t want = int32_t(std::min<size_t>(bytes, INT32_MAX));
        int32_t got = 0;
        if ((m_cb.read(m_cb.context, m_userData, buffer, want, &got) & 0xff) == 0 || got < 0 ||
            got > want)
            fail(NP_ERROR_INPUT, "the input read callback failed");
        return size_t(got);
    }
    bool seek(int64_t offset) override
    {
        if (!m_canSeek || offset < 0 || offset > INT32_MAX)
            return false;
        return (m_cb.seek(m_cb.context, m_userData, int32_t(offset), 0) & 0xff) != 0;
    }
    int64_t size() const override { return m_size; }
    bool canSeek() const override { return m_canSeek; }

private:
    InputCallbacks m_cb;
    int32_t m_userData;
    bool m_canSeek;
    int64_t m_size;
};

} // namespace

std::unique_ptr<ByteSource> openFileSource(const std::string &path)
{
    // Without O_NONBLOCK, opening a FIFO waits for a writer, possibly for ever; reading a
    // regular file ignores it.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        fail(NP_ERROR_INPUT, "cannot open " + path + ": " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fail(NP_ERROR_INPUT, path + " is not a regular file");
    }
    return std::make_unique<FileSource>(fd, int64_t(st.st_size));
}

std::unique_ptr<ByteSource> openCallbackSource(const InputCallbacks &callbacks)
{
    if (!callbacks.complete())
        fail(NP_ERROR_MISSING_CALLBACK, "input callbacks are not registered");
    int32_t userData = 0;
    NpFlag canSeek = 0;
    if ((callbacks.open(callbacks.context, &userData, &canSeek) & 0xff) == 0)
        fail(NP_ERROR_INPUT, "the input open callback failed");
    // From here the source owns the open input and closes it whatever happens.
    int32_t size = -1;
    bool sizeKnown = (callbacks.getSize(callbacks.context, userData, &size) & 0xff) != 0;
    return std::make_unique<CallbackSource>(callbacks, userData, canSeek != 0,
                                            sizeKnown && size >= 0 ? size : -1);
}

} // namespace norl
