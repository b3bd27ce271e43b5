// One decoder handle: its settings, the open stream, the output and the decoder thread that
// feeds it. Every public member runs under the handle's lock, taken by run().
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bytesource.h"
#include "decodererror.h"
#include "equalizer.h"
#include "mpegstream.h"
#include "norlplay.h"
#include "output.h"
#include "pulsecontext.h"
#include "volume.h"

namespace norl {

// Wakes the decoder thread; set from any thread, including the sound server's.
class WakeEvent {
public:
    void set();
    void waitFor(std::chrono::milliseconds timeout);
    void wait();

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_set = false;
};

class Decoder {
public:
    Decoder() = default;
    ~Decoder();
    Decoder(const Decoder &) = delete;
    Decoder &operator=(const Decoder &) = delete;

    // Runs action under the handle's lock. A failure is recorded for ESLastError and answered
    // with `failure`; nothing escapes.
    template <class T, class Action> T run(T failure, Action &&action);

    int lastError() const { return m_lastError.load(); }

    void open();
    bool close();
    void initStream();
    void play();
    void pause();
    void resume();
    bool stop();

    int mode() const { return m_mode; }
    int32_t positionMs();
    void setPositionMs(int32_t ms);
    int32_t sizeMs() const;
    bool canSeek() const { return m_stream && m_stream->canSeek(); }

    void setInputMode(int mode);
    void setOutputMode(int mode);
    void setInputName(const char *name);
    void setOutputName(const char *name);
    void setDeviceNumber(int device);
    void setBuffers(int count, int bytes);
    void setPriority(int level);
    void setLimits(int32_t startMs, int32_t endMs);
    void setInputCallbacks(const InputCallbacks &callbacks) { m_inputCallbacks = callbacks; }
    void setOutputCallbacks(const OutputCallbacks &callbacks);
    void setUseOutputCallback(bool use);

    StereoVolume volume();
    void setVolume(StereoVolume volume);

    // Kept for every stream this handle opens. Throw DecoderError(NP_ERROR_NOT_IMPLEMENTED)
    // without libmpg123's equalizer.
    void setUseEqualizer(bool use);
    void setEqualizerGain(int band, int tenthsDb);

    NpStreamInfo streamInfo() const;
    const uint8_t *id3v1Tag() const;

private:
    void requireStream() const;
    void openStream();
    void releaseStream();
    void applyEqualizer();
    bool closeOutput();
    bool finishOutput(std::unique_ptr<Output> &output);
    void updateTap();
    void seekTo(int64_t frame);
    int64_t rangeStart() const;
    int64_t rangeEnd() const;
    void rewindToRangeStart();
    int64_t heardFrame();
    std::optional<StereoVolume> heardVolume();
    // What the server keeps for this program; empty when it keeps nothing or does not answer.
    std::optional<StereoVolume> rememberedVolume();

    void startThread();
    void stopThread();
    void threadMain();
    bool pump(std::vector<int16_t> &pcm);
    void endStream(int errorCode);

    // Serialises entry points; m_mutex below guards the state shared with the decoder thread.
    std::mutex m_callMutex;
    std::mutex m_mutex;
    // Callers queue here so that the decoder thread, which takes the lock in a loop, lets them in.
    std::atomic<int> m_callersWaiting{0};
    std::atomic<int> m_lastError{NP_ERROR_NONE};

    // Settings.
    int m_inputMode = imFile;
    std::string m_inputName;
    OutputSettings m_outputSettings;
    InputCallbacks m_inputCallbacks;
    bool m_useOutputCallback = false;
    // What the server gives a stream that brings no volume: as it last reported, or as its
    // stream restore remembers.
    std::optional<StereoVolume> m_serverVolume;
    int m_priority = 0;
    int32_t m_startMs = 0;
    int32_t m_endMs = 0;
    Equalizer m_equalizer;

    // The stream.
    int m_mode = NP_MODE_CLOSED;
    std::unique_ptr<MpegStream> m_stream;
    std::unique_ptr<PulseContext> m_server;
    std::unique_ptr<Output> m_output;
    std::unique_ptr<Output> m_tap; // OutputProc beside the sound server
    bool m_playsOnServer = false;  // m_output is the sound server's
    int64_t m_baseFrame = 0;       // stream position where the output started or last flushed
    int64_t m_endedFrame = 0;
    int64_t m_lastHeardFrame = 0; // kept for when the output can no longer tell
    int64_t m_pausedFrame = 0;    // what had been heard when paused; nothing more is while paused
    bool m_inputDone = false;

    // The decoder thread.
    std::thread m_thread;
    bool m_quit = false;
    std::atomic<pid_t> m_threadId{0};
    WakeEvent m_wake;
};

template <class T, class Action> T Decoder::run(T failure, Action &&action)
{
    std::lock_guard call(m_callMutex);
    ++m_callersWaiting;
    std::unique_lock lock(m_mutex);
    --m_callersWaiting;
    try {
        return action();
    } catch (const DecoderError &e) {
        m_lastError = e.code();
    } catch (const std::bad_alloc &) {
        m_lastError = NP_ERROR_NO_MEMORY;
    } catch (const std::system_error &) {
        m_lastError = NP_ERROR_RESOURCES;
    } catch (...) {
        m_lastError = NP_ERROR_INTERNAL;
    }
    return failure;
}

} // namespace norl
