// Where decoded PCM goes. One implementation per output mode (the sound server, a WAV file,
// the host's callback), chosen by makeOutput. Outputs are driven under the decoder's lock:
// created by the caller of ESInitStream, fed by the decoder thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "mpegstream.h"
#include "norlplay.h"
#include "volume.h"

namespace norl {

class PulseContext;

class Output {
public:
    virtual ~Output() = default;

    // Frames the output takes now without blocking; 0 while it does not want more.
    virtual size_t writableFrames() = 0;
    // The most frames worth handing over in one write.
    virtual size_t blockFrames() const { return 4096; }
    // Throws DecoderError(NP_ERROR_OUTPUT) when the output fails.
    virtual void write(const int16_t *pcm, size_t frames) = 0;
    // Paused outputs keep what they hold; a sound-server output may still take data to prefill.
    virtual void setPaused(bool paused) = 0;
    // Drops what is queued but not heard yet (a seek).
    virtual void flush() = 0;
    // No more data follows; once everything has been heard, drained() answers true.
    virtual void drain() = 0;
    virtual bool drained() = 0;
    // Frames heard since the output started or was last flushed.
    virtual int64_t playedFrames() = 0;
    // Throws DecoderError(NP_ERROR_OUTPUT) once the output has failed on its own (server gone).
    virtual void checkHealth() {}
    // The stream's volume as the listener's mixer sees it, when the output has one.
    virtual std::optional<StereoVolume> volume() { return std::nullopt; }
    virtual void setVolume(StereoVolume) {}
    // Called once when the stream stops or closes before it ended; throws DecoderError when
    // what was written cannot be completed (a WAV file's sizes).
    virtual void close() {}
};

struct OutputCallbacks {
    NpOutputProc output = nullptr;
    NpOutputActionProc action = nullptr;
    void *context = nullptr;
};

struct OutputSettings {
    int mode = omMMSystem;
    std::string fileName;
    int deviceNumber = 0;
    int bufferCount = 8;
    int bufferBytes = 16384;
    // Unset: the sound server chooses (the volume it remembers for this program's streams).
    std::optional<StereoVolume> volume;
    OutputCallbacks callbacks;
    // Wakes the decoder thread when the output wants data or has drained (any thread).
    std::function<void()> wake;
};

bool isSoundServerMode(int mode);

// Throws DecoderError: 6 when the output cannot be opened, 9 for a missing callback.
// `server` is the handle's connection, used by the sound-server modes (null in the others).
std::unique_ptr<Output> makeOutput(const OutputSettings &settings, const PcmFormat &format,
                                   PulseContext *server);

std::unique_ptr<Output> makeWavOutput(const std::string &fileName, const PcmFormat &format);
std::unique_ptr<Output> makeCallbackOutput(const OutputCallbacks &callbacks,
                                           const PcmFormat &format);
std::unique_ptr<Output> makePulseOutput(PulseContext &server, const OutputSettings &settings,
                                        const PcmFormat &format);

} // namespace norl
