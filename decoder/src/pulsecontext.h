// One handle's connection to the sound server: a threaded main loop and a context, connected
// when a stream first needs it and again after the server went away.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <pulse/pulseaudio.h>
#include <string>

namespace norl {

class PulseContext {
public:
    PulseContext() = default;
    ~PulseContext();
    PulseContext(const PulseContext &) = delete;
    PulseContext &operator=(const PulseContext &) = delete;

    // Throws DecoderError(NP_ERROR_OUTPUT) when the server cannot be reached in time.
    void connect();
    // The name of the n-th sink the server lists (n >= 1); throws DecoderError(NP_ERROR_OUTPUT)
    // when there is none.
    std::string sinkName(int n);

    pa_threaded_mainloop *mainloop() const { return m_mainloop; }
    pa_context *context() const { return m_context; }
    bool ready() const;

    // Called on the main loop's thread when a sink input changes (volume, mute, ...).
    void setSinkInputListener(std::function<void(uint32_t index)> listener);

    // Runs with the main loop locked until `done` answers true; false after the timeout.
    // `done` runs with the lock held.
    bool waitFor(const std::function<bool()> &done, std::chrono::milliseconds timeout);

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
    void disconnect();
    static void onSubscription(pa_context *, pa_subscription_event_type_t type, uint32_t index,
                               void *self);

    pa_threaded_mainloop *m_mainloop = nullptr;
    pa_context *m_context = nullptr;
    std::function<void(uint32_t)> m_sinkInputListener;
};

} // namespace norl
