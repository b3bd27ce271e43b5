#include "decoder.h"

#include <algorithm>
#include <unistd.h>

#include "threadpriority.h"

namespace norl {
namespace {

// The outputs wake the thread when they want data, drain or fail; this is only a backstop, kept
// rare since every wake-up of a playing stream costs.
constexpr auto IdleWait = std::chrono::seconds(1);
constexpr int MinBuffers = 1, MaxBuffers = 64;
constexpr int MinBufferBytes = 1024, MaxBufferBytes = 1 << 20;

void requireMode(bool allowed)
{
    if (!allowed)
        fail(NP_ERROR_BAD_MODE, "not possible in the current player mode");
}

} // namespace

void WakeEvent::set()
{
    {
        std::lock_guard lock(m_mutex);
        m_set = true;
    }
    m_cv.notify_one();
}

void WakeEvent::waitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    m_cv.wait_for(lock, timeout, [this] { return m_set; });
    m_set = false;
}

void WakeEvent::wait()
{
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [this] { return m_set; });
    m_set = false;
}

Decoder::~Decoder()
{
    std::lock_guard call(m_callMutex);
    std::lock_guard lock(m_mutex);
    releaseStream();
}

// ---- Stream life ------------------------------------------------------------------------------

void Decoder::requireStream() const
{
    if (!m_stream)
        fail(NP_ERROR_BAD_MODE, "no stream is open");
}

void Decoder::openStream()
{
    auto source = m_inputMode == imCallback ? openCallbackSource(m_inputCallbacks)
                                            : openFileSource(m_inputName);
    auto stream = std::make_unique<MpegStream>(std::move(source));
    stream->applyEqualizer(m_equalizer);
    m_stream = std::move(stream);
}

void Decoder::open()
{
    releaseStream();
    openStream();
    m_baseFrame = 0;
    m_mode = NP_MODE_OPENED;
}

void Decoder::releaseStream()
{
    stopThread();
    closeOutput();
    m_stream.reset();
    m_mode = NP_MODE_CLOSED;
}

bool Decoder::close()
{
    stopThread();
    bool completed = closeOutput();
    releaseStream();
    return completed;
}

// Finishes what the outputs wrote; a failure is recorded but does not stop the caller.
bool Decoder::closeOutput()
{
    heardVolume();
    bool completed = finishOutput(m_tap);
    return finishOutput(m_output) && completed;
}

bool Decoder::finishOutput(std::unique_ptr<Output> &output)
{
    if (!output)
        return true;
    bool completed = true;
    try {
        if (!output->drained())
            output->close();
    } catch (const DecoderError &e) {
        m_lastError = e.code();
        completed = false;
    }
    output.reset();
    return completed;
}

void Decoder::initStream()
{
    requireMode(m_mode == NP_MODE_OPENED || m_mode == NP_MODE_READY || m_mode == NP_MODE_ENDED ||
                m_mode == NP_MODE_STOPPED);
    stopThread();
    closeOutput();
    if (m_mode == NP_MODE_ENDED || m_mode == NP_MODE_READY) {
        rewindToRangeStart();
        m_mode = NP_MODE_STOPPED;
    }

    m_playsOnServer = isSoundServerMode(m_outputSettings.mode);
    if (m_playsOnServer && !m_server)
        m_server = std::make_unique<PulseContext>();
    m_outputSettings.wake = [this] { m_wake.set(); };
    // Until the thread runs, a failure leaves the stream without outputs, as it was.
    const int unready = m_mode;
    try {
        m_output = makeOutput(m_outputSettings, m_stream->format(), m_server.get());
        m_output->setPaused(true);
        m_baseFrame = m_stream->position();
        m_inputDone = false;
        m_mode = NP_MODE_READY;
        updateTap();
        startThread();
    } catch (...) {
        closeOutput();
        m_mode = unready;
        throw;
    }
}

void Decoder::setUseOutputCallback(bool use)
{
    m_useOutputCallback = use;
    updateTap();
}

// The OutputProc beside the sound server follows ESUseOutCB also once the stream is ready or
// playing: hosts send it between ESInitStream and ESPlay.
void Decoder::updateTap()
{
    bool live = m_mode == NP_MODE_READY || m_mode == NP_MODE_PLAYING || m_mode == NP_MODE_PAUSED;
    bool wanted =
        live && m_useOutputCallback && m_playsOnServer && m_outputSettings.callbacks.output;
    if (wanted && !m_tap) {
        m_tap = makeCallbackOutput(m_outputSettings.callbacks, m_stream->format());
        m_tap->setPaused(false);
        // What the thread prefilled before the song started is decoded again for the tap.
        if (m_mode == NP_MODE_READY && m_stream->canSeek() && m_stream->position() != m_baseFrame)
            seekTo(m_baseFrame);
    } else if (!wanted && m_tap) {
        finishOutput(m_tap);
    }
}

void Decoder::play()
{
    if (m_mode == NP_MODE_PLAYING)
        return;
    if (m_mode == NP_MODE_PAUSED) {
        resume();
        return;
    }
    requireMode(m_mode == NP_MODE_READY);
    if (m_baseFrame < rangeStart() || m_baseFrame >= rangeEnd())
        seekTo(rangeStart());
    m_output->setPaused(false);
    m_mode = NP_MODE_PLAYING;
    m_wake.set();
}

void Decoder::pause()
{
    if (m_mode == NP_MODE_PAUSED)
        return;
    requireMode(m_mode == NP_MODE_PLAYING);
    m_output->setPaused(true);
    m_pausedFrame = m_baseFrame + m_output->playedFrames();
    m_mode = NP_MODE_PAUSED;
}

void Decoder::resume()
{
    if (m_mode == NP_MODE_PLAYING)
        return;
    requireMode(m_mode == NP_MODE_PAUSED);
    m_output->setPaused(false);
    m_mode = NP_MODE_PLAYING;
    m_wake.set();
}

bool Decoder::stop()
{
    requireMode(m_mode != NP_MODE_CLOSED);
    stopThread();
    bool completed = closeOutput();
    rewindToRangeStart();
    m_mode = NP_MODE_STOPPED;
    return completed;
}

// A stream that cannot seek starts again from its beginning by opening it anew. One that
// cannot go back at all has lost its input and is closed.
void Decoder::rewindToRangeStart()
{
    try {
        if (m_stream->canSeek()) {
            m_stream->seek(rangeStart());
        } else if (m_stream->position() != 0) {
            m_stream.reset();
            openStream();
        }
    } catch (...) {
        releaseStream();
        throw;
    }
    m_baseFrame = m_stream->position();
    m_inputDone = false;
}

// ---- Position and range -----------------------------------------------------------------------

int64_t Decoder::rangeStart() const
{
    return std::min(m_stream->msToFrames(m_startMs), rangeEnd());
}

int64_t Decoder::rangeEnd() const
{
    int64_t length = m_stream->lengthFrames();
    if (length <= 0) // not known for an input that cannot seek
        length = INT64_MAX;
    return m_endMs > 0 ? std::min(m_stream->msToFrames(m_endMs), length) : length;
}

void Decoder::seekTo(int64_t frame)
{
    frame = std::clamp<int64_t>(frame, 0, rangeEnd());
    // Seeks before flushing: a seek that fails leaves what is queued, and the end the output
    // may be draining towards, as they were.
    m_stream->seek(frame);
    if (m_output)
        m_output->flush();
    // In a damaged stream libmpg123 may land elsewhere, even past the length its scan found:
    // the position counts from where it landed, and goes no further than the end.
    m_baseFrame = std::min(m_stream->position(), rangeEnd());
    // The server's latency estimate moves while a paused stream is refilled; the position must not.
    m_pausedFrame = m_baseFrame;
    m_inputDone = false;
    m_wake.set();
}

int64_t Decoder::heardFrame()
{
    switch (m_mode) {
    case NP_MODE_READY:
        // Nothing is heard before ESPlay, whatever the corked, prefilled stream reports.
        m_lastHeardFrame = m_baseFrame;
        return m_baseFrame;
    case NP_MODE_PLAYING:
        m_lastHeardFrame = m_baseFrame + m_output->playedFrames();
        return m_lastHeardFrame;
    case NP_MODE_PAUSED:
        m_lastHeardFrame = m_pausedFrame;
        return m_lastHeardFrame;
    case NP_MODE_ENDED:
        return m_endedFrame;
    default:
        return m_stream->position();
    }
}

int32_t Decoder::positionMs()
{
    requireStream();
    return int32_t(std::min<int64_t>(m_stream->framesToMs(heardFrame()), INT32_MAX));
}

void Decoder::setPositionMs(int32_t ms)
{
    requireMode(m_mode != NP_MODE_CLOSED && m_mode != NP_MODE_ENDED && ms >= 0);
    seekTo(m_stream->msToFrames(ms));
}

int32_t Decoder::sizeMs() const
{
    requireStream();
    return int32_t(std::min<int64_t>(m_stream->framesToMs(m_stream->lengthFrames()), INT32_MAX));
}

void Decoder::setLimits(int32_t startMs, int32_t endMs)
{
    requireMode(startMs >= 0 && endMs >= 0);
    m_startMs = startMs;
    m_endMs = endMs;
    // A stream that has not started playing moves into the new range.
    bool unplayed =
        m_mode == NP_MODE_OPENED || m_mode == NP_MODE_STOPPED || m_mode == NP_MODE_READY;
    if (unplayed && (m_baseFrame < rangeStart() || m_baseFrame >= rangeEnd()))
        seekTo(rangeStart());
}

// ---- Settings ---------------------------------------------------------------------------------

void Decoder::setInputMode(int mode)
{
    requireMode(mode == imFile || mode == imCallback);
    m_inputMode = mode;
}

void Decoder::setOutputMode(int mode)
{
    requireMode(mode >= omMMSystem && mode <= omCallback);
    m_outputSettings.mode = mode;
}

void Decoder::setInputName(const char *name)
{
    requireMode(name != nullptr);
    m_inputName = name;
}

void Decoder::setOutputName(const char *name)
{
    requireMode(name != nullptr);
    m_outputSettings.fileName = name;
}

void Decoder::setDeviceNumber(int device)
{
    requireMode(device >= 0);
    m_outputSettings.deviceNumber = device;
}

void Decoder::setBuffers(int count, int bytes)
{
    requireMode(count >= MinBuffers && count <= MaxBuffers && bytes >= MinBufferBytes &&
                bytes <= MaxBufferBytes);
    m_outputSettings.bufferCount = count;
    m_outputSettings.bufferBytes = bytes;
}

void Decoder::setPriority(int level)
{
    requireMode(isPriorityLevel(level));
    m_priority = level;
    if (pid_t tid = m_threadId.load())
        applyThreadPriority(tid, level);
}

void Decoder::setOutputCallbacks(const OutputCallbacks &callbacks)
{
    m_outputSettings.callbacks = callbacks;
}

// The stream's volume as the server reports it, kept for the time between streams.
std::optional<StereoVolume> Decoder::heardVolume()
{
    auto heard = m_output ? m_output->volume() : std::nullopt;
    if (heard) {
        if (m_outputSettings.volume)
            m_outputSettings.volume = *heard; // an outside change sticks for later streams
        m_serverVolume = *heard;
    }
    return heard;
}

StereoVolume Decoder::volume()
{
    if (auto heard = heardVolume())
        return *heard;
    if (m_outputSettings.volume)
        return *m_outputSettings.volume;
    // A stream being set up tells its volume shortly; the server is asked only between streams,
    // and only an answer is kept, so that a server still starting is asked again.
    if (!m_serverVolume && !m_output)
        m_serverVolume = rememberedVolume();
    return m_serverVolume.value_or(StereoVolume{});
}

std::optional<StereoVolume> Decoder::rememberedVolume()
{
    if (!isSoundServerMode(m_outputSettings.mode))
        return std::nullopt;
    if (!m_server)
        m_server = std::make_unique<PulseContext>();
    return m_server->rememberedVolume(std::chrono::steady_clock::now() + ServerPatience);
}

void Decoder::setVolume(StereoVolume volume)
{
    m_outputSettings.volume = volume;
    if (m_output)
        m_output->setVolume(volume);
}

// ---- Equalizer --------------------------------------------------------------------------------

void Decoder::setUseEqualizer(bool use)
{
    if (!MpegStream::hasEqualizer())
        fail(NP_ERROR_NOT_IMPLEMENTED, "libmpg123 has no equalizer");
    m_equalizer.setOn(use);
    applyEqualizer();
}

void Decoder::setEqualizerGain(int band, int tenthsDb)
{
    if (!MpegStream::hasEqualizer())
        fail(NP_ERROR_NOT_IMPLEMENTED, "libmpg123 has no equalizer");
    m_equalizer.setGain(band, tenthsDb);
    applyEqualizer();
}

// The decoder thread decodes under the same lock, so a change lands between two blocks.
void Decoder::applyEqualizer()
{
    if (m_stream)
        m_stream->applyEqualizer(m_equalizer);
}

NpStreamInfo Decoder::streamInfo() const
{
    requireStream();
    return m_stream->info();
}

const uint8_t *Decoder::id3v1Tag() const
{
    requireStream();
    if (!m_stream->tagRecord())
        fail(NP_ERROR_INPUT, "the stream has no ID3 tag");
    return m_stream->tagRecord()->data();
}

// ---- The decoder thread -----------------------------------------------------------------------

void Decoder::startThread()
{
    m_quit = false;
    m_thread = std::thread([this] { threadMain(); });
}

// Called with the lock held; lets the thread finish its current step and waits for it.
void Decoder::stopThread()
{
    if (!m_thread.joinable())
        return;
    m_quit = true;
    m_wake.set();
    m_mutex.unlock();
    m_thread.join();
    m_mutex.lock();
    m_threadId = 0;
}

void Decoder::threadMain()
{
    // A fresh thread starts from its creator's priority, so a level lowered for the previous
    // stream can be raised again.
    pid_t tid = gettid();
    int priority;
    {
        std::lock_guard lock(m_mutex);
        priority = m_priority;
        m_threadId = tid;
    }
    applyThreadPriority(tid, priority);

    std::vector<int16_t> pcm;
    for (;;) {
        while (m_callersWaiting.load() > 0)
            std::this_thread::yield();
        bool busy;
        bool ended;
        {
            std::lock_guard lock(m_mutex);
            if (m_quit)
                return;
            try {
                busy = pump(pcm);
            } catch (const DecoderError &e) {
                endStream(e.code());
                busy = false;
            } catch (const std::bad_alloc &) {
                endStream(NP_ERROR_NO_MEMORY);
                busy = false;
            }
            ended = m_mode == NP_MODE_ENDED;
        }
        // An ended stream has nothing left to do until it is stopped or closed, which wakes us;
        // otherwise the outputs wake us and the timeout is a backstop.
        if (ended)
            m_wake.wait();
        else if (!busy)
            m_wake.waitFor(IdleWait);
    }
}

// One step of playing: decode a block into the output's free room, or notice the end.
// Answers whether there may be more to do at once.
bool Decoder::pump(std::vector<int16_t> &pcm)
{
    if (m_mode != NP_MODE_READY && m_mode != NP_MODE_PLAYING && m_mode != NP_MODE_PAUSED)
        return false;
    m_output->checkHealth();
    if (!m_inputDone) {
        size_t room = m_output->writableFrames();
        if (room == 0)
            return false;
        int64_t left = rangeEnd() - m_stream->position();
        const size_t block = m_output->blockFrames();
        size_t want = size_t(std::clamp<int64_t>(left, 0, int64_t(std::min(room, block))));
        PcmFormat format = m_stream->format();
        pcm.resize(std::max(pcm.size(), block * size_t(format.channels)));
        size_t got = 0;
        try {
            got = want > 0 ? m_stream->decode(pcm.data(), want) : 0;
        } catch (const DecoderError &e) {
            m_lastError = e.code(); // the input failed: what came before still plays out
        }
        if (got > 0) {
            m_output->write(pcm.data(), got);
            if (m_tap)
                m_tap->write(pcm.data(), got);
            return true;
        }
        m_inputDone = true;
        m_output->drain();
        if (m_tap)
            m_tap->drain();
    }
    if (m_output->drained()) {
        endStream(NP_ERROR_NONE);
        return false;
    }
    return false;
}

// A failed output cannot say what was heard; the last position read stands then.
void Decoder::endStream(int errorCode)
{
    if (errorCode == NP_ERROR_NONE) {
        m_endedFrame = m_baseFrame + m_output->playedFrames();
    } else {
        m_lastError = errorCode;
        m_endedFrame = std::max(m_lastHeardFrame, m_baseFrame);
        // Completes a WAV file and tells a callback host that no more blocks follow.
        for (auto *output : {m_output.get(), m_tap.get()}) {
            try {
                if (output)
                    output->close();
            } catch (const DecoderError &) {
            }
        }
    }
    m_mode = NP_MODE_ENDED;
}

} // namespace norl
