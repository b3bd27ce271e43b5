// One open MPEG audio stream decoded by libmpg123 to signed 16-bit PCM at its own rate and
// channel count.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "bufferedreader.h"
#include "bytesource.h"
#include "equalizer.h"
#include "norlplay.h"

struct mpg123_handle_struct;

namespace norl {

struct PcmFormat {
    int rate = 0;
    int channels = 0;
    size_t frameBytes() const { return size_t(channels) * 2; }
};

using Id3v1Tag = std::array<uint8_t, NP_ID3V1_SIZE>;

class MpegStream {
public:
    // Reads the headers and the exact length. Throws DecoderError(NP_ERROR_INPUT) for input
    // that is unreadable or not MPEG audio.
    explicit MpegStream(std::unique_ptr<ByteSource> source);
    ~MpegStream();
    MpegStream(const MpegStream &) = delete;
    MpegStream &operator=(const MpegStream &) = delete;

    PcmFormat format() const { return m_format; }
    int64_t lengthFrames() const { return m_lengthFrames; }
    int64_t framesToMs(int64_t frames) const;
    int64_t msToFrames(int64_t ms) const;
    const NpStreamInfo &info() const { return m_info; }
    // The ID3v1 tag, or one made from the ID3v2 tag when the file has no ID3v1 tag.
    const std::optional<Id3v1Tag> &tagRecord() const { return m_tagRecord; }
    bool canSeek() const { return m_source->canSeek(); }

    // Next PCM frame that decode() delivers.
    int64_t position() const { return m_position; }
    // Throws DecoderError(NP_ERROR_INPUT) when the input cannot seek or fails.
    void seek(int64_t frame);
    // Decodes up to maxFrames frames into out; 0 at the end of the stream. Throws
    // DecoderError(NP_ERROR_INPUT) when the input fails on the way.
    size_t decode(int16_t *out, size_t maxFrames);

    // Whether libmpg123 was built with its equalizer.
    static bool hasEqualizer();
    // Scales what is decoded from now on; off restores libmpg123's untouched output.
    void applyEqualizer(const Equalizer &equalizer);

private:
    void readStreamInfo();

    std::unique_ptr<ByteSource> m_source;
    BufferedReader m_reader;
    mpg123_handle_struct *m_handle = nullptr;
    PcmFormat m_format;
    int64_t m_id3v2Bytes = 0;
    int64_t m_lengthFrames = 0;
    int64_t m_position = 0;
    int m_decodeError = 0; // met after PCM that went out first; ends the stream at the next call
    NpStreamInfo m_info{};
    bool m_hasId3v1 = false; // the last 128 bytes are a tag, not audio
    std::optional<Id3v1Tag> m_tagRecord;
};

} // namespace norl
