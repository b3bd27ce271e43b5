// The library's exported entry points: each finds its handle and runs one Decoder operation under
// the handle's lock. A handle that is not live answers the failure value and error 4.
#define NORLPLAY_DECLARE_FUNCTIONS
#include "norlplay.h"

#include <cstring>
#include <string>

#include "handletable.h"

using namespace norl;

namespace {

template <class T, class Action> T withDecoder(NpHandle h, T failure, Action &&action)
{
    std::shared_ptr<Decoder> decoder = handleTable().find(h);
    if (!decoder)
        return failure;
    return decoder->run(failure, [&] { return action(*decoder); });
}

// Runs an operation that answers nothing but success.
template <class Action> NpBool simply(NpHandle h, Action &&action)
{
    return withDecoder(h, NpBool(0), [&](Decoder &d) {
        action(d);
        return NpBool(1);
    });
}

NpBool textQuery(const std::string &text, char *buffer, int32_t *size)
{
    if (!size)
        return 0;
    auto length = int32_t(text.size());
    if (!buffer) {
        *size = length;
        return 1;
    }
    if (*size < length + 1)
        return 0;
    std::memcpy(buffer, text.c_str(), size_t(length) + 1);
    return 1;
}

} // namespace

extern "C" {

NpHandle NP_STDCALL ESInitModule(void)
{
    try {
        return handleTable().add(std::make_shared<Decoder>());
    } catch (...) {
        return 0;
    }
}

NpBool NP_STDCALL ESDeInitModule(NpHandle h)
{
    // The last reference may be held by a call still running; it then releases the decoder.
    return handleTable().remove(h) ? 1 : 0;
}

NpBool NP_STDCALL ESOpen(NpHandle h)
{
    return simply(h, [](Decoder &d) { d.open(); });
}

NpBool NP_STDCALL ESClose(NpHandle h)
{
    return withDecoder(h, NpBool(0), [](Decoder &d) { return NpBool(d.close()); });
}

NpBool NP_STDCALL ESPlay(NpHandle h)
{
    return simply(h, [](Decoder &d) { d.play(); });
}

NpBool NP_STDCALL ESCanPause(NpHandle h)
{
    return withDecoder(h, NpBool(0), [](Decoder &) { return NpBool(1); });
}

NpBool NP_STDCALL ESPause(NpHandle h)
{
    return simply(h, [](Decoder &d) { d.pause(); });
}

NpBool NP_STDCALL ESResume(NpHandle h)
{
    return simply(h, [](Decoder &d) { d.resume(); });
}

NpBool NP_STDCALL ESStop(NpHandle h)
{
    return withDecoder(h, NpBool(0), [](Decoder &d) { return NpBool(d.stop()); });
}

NpBool NP_STDCALL ESCanSetPos(NpHandle h)
{
    return withDecoder(h, NpBool(0), [](Decoder &d) { return NpBool(d.canSeek()); });
}

int32_t NP_STDCALL ESGetPos(NpHandle h)
{
    return withDecoder(h, int32_t(-1), [](Decoder &d) { return d.positionMs(); });
}

NpBool NP_STDCALL ESSetPos(NpHandle h, int32_t ms)
{
    return simply(h, [ms](Decoder &d) { d.setPositionMs(ms); });
}

NpBool NP_STDCALL ESGetAbout(char *buffer, int32_t *size)
{
    return textQuery("NorlPlayer decoder library: MPEG audio layers 1-3 decoded by libmpg123, "
                     "played through PulseAudio.",
                     buffer, size);
}

NpBool NP_STDCALL ESGetName(char *buffer, int32_t *size)
{
    return textQuery("NorlPlayer MPEG Audio Decoder", buffer, size);
}

NpBool NP_STDCALL ESGetExts(char *buffer, int32_t *size)
{
    return textQuery("mp3;mp2;mp1", buffer, size);
}

int32_t NP_STDCALL ESGetSize(NpHandle h)
{
    return withDecoder(h, int32_t(-1), [](Decoder &d) { return d.sizeMs(); });
}

NpBool NP_STDCALL ESSetInputMode(NpHandle h, int32_t mode)
{
    return simply(h, [mode](Decoder &d) { d.setInputMode(mode); });
}

NpBool NP_STDCALL ESSetOutputMode(NpHandle h, int32_t mode)
{
    return simply(h, [mode](Decoder &d) { d.setOutputMode(mode); });
}

NpBool NP_STDCALL ESSetInputName(NpHandle h, const char *name)
{
    return simply(h, [name](Decoder &d) { d.setInputName(name); });
}

NpBool NP_STDCALL ESSetOutputName(NpHandle h, const char *name)
{
    return simply(h, [name](Decoder &d) { d.setOutputName(name); });
}

NpBool NP_STDCALL ESSetOutputDev(NpHandle h, int32_t device)
{
    return ESSetDevNum(h, device);
}

int32_t NP_STDCALL ESGetPlayerMode(NpHandle h)
{
    return withDecoder(h, int32_t(-1), [](Decoder &d) { return int32_t(d.mode()); });
}

int32_t NP_STDCALL ESLastError(NpHandle h)
{
    std::shared_ptr<Decoder> decoder = handleTable().find(h);
    return decoder ? decoder->lastError() : NP_ERROR_INVALID_HANDLE;
}

int32_t NP_STDCALL ESGetVersion(void)
{
    return NP_VERSION;
}

NpBool NP_STDCALL ESSetBuffers(NpHandle h, int32_t count, int32_t size)
{
    return simply(h, [=](Decoder &d) { d.setBuffers(count, size); });
}

NpBool NP_STDCALL ESSetPriority(NpHandle h, int32_t level)
{
    return simply(h, [level](Decoder &d) { d.setPriority(level); });
}

NpBool NP_STDCALL ESSetLimits(NpHandle h, int32_t startPos, int32_t endPos)
{
    return simply(h, [=](Decoder &d) { d.setLimits(startPos, endPos); });
}

NpBool NP_STDCALL ESSetOutCB(NpHandle h, NpOutputProc output, NpOutputActionProc action,
                             void *context)
{
    return simply(h, [=](Decoder &d) { d.setOutputCallbacks({output, action, context}); });
}

NpBool NP_STDCALL ESGetVolume(NpHandle h, uint32_t *volume)
{
    return simply(h, [volume](Decoder &d) {
        if (!volume)
            fail(NP_ERROR_BAD_MODE, "no place for the volume");
        *volume = packGetVolume(d.volume());
    });
}

NpBool NP_STDCALL ESSetVolume(NpHandle h, uint32_t volume)
{
    return simply(h, [volume](Decoder &d) { d.setVolume(unpackSetVolume(volume)); });
}

NpBool NP_STDCALL ESCanSetVolume(NpHandle h, NpFlag *separate)
{
    return simply(h, [separate](Decoder &) {
        if (!separate)
            fail(NP_ERROR_BAD_MODE, "no place for the answer");
        *separate = 1;
    });
}

NpBool NP_STDCALL ESGetInfo1(NpHandle h, void *buffer, int32_t *size)
{
    return simply(h, [=](Decoder &d) {
        NpStreamInfo info = d.streamInfo();
        if (!size || (buffer && *size < NP_STREAM_INFO_SIZE))
            fail(NP_ERROR_BAD_MODE, "no room for the stream information");
        if (buffer)
            std::memcpy(buffer, &info, NP_STREAM_INFO_SIZE);
        *size = NP_STREAM_INFO_SIZE;
    });
}

NpBool NP_STDCALL ESGetInfo2(NpHandle h, const void **tag)
{
    return simply(h, [tag](Decoder &d) {
        if (!tag)
            fail(NP_ERROR_BAD_MODE, "no place for the tag");
        *tag = d.id3v1Tag();
    });
}

NpBool NP_STDCALL ESInitStream(NpHandle h)
{
    return simply(h, [](Decoder &d) { d.initStream(); });
}

NpBool NP_STDCALL ESSetDevNum(NpHandle h, int32_t device)
{
    return simply(h, [device](Decoder &d) { d.setDeviceNumber(device); });
}

NpBool NP_STDCALL ESSetInCB(NpHandle h, NpInputOpenProc open, NpInputCloseProc close,
                            NpInputGetSizeProc getSize, NpInputSeekProc seek, NpInputReadProc read,
                            void *context)
{
    return simply(h, [=](Decoder &d) {
        d.setInputCallbacks({open, close, getSize, seek, read, context});
    });
}

NpBool NP_STDCALL ESSetWindow(NpHandle h, uintptr_t)
{
    return withDecoder(h, NpBool(0), [](Decoder &) { return NpBool(1); });
}

NpBool NP_STDCALL ESUseOutCB(NpHandle h, NpBool use)
{
    return simply(h, [use](Decoder &d) { d.setUseOutputCallback((use & 0xff) != 0); });
}

NpBool NP_STDCALL ESUseEQ(NpHandle h, NpBool use)
{
    return simply(h, [use](Decoder &d) { d.setUseEqualizer((use & 0xff) != 0); });
}

NpBool NP_STDCALL ESHasEQ(NpHandle h, NpFlag *hasEQ)
{
    if (hasEQ)
        *hasEQ = 0; // stored whatever the handle: hosts read only the flag
    return withDecoder(h, NpBool(0), [hasEQ](Decoder &) {
        if (hasEQ)
            *hasEQ = MpegStream::hasEqualizer() ? 1 : 0;
        return NpBool(1);
    });
}

NpBool NP_STDCALL ESEQ(NpHandle h, int32_t band, int32_t gain)
{
    return simply(h, [=](Decoder &d) { d.setEqualizerGain(band, gain); });
}

} // extern "C"
