// Hands PCM blocks to the host's OutputProc, as fast as the host takes them. The host hears
// OutputActionProc(Init) before the first block and OutputActionProc(not Init) after the last.
#include "decodererror.h"
#include "output.h"

namespace norl {
namespace {

constexpr size_t UnpausedRoom = 1 << 20;

class CallbackOutput final : public Output {
public:
    CallbackOutput(const OutputCallbacks &callbacks, const PcmFormat &format)
        : m_cb(callbacks), m_format(format)
    {
        if (!m_cb.output)
            fail(NP_ERROR_MISSING_CALLBACK, "no output callback is registered");
    }

    size_t writableFrames() override { return m_paused || m_finished ? 0 : UnpausedRoom; }
    void write(const int16_t *pcm, size_t frames) override;
    void setPaused(bool paused) override { m_paused = paused; }
    // The host has every block already; the count of what was heard starts again.
    void flush() override { m_writtenFrames = 0; }
    void drain() override { finish(); }
    bool drained() override { return m_finished; }
    int64_t playedFrames() override { return m_writtenFrames; }
    void close() override { finish(); }

private:
    void announce(bool init);
    void finish();

    OutputCallbacks m_cb;
    PcmFormat m_format;
    bool m_paused = true;
    bool m_started = false;
    bool m_finished = false;
    int64_t m_writtenFrames = 0;
};

void CallbackOutput::announce(bool init)
{
    if (m_cb.action && (m_cb.action(init ? 1 : 0, m_cb.context) & 0xff) == 0)
        fail(NP_ERROR_OUTPUT, "the host refused the output");
}

void CallbackOutput::write(const int16_t *pcm, size_t frames)
{
    if (!m_started) {
        m_started = true;
        announce(true);
    }
    auto bytes = int32_t(frames * m_format.frameBytes());
    if ((m_cb.output(pcm, 16, m_format.channels, m_format.rate, bytes, m_cb.context) & 0xff) == 0)
        fail(NP_ERROR_OUTPUT, "the host's output callback failed");
    m_writtenFrames += int64_t(frames);
}

void CallbackOutput::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_started)
        announce(false);
}

} // namespace

std::unique_ptr<Output> makeCallbackOutput(const OutputCallbacks &callbacks,
                                           const PcmFormat &format)
{
    return std::make_unique<CallbackOutput>(callbacks, format);
}

} // namespace norl
