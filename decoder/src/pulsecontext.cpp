#include "pulsecontext.h"

#include <pulse/ext-stream-restore.h>
#include <string_view>
#include <thread>
#include <vector>

#include "decodererror.h"

namespace norl {
namespace {

// A connection that has not come in this time is started afresh (the server may have been
// replaced while it hung).
constexpr auto ConnectAttemptLimit = std::chrono::seconds(5);

// The server's stream restore keeps the volume of our streams under their application name:
// they carry no role or application id, which it would prefer.
constexpr std::string_view ApplicationName = "NorlPlayer";
constexpr std::string_view RememberedVolumeKeyPrefix = "sink-input-by-application-name:";

bool isRememberedVolumeKey(std::string_view key)
{
    return key.starts_with(RememberedVolumeKeyPrefix) &&
           key.substr(RememberedVolumeKeyPrefix.size()) == ApplicationName;
}

bool isFinal(pa_context_state_t state)
{
    return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
}

} // namespace

PulseContext::~PulseContext()
{
    disconnect();
}

void PulseContext::disconnect()
{
    if (m_mainloop)
        pa_threaded_mainloop_stop(m_mainloop);
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    if (m_mainloop) {
        pa_threaded_mainloop_free(m_mainloop);
        m_mainloop = nullptr;
    }
}

pa_context_state_t PulseContext::state() const
{
    if (!m_context)
        return PA_CONTEXT_UNCONNECTED;
    Lock lock(*this);
    return pa_context_get_state(m_context);
}

bool PulseContext::ready() const
{
    return state() == PA_CONTEXT_READY;
}

bool PulseContext::waitFor(const std::function<bool()> &done, Deadline deadline)
{
    for (;;) {
        {
            Lock lock(*this);
            if (done())
                return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void PulseContext::connect(Deadline deadline)
{
    pa_context_state_t now = state();
    bool overdue = now != PA_CONTEXT_READY &&
                   std::chrono::steady_clock::now() - m_connectingSince > ConnectAttemptLimit;
    if (!PA_CONTEXT_IS_GOOD(now) || overdue)
        startConnecting();
    waitFor([this] { return isFinal(pa_context_get_state(m_context)); }, deadline);
    now = state();
    if (now == PA_CONTEXT_READY)
        return;
    if (!PA_CONTEXT_IS_GOOD(now)) {
        disconnect();
        fail(NP_ERROR_OUTPUT, "the sound server cannot be reached");
    }
    fail(NP_ERROR_OUTPUT, "the sound server does not answer yet");
}

void PulseContext::startConnecting()
{
    disconnect();
    m_mainloop = pa_threaded_mainloop_new();
    if (!m_mainloop)
        fail(NP_ERROR_OUTPUT, "cannot create the sound server loop");
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_mainloop), ApplicationName.data());
    if (!m_context || pa_threaded_mainloop_start(m_mainloop) < 0) {
        disconnect();
        fail(NP_ERROR_OUTPUT, "cannot create the sound server context");
    }
    bool started;
    {
        Lock lock(*this);
        pa_context_set_state_callback(m_context, onStateChange, nullptr);
        pa_context_set_subscribe_callback(m_context, onSubscription, this);
        started = pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
    }
    if (!started) {
        disconnect();
        fail(NP_ERROR_OUTPUT, "the sound server cannot be reached");
    }
    m_connectingSince = std::chrono::steady_clock::now();
}

// Runs on the main loop's thread.
void PulseContext::onStateChange(pa_context *context, void *)
{
    if (pa_context_get_state(context) != PA_CONTEXT_READY)
        return;
    if (pa_operation *op =
            pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SINK_INPUT, nullptr, nullptr))
        pa_operation_unref(op);
}

void PulseContext::setSinkInputListener(std::function<void(uint32_t)> listener)
{
    Lock lock(*this);
    m_sinkInputListener = std::move(listener);
}

void PulseContext::onSubscription(pa_context *, pa_subscription_event_type_t type, uint32_t index,
                                  void *self)
{
    auto *me = static_cast<PulseContext *>(self);
    bool change = (type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_CHANGE;
    if (change && me->m_sinkInputListener)
        me->m_sinkInputListener(index);
}

bool PulseContext::finish(pa_operation *op, Deadline deadline)
{
    if (!op)
        return false;
    bool answered =
        waitFor([op] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; }, deadline);
    Lock lock(*this);
    if (!answered)
        pa_operation_cancel(op);
    pa_operation_unref(op);
    return answered;
}

std::string PulseContext::sinkName(int n, Deadline deadline)
{
    std::vector<std::string> names;
    auto collect = [](pa_context *, const pa_sink_info *info, int eol, void *data) {
        if (!eol && info)
            static_cast<std::vector<std::string> *>(data)->emplace_back(info->name);
    };
    pa_operation *op;
    {
        Lock lock(*this);
        op = pa_context_get_sink_info_list(m_context, collect, &names);
    }
    if (!finish(op, deadline) || n < 1 || size_t(n) > names.size())
        fail(NP_ERROR_OUTPUT, "the sound server has no sink number " + std::to_string(n));
    return names[size_t(n) - 1];
}

std::optional<StereoVolume> PulseContext::rememberedVolume(Deadline deadline)
{
    try {
        connect(deadline);
    } catch (const DecoderError &) {
        return std::nullopt;
    }
    std::optional<StereoVolume> remembered;
    // A server without stream restore answers with an error: nothing remembered.
    auto collect = [](pa_context *, const pa_ext_stream_restore_info *info, int eol, void *data) {
        if (eol || !info || !info->name || !isRememberedVolumeKey(info->name))
            return;
        pa_cvolume volume = info->volume;
        if (!pa_cvolume_valid(&volume) || !pa_channel_map_valid(&info->channel_map) ||
            volume.channels != info->channel_map.channels)
            return; // kept without a volume
        pa_channel_map stereo;
        pa_channel_map_init_stereo(&stereo);
        pa_cvolume_remap(&volume, &info->channel_map, &stereo);
        *static_cast<std::optional<StereoVolume> *>(data) =
            StereoVolume{fromServerVolume(volume.values[0], PA_VOLUME_NORM),
                         fromServerVolume(volume.values[1], PA_VOLUME_NORM)};
    };
    pa_operation *op;
    {
        Lock lock(*this);
        op = pa_ext_stream_restore_read(m_context, collect, &remembered);
    }
    if (!finish(op, deadline))
        return std::nullopt;
    return remembered;
}

} // namespace norl
