// One handle's connection to the sound server: a threaded main loop and a context, connected
// when a stream first needs it and again after the server went away. Connecting goes on in the
// background: a caller waits for it only until its deadline, and a later caller finds it done.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <pulse/pulseaudio.h>
#include <string>

#include "volume.h"

namespace norl {

// How long a caller (often the host's window thread) waits for a slow or hung server.
constexpr auto ServerPatience = std::chrono::milliseconds(500);

class PulseContext {
public:
    using Deadline = std::chrono::steady_clock::time_point;

    PulseContext() = default;
    ~PulseContext();
    PulseContext(const PulseContext &) = delete;
    PulseContext &operator=(const PulseContext &) = delete;

    // Throws DecoderError(NP_ERROR_OUTPUT) when the server is gone, or not ready by `deadline`.
    void connect(Deadline deadline);
    // The name of the n-th sink the server lists (n >= 1); throws DecoderError(NP_ERROR_OUTPUT)
    // when there is none or no answer by `deadline`.
    std::string sinkName(int n, Deadline deadline);
    // The volume the server's stream restore keeps for this program's streams and gives the
    // next one created without a volume of its own. Empty when nothing is kept, or the server
    // has no stream restore or no answer by `deadline`.
    std::optional<StereoVolume> rememberedVolume(Deadline deadline);

    pa_threaded_mainloop *mainloop() const { return m_mainloop; }
    pa_context *context() const { return m_context; }
    bool ready() const;

    // Called on the main loop's thread when a sink input changes (volume, mute, ...).
    void setSinkInputListener(std::function<void(uint32_t index)> listener);

    // Runs with the main loop locked until `done` answers true; false at the deadline.
    // `done` runs with the lock held.
    bool waitFor(const std::function<bool()> &done, Deadline deadline);

    class Lock {
    public:
        explicit Lock(const PulseContext &c) : m_loop(c.m_mainloop)
        {
            pa_threaded_mainloop_lock(m_loop);
        }
        ~Lock() { pa_threaded_mainloop_unlock(m_loop); }
        Lock(const Lock &) = delete;
        Lock &operator=(const Lock &) = delete;

    private:
        pa_threaded_mainloop *m_loop;
    };

private:
    pa_context_state_t state() const;
    void startConnecting();
    void disconnect();
    // Waits for `op` until `deadline`, cancels it when unanswered and releases it. False when
    // there was no operation or no answer.
    bool finish(pa_operation *op, Deadline deadline);
    static void onStateChange(pa_context *context, void *);
    static void onSubscription(pa_context *, pa_subscription_event_type_t type, uint32_t index,
                               void *self);

    pa_threaded_mainloop *m_mainloop = nullptr;
    pa_context *m_context = nullptr;
    std::function<void(uint32_t)> m_sinkInputListener;
    Deadline m_connectingSince;
};

} // namespace norl
