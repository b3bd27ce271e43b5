// Plays through the sound server. The server's buffer is the read-ahead: the stream asks for
// BuffersCount x BufferSize bytes, and the decoder thread writes whenever there is room. The
// server asks for more once half of it has been played, and gets it in one write: every
// request, write and timing update wakes a thread on both sides. So the timing is asked for
// after a cork or flush, when the server starts playing (after the prebuffer of a start, a
// seek or an underrun) and at most every TimingRefresh while the position is read, not every
// 100 ms; in between the position is interpolated from the local clock.
// Opening waits for a slow or hung server no longer than ServerPatience: the caller is often
// the host's window thread.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "decodererror.h"
#include "output.h"
#include "pulsecontext.h"

namespace norl {
namespace {

constexpr int ServerChannels = 2;
constexpr size_t ServerFrameBytes = ServerChannels * sizeof(int16_t);
constexpr auto TimingRefresh = std::chrono::milliseconds(500);

pa_cvolume serverVolume(StereoVolume v)
{
    pa_cvolume cv;
    pa_cvolume_init(&cv);
    cv.channels = ServerChannels;
    cv.values[0] = toServerVolume(v.left, PA_VOLUME_NORM);
    cv.values[1] = toServerVolume(v.right, PA_VOLUME_NORM);
    return cv;
}

class PulseOutput final : public Output {
public:
    PulseOutput(PulseContext &server, const OutputSettings &settings, const PcmFormat &format);
    ~PulseOutput() override;

    size_t writableFrames() override;
    size_t blockFrames() const override { return m_blockFrames; }
    void write(const int16_t *pcm, size_t frames) override;
    void setPaused(bool paused) override;
    void flush() override;
    void drain() override;
    bool drained() override { return m_drained.load(); }
    int64_t playedFrames() override;
    void checkHealth() override;
    std::optional<StereoVolume> volume() override;
    void setVolume(StereoVolume v) override;

private:
    static void onStreamEvent(pa_stream *, void *self);
    static void onDrained(pa_stream *, int success, void *self);
    static void onWritable(pa_stream *, size_t, void *self);
    static void onStarted(pa_stream *, void *self);
    static void onSinkInputInfo(pa_context *, const pa_sink_input_info *info, int eol, void *self);
    void onSinkInputChanged(uint32_t index);
    void cancelDrain();
    void cancelVolumeQuery();
    void releaseStream();
    bool streamUsable() const;
    void updateTiming();

    PulseContext &m_server;
    PcmFormat m_format;
    size_t m_requestBytes;
    // What the server granted: one request is one block (the decoder thread decodes a block
    // under the handle's lock, which the host's calls wait on), and less than one request of
    // room is not worth a write (the server asks for the rest soon).
    size_t m_blockFrames = 0;
    size_t m_minWritableBytes = 0;
    std::function<void()> m_wake;
    pa_stream *m_stream = nullptr;
    pa_operation *m_drain = nullptr;
    pa_operation *m_volumeQuery = nullptr; // cancelled before this output goes away
    std::atomic<bool> m_drained{false};
    int64_t m_writtenFrames = 0;
    std::chrono::steady_clock::time_point m_timingAsked;
    std::vector<int16_t> m_upmix;
    // What was asked for, and what the server reported for the stream last (nothing yet for a
    // stream whose volume the server chose).
    std::optional<StereoVolume> m_requested;
    pa_cvolume m_requestedServer{};
    std::optional<pa_cvolume> m_reported;
};

PulseOutput::PulseOutput(PulseContext &server, const OutputSettings &settings,
                         const PcmFormat &format)
    : m_server(server), m_format(format),
      m_requestBytes(
          size_t(std::max(settings.bufferBytes, settings.bufferCount * settings.bufferBytes / 2))),
      m_wake(settings.wake), m_requested(settings.volume)
{
    const auto deadline = std::chrono::steady_clock::now() + ServerPatience;
    server.connect(deadline);
    std::string sink =
        settings.deviceNumber > 0 ? server.sinkName(settings.deviceNumber, deadline) : "";

    pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, uint32_t(format.rate), ServerChannels};
    pa_channel_map map;
    pa_channel_map_init_stereo(&map);
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(settings.bufferCount * settings.bufferBytes);
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(m_requestBytes);
    attr.fragsize = uint32_t(-1);
    if (m_requested) {
        m_requestedServer = serverVolume(*m_requested);
        m_reported = m_requestedServer;
    }
    auto flags = pa_stream_flags_t(PA_STREAM_START_CORKED | PA_STREAM_INTERPOLATE_TIMING);
    bool connected;
    {
        PulseContext::Lock lock(server);
        m_stream = pa_stream_new(server.context(), "Music", &sampleFormat, &map);
        if (!m_stream)
            fail(NP_ERROR_OUTPUT, "the sound server refused a new stream");
        pa_stream_set_state_callback(m_stream, onStreamEvent, this);
        pa_stream_set_write_callback(m_stream, onWritable, this);
        pa_stream_set_started_callback(m_stream, onStarted, this);
        // No volume here: the desktop's stream restore gives the one it keeps, and the host's
        // volume follows as a change, which the stream restore keeps for the next run.
        connected = pa_stream_connect_playback(m_stream, sink.empty() ? nullptr : sink.c_str(),
                                               &attr, flags, nullptr, nullptr) >= 0;
    }
    bool settled = connected && server.waitFor(
                                    [this] {
                                        auto s = pa_stream_get_state(m_stream);
                                        return s == PA_STREAM_READY || !PA_STREAM_IS_GOOD(s);
                                    },
                                    deadline);
    if (!settled || !streamUsable()) {
        PulseContext::Lock lock(server);
        releaseStream();
        fail(NP_ERROR_OUTPUT, "the sound server did not accept the stream");
    }
    {
        PulseContext::Lock lock(server);
        const pa_buffer_attr *granted = pa_stream_get_buffer_attr(m_stream);
        m_blockFrames = std::max<size_t>(granted->minreq, m_requestBytes) / ServerFrameBytes;
        m_minWritableBytes = granted->minreq;
        updateTiming();
    }
    server.setSinkInputListener([this](uint32_t index) { onSinkInputChanged(index); });
    // Still corked: the change is made before anything is heard.
    if (m_requested) {
        setVolume(*m_requested);
    } else {
        PulseContext::Lock lock(server);
        onSinkInputChanged(pa_stream_get_index(m_stream));
    }
}

PulseOutput::~PulseOutput()
{
    m_server.setSinkInputListener(nullptr);
    PulseContext::Lock lock(m_server);
    cancelDrain();
    cancelVolumeQuery();
    releaseStream();
}

// With the main loop locked. The server may still answer for a stream it has not set up yet
// (a slow server): nothing of it may call back into this object.
void PulseOutput::releaseStream()
{
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    pa_stream_set_started_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

bool PulseOutput::streamUsable() const
{
    PulseContext::Lock lock(m_server);
    return pa_stream_get_state(m_stream) == PA_STREAM_READY &&
           pa_context_get_state(m_server.context()) == PA_CONTEXT_READY;
}

void PulseOutput::onStreamEvent(pa_stream *, void *self)
{
    auto *me = static_cast<PulseOutput *>(self);
    if (me->m_wake)
        me->m_wake(); // a failed stream ends the song
}

void PulseOutput::checkHealth()
{
    if (!streamUsable())
        fail(NP_ERROR_OUTPUT, "the sound server went away");
}

size_t PulseOutput::writableFrames()
{
    PulseContext::Lock lock(m_server);
    size_t bytes = pa_stream_writable_size(m_stream);
    return bytes == size_t(-1) || bytes < m_minWritableBytes ? 0 : bytes / ServerFrameBytes;
}

void PulseOutput::write(const int16_t *pcm, size_t frames)
{
    const int16_t *data = pcm;
    if (m_format.channels == 1) {
        m_upmix.resize(frames * ServerChannels);
        for (size_t i = 0; i < frames; ++i)
            m_upmix[2 * i] = m_upmix[2 * i + 1] = pcm[i];
        data = m_upmix.data();
    }
    PulseContext::Lock lock(m_server);
    if (pa_stream_write(m_stream, data, frames * ServerFrameBytes, nullptr, 0, PA_SEEK_RELATIVE) <
        0)
        fail(NP_ERROR_OUTPUT, "writing to the sound server failed");
    m_writtenFrames += int64_t(frames);
}

// With the main loop locked.
void PulseOutput::updateTiming()
{
    m_timingAsked = std::chrono::steady_clock::now();
    if (pa_operation *op = pa_stream_update_timing_info(m_stream, nullptr, nullptr))
        pa_operation_unref(op);
}

void PulseOutput::setPaused(bool paused)
{
    PulseContext::Lock lock(m_server);
    if (pa_operation *op = pa_stream_cork(m_stream, paused ? 1 : 0, nullptr, nullptr))
        pa_operation_unref(op);
    updateTiming();
}

void PulseOutput::cancelDrain()
{
    if (m_drain) {
        pa_operation_cancel(m_drain);
        pa_operation_unref(m_drain);
        m_drain = nullptr;
    }
}

void PulseOutput::flush()
{
    PulseContext::Lock lock(m_server);
    cancelDrain();
    m_drained = false;
    if (pa_operation *op = pa_stream_flush(m_stream, nullptr, nullptr))
        pa_operation_unref(op);
    updateTiming();
    m_writtenFrames = 0;
}

void PulseOutput::drain()
{
    PulseContext::Lock lock(m_server);
    if (!m_drain)
        m_drain = pa_stream_drain(m_stream, onDrained, this);
}

void PulseOutput::onDrained(pa_stream *, int success, void *self)
{
    auto *me = static_cast<PulseOutput *>(self);
    if (success) {
        me->m_drained = true;
        if (me->m_wake)
            me->m_wake();
    }
}

void PulseOutput::onWritable(pa_stream *, size_t, void *self)
{
    auto *me = static_cast<PulseOutput *>(self);
    if (me->m_wake)
        me->m_wake();
}

void PulseOutput::onStarted(pa_stream *, void *self)
{
    static_cast<PulseOutput *>(self)->updateTiming();
}

int64_t PulseOutput::playedFrames()
{
    if (m_drained)
        return m_writtenFrames;
    PulseContext::Lock lock(m_server);
    if (std::chrono::steady_clock::now() - m_timingAsked >= TimingRefresh)
        updateTiming(); // for the next reading
    pa_usec_t latency = 0;
    int negative = 0;
    // Right after a flush the server has no timing yet: nothing of the new data is heard.
    if (pa_stream_get_latency(m_stream, &latency, &negative) < 0)
        return 0;
    int64_t queued = negative ? 0 : int64_t(latency * uint64_t(m_format.rate) / 1000000);
    return std::clamp<int64_t>(m_writtenFrames - queued, 0, m_writtenFrames);
}

void PulseOutput::setVolume(StereoVolume v)
{
    PulseContext::Lock lock(m_server);
    m_requested = v;
    m_requestedServer = serverVolume(v);
    m_reported = m_requestedServer;
    if (pa_operation *op =
            pa_context_set_sink_input_volume(m_server.context(), pa_stream_get_index(m_stream),
                                             &m_requestedServer, nullptr, nullptr))
        pa_operation_unref(op);
}

std::optional<StereoVolume> PulseOutput::volume()
{
    PulseContext::Lock lock(m_server);
    if (!m_reported)
        return std::nullopt;
    if (m_requested && pa_cvolume_equal(&*m_reported, &m_requestedServer))
        return m_requested;
    uint32_t left = m_reported->values[0];
    uint32_t right = m_reported->channels > 1 ? m_reported->values[1] : left;
    return StereoVolume{fromServerVolume(left, PA_VOLUME_NORM),
                        fromServerVolume(right, PA_VOLUME_NORM)};
}

void PulseOutput::onSinkInputChanged(uint32_t index)
{
    if (index != pa_stream_get_index(m_stream))
        return;
    cancelVolumeQuery();
    m_volumeQuery =
        pa_context_get_sink_input_info(m_server.context(), index, onSinkInputInfo, this);
}

void PulseOutput::cancelVolumeQuery()
{
    if (m_volumeQuery) {
        pa_operation_cancel(m_volumeQuery);
        pa_operation_unref(m_volumeQuery);
        m_volumeQuery = nullptr;
    }
}

void PulseOutput::onSinkInputInfo(pa_context *, const pa_sink_input_info *info, int eol, void *self)
{
    if (eol || !info)
        return;
    static_cast<PulseOutput *>(self)->m_reported = info->volume;
}

} // namespace

std::unique_ptr<Output> makePulseOutput(PulseContext &server, const OutputSettings &settings,
                                        const PcmFormat &format)
{
    return std::make_unique<PulseOutput>(server, settings, format);
}

} // namespace norl
