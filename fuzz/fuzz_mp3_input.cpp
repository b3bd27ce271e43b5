// Feeds arbitrary bytes to the decoder library the way a host does: the input callbacks serve
// the bytes from memory, decoded PCM comes back through the OutputProc. Every answer the
// library gives on the way is checked against its contract; a broken promise aborts, so the
// fuzzer keeps the input.
//
// The last byte of the input also steers the run (it stays part of the stream as well, so a
// plain MP3 file is a valid input): see the Control bits.
#define NORLPLAY_DECLARE_FUNCTIONS
#include "norlplay.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

namespace {

enum Control : unsigned {
    NoSeek = 1u << 0,           // the input says it cannot seek
    SeekWhilePlaying = 1u << 1, // else the seek comes before ESPlay
    PlayRange = 1u << 2,        // ESSetLimits with a range taken from the input
    PlayTwice = 1u << 3,        // play again after the end (a non-seekable input is reopened)
    SizeUnknown = 1u << 4,      // the size callback fails
    ShortReads = 1u << 5,       // reads hand out small pieces; bits 6-7 pick the piece size
};

void check(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "fuzz_mp3_input: %s\n", what);
    std::abort();
}

// ---- The input, served through the input callbacks --------------------------------------------

struct Input {
    const uint8_t *data = nullptr;
    int64_t size = 0;
    bool seekable = true;
    bool sizeKnown = true;
    int64_t piece = INT32_MAX;

    int64_t position = 0;
    bool open = false;
    int32_t userData = 0;
    int opens = 0;
    int closes = 0;
};

Input g_input;

Input &inputOf(void *context, int32_t userData)
{
    check(context == &g_input, "an input callback got someone else's context");
    check(g_input.open, "an input callback ran on a closed input");
    check(userData == g_input.userData, "an input callback got a stale UserData");
    return g_input;
}

NpBool NP_STDCALL openInput(void *context, int32_t *userData, NpFlag *canSetPos)
{
    check(context == &g_input, "the open callback got someone else's context");
    check(userData && canSetPos, "the open callback got no place for its answers");
    check(!g_input.open, "the input was opened again before it was closed");
    g_input.open = true;
    g_input.position = 0;
    // A fresh value per open, so a UserData kept from an earlier open is caught.
    g_input.userData = int32_t(0x4e000000 + ++g_input.opens);
    *userData = g_input.userData;
    *canSetPos = g_input.seekable ? 1 : 0;
    return 1;
}

NpBool NP_STDCALL closeInput(void *context, int32_t userData)
{
    Input &in = inputOf(context, userData);
    in.open = false;
    ++in.closes;
    return 1;
}

NpBool NP_STDCALL getInputSize(void *context, int32_t userData, int32_t *size)
{
    Input &in = inputOf(context, userData);
    check(size != nullptr, "the size callback got no place for the size");
    if (!in.sizeKnown)
        return 0;
    *size = int32_t(in.size);
    return 1;
}

NpBool NP_STDCALL seekInput(void *context, int32_t userData, int32_t newPos, int32_t seekMode)
{
    Input &in = inputOf(context, userData);
    check(in.seekable, "the library seeks an input that cannot seek");
    int64_t base = 0;
    switch (seekMode) {
    case 0:
        break;
    case 1:
        base = in.position;
        break;
    case 2:
        base = in.size;
        break;
    default:
        check(false, "the seek callback got an unknown seek mode");
    }
    int64_t target = base + newPos;
    if (target < 0 || target > in.size)
        return 0;
    in.position = target;
    return 1;
}

NpBool NP_STDCALL readInput(void *context, int32_t userData, void *buffer, int32_t bytesToRead,
                            int32_t *bytesRead)
{
    Input &in = inputOf(context, userData);
    check(buffer && bytesRead && bytesToRead >= 0, "the read callback got bad arguments");
    // The whole buffer is the host's to fill: writing all of it lets ASan check its size.
    std::memset(buffer, 0xa5, size_t(bytesToRead));
    int64_t n = std::min({int64_t(bytesToRead), in.size - in.position, in.piece});
    std::memcpy(buffer, in.data + in.position, size_t(n));
    in.position += n;
    *bytesRead = int32_t(n);
    return 1;
}

// ---- The output, taken through the output callbacks -------------------------------------------

// Written on the decoder thread; read on ours only after a call that takes the handle's lock
// (or after blocks has been seen to move).
struct Output {
    bool started = false;
    bool finished = false;
    int64_t bytes = 0;
    uint32_t checksum = 0;
    std::atomic<int> blocks{0};
    std::atomic<bool> seekPending{false};

    void reset()
    {
        started = finished = false;
        bytes = 0;
        checksum = 0;
        blocks = 0;
        seekPending = false;
    }
};

Output g_output;

bool isMpegRate(int32_t rate)
{
    for (int32_t r : {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000})
        if (rate == r)
            return true;
    return false;
}

NpBool NP_STDCALL outputBlock(const void *sampleData, int32_t sBits, int32_t channels,
                              int32_t sampleRate, int32_t size, void *context)
{
    check(context == &g_output, "the OutputProc got someone else's context");
    check(g_output.started && !g_output.finished, "a block came outside Init ... Done");
    check(sampleData != nullptr, "the OutputProc got no samples");
    check(sBits == 16, "the OutputProc got samples that are not 16-bit");
    check(channels == 1 || channels == 2, "the OutputProc got a bad channel count");
    check(isMpegRate(sampleRate), "the OutputProc got a rate MPEG audio does not have");
    check(size > 0 && size % (2 * channels) == 0, "the OutputProc got a partial frame");
    // Reading every byte lets ASan check the whole block.
    const auto *bytes = static_cast<const uint8_t *>(sampleData);
    uint32_t sum = g_output.checksum;
    for (int32_t i = 0; i < size; ++i)
        sum = sum * 31 + bytes[i];
    g_output.checksum = sum;
    g_output.bytes += size;
    ++g_output.blocks;
    // Gives a pending seek time to queue for the handle's lock: the decoder thread lets queued
    // callers in before its next block, so the seek lands in the middle of the stream and not,
    // by the luck of scheduling, after its end.
    if (g_output.seekPending)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return 1;
}

NpBool NP_STDCALL outputAction(NpBool init, void *context)
{
    check(context == &g_output, "the OutputActionProc got someone else's context");
    if (init & 0xff) {
        check(!g_output.started, "Init came twice for one output");
        g_output.started = true;
    } else {
        check(g_output.started && !g_output.finished, "Done came without Init, or twice");
        g_output.finished = true;
    }
    return 1;
}

// ---- Driving one input ------------------------------------------------------------------------

NpHandle g_handle = 0;
volatile unsigned g_sink = 0;

int64_t cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Playing a 64 kB input takes tens of ms here. A budget of CPU time, not wall time, so that a
// busy machine does not turn into findings; a decoder thread that is stuck without spinning is
// left to libFuzzer's -timeout.
int64_t playBudgetMs()
{
    static const int64_t budget = [] {
        const char *text = std::getenv("NORL_FUZZ_PLAY_BUDGET_MS");
        return text ? std::atoll(text) : 500;
    }();
    return budget;
}

// libmpg123 seeks in a damaged stream only roughly (see README.md); set to insist on exactness
// all the same.
bool strictSeek()
{
    static const bool strict = std::getenv("NORL_FUZZ_STRICT_SEEK") != nullptr;
    return strict;
}

void waitUntilEnded(NpHandle h, bool seekable, int32_t sizeMs)
{
    int64_t start = cpuMs();
    for (;;) {
        int32_t mode = ESGetPlayerMode(h);
        if (mode == NP_MODE_ENDED)
            return;
        check(mode == NP_MODE_PLAYING, "the player left playing for something but the end");
        int32_t pos = ESGetPos(h);
        check(pos >= 0, "ESGetPos failed while playing");
        check(!seekable || pos <= sizeMs, "ESGetPos is past the end while playing");
        if (cpuMs() - start > playBudgetMs()) {
            std::fprintf(stderr, "fuzz_mp3_input: still playing after %lld ms of CPU time\n",
                         static_cast<long long>(playBudgetMs()));
            std::abort();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

struct PlayResult {
    int64_t bytes = 0;
    uint32_t checksum = 0;
};

PlayResult play(NpHandle h, bool seekable, int32_t sizeMs, int seekMs, bool seekWhilePlaying)
{
    g_output.reset();
    check(ESInitStream(h) & 0xff, "ESInitStream failed on an opened stream");
    check(ESGetPlayerMode(h) == NP_MODE_READY, "ESInitStream did not make the stream ready");
    if (seekMs >= 0 && !seekWhilePlaying)
        ESSetPos(h, seekMs);
    g_output.seekPending = seekMs >= 0 && seekWhilePlaying;
    if ((ESPlay(h) & 0xff) == 0) {
        // Only moving to the start of the range can fail, and only on the input.
        check(ESLastError(h) == NP_ERROR_INPUT, "ESPlay failed without an input error");
        return {};
    }
    if (seekMs >= 0 && seekWhilePlaying) {
        // Let some PCM out first, so the seek drops some.
        while (g_output.blocks.load() == 0 && ESGetPlayerMode(h) == NP_MODE_PLAYING)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        ESSetPos(h, seekMs);
        g_output.seekPending = false;
    }
    waitUntilEnded(h, seekable, sizeMs);
    int32_t pos = ESGetPos(h);
    check(pos >= 0, "ESGetPos failed at the end");
    check(!seekable || pos <= sizeMs, "ESGetPos is past the end of the stream");
    check(!g_output.started || g_output.finished, "the output ended without Done");
    return {g_output.bytes, g_output.checksum};
}

void checkInfo(NpHandle h)
{
    int32_t size = 0;
    check(ESGetInfo1(h, nullptr, &size) & 0xff, "ESGetInfo1 failed to give its size");
    check(size == NP_STREAM_INFO_SIZE, "ESGetInfo1 gave a wrong size");
    // Exact-sized heap buffers, so ASan sees any write past them.
    std::vector<uint8_t> small(NP_STREAM_INFO_SIZE - 1);
    int32_t smallSize = int32_t(small.size());
    check((ESGetInfo1(h, small.data(), &smallSize) & 0xff) == 0 &&
              ESLastError(h) == NP_ERROR_BAD_MODE,
          "ESGetInfo1 accepted a buffer that is too small");
    std::vector<uint8_t> record(static_cast<size_t>(size));
    check(ESGetInfo1(h, record.data(), &size) & 0xff, "ESGetInfo1 failed with room enough");
    check(size == NP_STREAM_INFO_SIZE, "ESGetInfo1 wrote a wrong size");
    NpStreamInfo info;
    std::memcpy(&info, record.data(), sizeof info);
    check(info.stereoMode <= 3, "the stream info has a bad stereo mode");
    check(info.layer >= 1 && info.layer <= 3, "the stream info has a bad layer");
    check(isMpegRate(info.sampleRate), "the stream info has a bad sample rate");
    check(info.bitRate >= 0, "the stream info has a negative bit rate");

    const void *tag = nullptr;
    if (ESGetInfo2(h, &tag) & 0xff) {
        check(tag != nullptr, "ESGetInfo2 succeeded without a tag");
        const auto *bytes = static_cast<const uint8_t *>(tag);
        check(std::memcmp(bytes, "TAG", 3) == 0, "the ID3v1 tag does not start with TAG");
        for (size_t i = 0; i < NP_ID3V1_SIZE; ++i) // lets ASan check all 128 bytes
            g_sink = g_sink + bytes[i];
    } else {
        check(ESLastError(h) == NP_ERROR_INPUT, "ESGetInfo2 failed without saying no tag");
    }
}

// A value in 0..65535 from the two bytes that end `back` bytes before the control byte.
unsigned pick(const uint8_t *data, size_t size, size_t back)
{
    if (size < back + 3)
        return 0;
    return unsigned(data[size - back - 3]) << 8 | data[size - back - 2];
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // One handle for the whole run, as a host keeps one.
    g_handle = ESInitModule();
    check(g_handle != 0, "ESInitModule failed");
    check(ESSetInputMode(g_handle, imCallback) & 0xff, "ESSetInputMode(imCallback) failed");
    check(ESSetInCB(g_handle, openInput, closeInput, getInputSize, seekInput, readInput, &g_input) &
              0xff,
          "ESSetInCB failed");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    NpHandle h = g_handle;
    unsigned control = size > 0 ? data[size - 1] : 0;
    static const int64_t pieces[] = {1, 13, 509, 4099};

    g_input = Input{};
    g_input.data = data;
    g_input.size = int64_t(size);
    g_input.seekable = !(control & NoSeek);
    g_input.sizeKnown = !(control & SizeUnknown);
    g_input.piece = control & ShortReads ? pieces[control >> 6] : INT32_MAX;

    check(ESSetLimits(h, 0, 0) & 0xff, "ESSetLimits(0, 0) failed");
    if ((ESOpen(h) & 0xff) == 0) {
        check(ESLastError(h) == NP_ERROR_INPUT, "ESOpen failed without an input error");
        check(ESGetPlayerMode(h) == NP_MODE_CLOSED, "a failed ESOpen left a stream open");
        check(g_input.opens == g_input.closes, "a failed ESOpen left the input open");
        return 0;
    }
    check(ESGetPlayerMode(h) == NP_MODE_OPENED, "ESOpen did not leave the stream opened");
    check((ESCanSetPos(h) & 0xff) == (g_input.seekable ? 1 : 0),
          "ESCanSetPos disagrees with the input");
    int32_t sizeMs = ESGetSize(h);
    check(sizeMs >= 0, "ESGetSize failed on an open stream");
    checkInfo(h);

    check(ESSetOutputMode(h, omCallback) & 0xff, "ESSetOutputMode(omCallback) failed");
    check(ESSetOutCB(h, outputBlock, outputAction, &g_output) & 0xff, "ESSetOutCB failed");

    if (control & PlayRange) {
        // Up to an eighth past the end on either side; an input that cannot seek gets an end only.
        int64_t span = sizeMs > 0 ? sizeMs : 10000;
        int32_t startMs = g_input.seekable ? int32_t(span * pick(data, size, 2) / 58254) : 0;
        int32_t endMs = int32_t(span * pick(data, size, 4) / 58254);
        ESSetLimits(h, startMs, endMs);
    }
    // Seek once, to up to an eighth past the end; never when the same output has to come twice.
    bool twice = control & PlayTwice;
    int seekMs =
        twice ? -1 : int((sizeMs > 0 ? sizeMs : 10000) * int64_t(pick(data, size, 0)) / 58254);

    PlayResult first = play(h, g_input.seekable, sizeMs, seekMs, control & SeekWhilePlaying);
    if (twice) {
        PlayResult again = play(h, g_input.seekable, sizeMs, -1, false);
        // A seekable input is replayed after a seek. In a damaged stream libmpg123 lands only
        // roughly, even at the start, and decodes damaged frames with what its bit reservoir
        // still holds, so only a reopened input must give the very same again.
        bool reopened = !g_input.seekable;
        check(again.bytes == first.bytes || !(reopened || strictSeek()),
              "playing again after the end gave a different length");
        check(again.checksum == first.checksum || !reopened,
              "replaying a reopened input gave different PCM");
    }

    check(ESClose(h) & 0xff, "ESClose failed");
    check(ESGetPlayerMode(h) == NP_MODE_CLOSED, "ESClose did not close");
    check(!g_input.open && g_input.opens == g_input.closes, "ESClose left the input open");
    check(!g_output.started || g_output.finished, "ESClose left the output without Done");
    return 0;
}
