#include "mpegstream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mpg123.h>
#include <mutex>

#include "decodererror.h"
#include "id3record.h"

namespace norl {
namespace {

ssize_t readThunk(void *reader, void *buffer, size_t bytes)
{
    return static_cast<BufferedReader *>(reader)->read(buffer, bytes);
}

off_t seekThunk(void *reader, off_t offset, int whence)
{
    return static_cast<BufferedReader *>(reader)->seek(offset, whence);
}

void initLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

std::string_view text(const mpg123_string *string)
{
    if (!string || !string->p || string->fill == 0)
        return {};
    return {string->p, string->fill - 1}; // fill counts the closing NUL
}

// Version 2.3 keeps the year in TYER; 2.4 has a recording date, TDRC, that starts with it.
std::string_view year(const mpg123_id3v2 &tag)
{
    if (tag.year)
        return text(tag.year);
    for (size_t i = 0; i < tag.texts; ++i)
        if (std::memcmp(tag.text[i].id, "TDRC", 4) == 0)
            return text(&tag.text[i].text);
    return {};
}

// An ID3v2 tag's full size from its 10-byte header, or 0 when there is none.
int64_t id3v2Size(ByteSource &source)
{
    unsigned char h[10];
    if (!source.canSeek() || !source.seek(0) || source.read(h, sizeof h) != sizeof h)
        return 0;
    // The version bytes are never 0xff in a real header: that is a frame's sync word instead.
    if (std::memcmp(h, "ID3", 3) != 0 || h[3] == 0xff || h[4] == 0xff ||
        (h[6] | h[7] | h[8] | h[9]) & 0x80)
        return 0;
    int64_t body = (int64_t(h[6]) << 21) | (h[7] << 14) | (h[8] << 7) | h[9];
    bool footer = h[5] & 0x10;
    return 10 + body + (footer ? 10 : 0);
}

} // namespace

MpegStream::MpegStream(std::unique_ptr<ByteSource> source)
    : m_source(std::move(source)), m_reader(*m_source)
{
    initLibraryOnce();
    m_id3v2Bytes = id3v2Size(*m_source);
    if (m_source->canSeek() && !m_source->seek(0))
        fail(NP_ERROR_INPUT, "the input cannot seek");
    int err = MPG123_OK;
    m_handle = mpg123_new(nullptr, &err);
    if (!m_handle)
        fail(NP_ERROR_RESOURCES, "cannot create an MPEG decoder");
    mpg123_param(m_handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(m_handle);
    const long *rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(m_handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

    if (mpg123_replace_reader_handle(m_handle, readThunk, seekThunk, nullptr) != MPG123_OK ||
        mpg123_open_handle(m_handle, &m_reader) != MPG123_OK) {
        mpg123_delete(m_handle);
        fail(NP_ERROR_INTERNAL, "cannot attach the input to the decoder");
    }
    try {
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK ||
            m_reader.failed())
            fail(NP_ERROR_INPUT, "the input is not MPEG audio");
        m_format = {int(rate), channels};
        // A stream that changes rate later is resampled rather than changing the format.
        mpg123_format_none(m_handle);
        mpg123_format(m_handle, rate, channels, MPG123_ENC_SIGNED_16);

        if (m_source->canSeek() && mpg123_scan(m_handle) != MPG123_OK)
            fail(NP_ERROR_INPUT, "the input cannot be scanned");
        off_t length = mpg123_length(m_handle);
        if (m_reader.failed())
            fail(NP_ERROR_INPUT, "the input failed while it was scanned");
        m_lengthFrames = length > 0 ? length : 0;

        mpg123_id3v1 *v1 = nullptr;
        mpg123_id3v2 *v2 = nullptr;
        if ((mpg123_meta_check(m_handle) & MPG123_ID3) &&
            mpg123_id3(m_handle, &v1, &v2) == MPG123_OK) {
            if (v1) {
                Id3v1Tag tag;
                std::memcpy(tag.data(), v1, tag.size());
                m_tagRecord = tag;
                m_hasId3v1 = true;
            } else if (v2) {
                m_tagRecord = id3v1RecordFrom({text(v2->title), text(v2->artist), text(v2->album),
                                               year(*v2), text(v2->comment), text(v2->genre)});
            }
        }
        readStreamInfo();
    } catch (...) {
        mpg123_delete(m_handle);
        throw;
    }
}

MpegStream::~MpegStream()
{
    mpg123_delete(m_handle);
}

void MpegStream::readStreamInfo()
{
    mpg123_frameinfo2 fi{};
    mpg123_info2(m_handle, &fi);
    m_info.stereoMode = uint8_t(fi.mode);
    m_info.layer = fi.layer;
    m_info.sampleRate = int32_t(fi.rate);
    int32_t frameRate = fi.bitrate * 1000;
    m_info.bitRate = frameRate;

    // For VBR (with or without a Xing header) the file's average is the meaningful figure.
    int64_t ms = framesToMs(m_lengthFrames);
    if (m_source->size() <= 0 || ms <= 0)
        return;
    int64_t audioBytes = m_source->size() - m_id3v2Bytes - (m_hasId3v1 ? NP_ID3V1_SIZE : 0);
    if (audioBytes <= 0) // the tags claim more than the file holds: no average to trust
        return;
    int64_t average = audioBytes * 8 * 1000 / ms;
    bool varies = frameRate <= 0 || std::abs(average - frameRate) * 100 > int64_t(frameRate) * 3;
    // A few frames among megabytes of junk make an average beyond 32 bits.
    if (fi.vbr != MPG123_CBR || varies)
        m_info.bitRate = int32_t(std::min<int64_t>(average, INT32_MAX));
}

int64_t MpegStream::framesToMs(int64_t frames) const
{
    return m_format.rate > 0 ? frames * 1000 / m_format.rate : 0;
}

int64_t MpegStream::msToFrames(int64_t ms) const
{
    return ms * m_format.rate / 1000;
}

void MpegStream::seek(int64_t frame)
{
    if (frame == m_position)
        return;
    if (!canSeek())
        fail(NP_ERROR_INPUT, "the input cannot seek");
    off_t reached = mpg123_seek(m_handle, off_t(frame), SEEK_SET);
    if (reached < 0 || m_reader.failed())
        fail(NP_ERROR_INPUT, "seeking in the input failed");
    m_position = reached;
    m_decodeError = MPG123_OK;
}

size_t MpegStream::decode(int16_t *out, size_t maxFrames)
{
    // A failure can come with the PCM decoded just before it: that PCM is delivered first and
    // the failure is raised once nothing is left.
    auto failIfFailed = [this] {
        if (m_reader.failed())
            fail(NP_ERROR_INPUT, "the input failed while playing");
        if (m_decodeError != MPG123_OK)
            fail(NP_ERROR_INPUT, std::string("the stream cannot be decoded: ") +
                                     mpg123_plain_strerror(m_decodeError));
    };
    failIfFailed();
    size_t wanted = maxFrames * m_format.frameBytes();
    size_t done = 0;
    int idleRounds = 0;
    while (done < wanted) {
        size_t got = 0;
        int rc = mpg123_read(m_handle, reinterpret_cast<unsigned char *>(out) + done, wanted - done,
                             &got);
        done += got;
        if (m_reader.failed())
            break;
        if (rc == MPG123_DONE)
            break;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
            m_decodeError = rc;
            break;
        }
        // Guards against a decoder that keeps answering OK without progress.
        idleRounds = got == 0 ? idleRounds + 1 : 0;
        if (idleRounds > 64)
            break;
    }
    size_t frames = done / m_format.frameBytes();
    if (frames == 0)
        failIfFailed();
    m_position += int64_t(frames);
    return frames;
}

bool MpegStream::hasEqualizer()
{
    return mpg123_feature(MPG123_FEATURE_EQUALIZER) != 0;
}

void MpegStream::applyEqualizer(const Equalizer &equalizer)
{
    // Resetting also stops libmpg123 from applying the equalizer at all.
    if (!equalizer.on()) {
        if (mpg123_reset_eq(m_handle) != MPG123_OK)
            fail(NP_ERROR_INTERNAL, "cannot reset the equalizer");
        return;
    }
    auto factors = equalizer.subBandFactors(m_info.sampleRate);
    for (size_t k = 0; k < factors.size(); ++k)
        if (mpg123_eq(m_handle, MPG123_LR, int(k), factors[k]) != MPG123_OK)
            fail(NP_ERROR_INTERNAL, "cannot set the equalizer");
}

} // namespace norl
