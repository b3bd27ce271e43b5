// The decoder library's 41 entry points, recording and answering from a FakeScript.
#define NORLPLAY_DECLARE_FUNCTIONS
#include <cstring>
#include <sstream>

#include "fakescript.h"

namespace {

FakeScript script;

void argsTo(std::ostringstream &) {}
template <class First, class... Rest>
void argsTo(std::ostringstream &out, First first, Rest... rest)
{
    out << first;
    if constexpr (sizeof...(rest) > 0) {
        out << ',';
        argsTo(out, rest...);
    }
}

template <class... Args> void record(const char *name, Args... args)
{
    std::ostringstream out;
    out << name << '(';
    argsTo(out, args...);
    out << ')';
    script.calls.push_back(out.str());
}

int32_t answer(const char *name, int32_t fallback = 1)
{
    auto it = script.results.find(name);
    return it == script.results.end() ? fallback : it->second;
}

NpBool text(const char *name, const std::string &value, char *buffer, int32_t *size)
{
    record(name, buffer ? "buffer" : "nil", *size);
    if (!buffer) {
        *size = int32_t(value.size());
        return answer(name);
    }
    if (answer(name) && *size > int32_t(value.size()))
        std::memcpy(buffer, value.c_str(), value.size() + 1);
    return answer(name);
}

} // namespace

extern "C" {

NP_EXPORT FakeScript *FakeDecoderScript()
{
    return &script;
}

NpHandle NP_STDCALL ESInitModule(void)
{
    record("ESInitModule");
    return script.handle;
}
NpBool NP_STDCALL ESDeInitModule(NpHandle h)
{
    record("ESDeInitModule", h);
    return answer("ESDeInitModule");
}
#define FAKE_HANDLE_ONLY(name)                                                                     \
    NpBool NP_STDCALL name(NpHandle h)                                                             \
    {                                                                                              \
        record(#name, h);                                                                          \
        return answer(#name);                                                                      \
    }
FAKE_HANDLE_ONLY(ESOpen)
FAKE_HANDLE_ONLY(ESClose)
FAKE_HANDLE_ONLY(ESPlay)
FAKE_HANDLE_ONLY(ESCanPause)
FAKE_HANDLE_ONLY(ESPause)
FAKE_HANDLE_ONLY(ESResume)
FAKE_HANDLE_ONLY(ESStop)
FAKE_HANDLE_ONLY(ESCanSetPos)
FAKE_HANDLE_ONLY(ESInitStream)
#define FAKE_NUMBER(name)                                                                          \
    int32_t NP_STDCALL name(NpHandle h)                                                            \
    {                                                                                              \
        record(#name, h);                                                                          \
        return answer(#name, 0);                                                                   \
    }
FAKE_NUMBER(ESGetPos)
FAKE_NUMBER(ESGetSize)
FAKE_NUMBER(ESGetPlayerMode)
#define FAKE_ONE_INT(name)                                                                         \
    NpBool NP_STDCALL name(NpHandle h, int32_t value)                                              \
    {                                                                                              \
        record(#name, h, value);                                                                   \
        return answer(#name);                                                                      \
    }
FAKE_ONE_INT(ESSetPos)
FAKE_ONE_INT(ESSetInputMode)
FAKE_ONE_INT(ESSetOutputMode)
FAKE_ONE_INT(ESSetOutputDev)
FAKE_ONE_INT(ESSetPriority)
FAKE_ONE_INT(ESSetDevNum)
FAKE_ONE_INT(ESUseOutCB)
FAKE_ONE_INT(ESUseEQ)
#define FAKE_TWO_INTS(name)                                                                        \
    NpBool NP_STDCALL name(NpHandle h, int32_t a, int32_t b)                                       \
    {                                                                                              \
        record(#name, h, a, b);                                                                    \
        return answer(#name);                                                                      \
    }
FAKE_TWO_INTS(ESSetBuffers)
FAKE_TWO_INTS(ESSetLimits)
FAKE_TWO_INTS(ESEQ)

NpBool NP_STDCALL ESGetAbout(char *buffer, int32_t *size)
{
    return text("ESGetAbout", script.about, buffer, size);
}
NpBool NP_STDCALL ESGetName(char *buffer, int32_t *size)
{
    return text("ESGetName", script.name, buffer, size);
}
NpBool NP_STDCALL ESGetExts(char *buffer, int32_t *size)
{
    return text("ESGetExts", script.extensions, buffer, size);
}
NpBool NP_STDCALL ESSetInputName(NpHandle h, const char *name)
{
    record("ESSetInputName", h, name);
    return answer("ESSetInputName");
}
NpBool NP_STDCALL ESSetOutputName(NpHandle h, const char *name)
{
    record("ESSetOutputName", h, name);
    return answer("ESSetOutputName");
}
int32_t NP_STDCALL ESLastError(NpHandle h)
{
    record("ESLastError", h);
    return script.lastError;
}
int32_t NP_STDCALL ESGetVersion(void)
{
    record("ESGetVersion");
    return answer("ESGetVersion", NP_VERSION);
}
NpBool NP_STDCALL ESSetOutCB(NpHandle h, NpOutputProc output, NpOutputActionProc action,
                             void *context)
{
    record("ESSetOutCB", h);
    script.output = output;
    script.action = action;
    script.outputContext = context;
    return answer("ESSetOutCB");
}
NpBool NP_STDCALL ESGetVolume(NpHandle h, uint32_t *volume)
{
    record("ESGetVolume", h);
    NpBool ok = answer("ESGetVolume");
    if (ok)
        *volume = script.volume;
    return ok;
}
NpBool NP_STDCALL ESSetVolume(NpHandle h, uint32_t volume)
{
    std::ostringstream hex;
    hex << std::hex << volume;
    record("ESSetVolume", h, hex.str());
    return answer("ESSetVolume");
}
NpBool NP_STDCALL ESCanSetVolume(NpHandle h, NpFlag *separate)
{
    record("ESCanSetVolume", h);
    *separate = script.separate;
    return answer("ESCanSetVolume");
}
NpBool NP_STDCALL ESGetInfo1(NpHandle h, void *buffer, int32_t *size)
{
    record("ESGetInfo1", h, buffer ? "buffer" : "nil", *size);
    if (buffer && *size >= NP_STREAM_INFO_SIZE)
        std::memcpy(buffer, script.info.data(), NP_STREAM_INFO_SIZE);
    *size = NP_STREAM_INFO_SIZE;
    return answer("ESGetInfo1");
}
NpBool NP_STDCALL ESGetInfo2(NpHandle h, const void **tag)
{
    record("ESGetInfo2", h);
    NpBool ok = answer("ESGetInfo2");
    if (ok)
        *tag = script.tag.data();
    return ok;
}
NpBool NP_STDCALL ESSetInCB(NpHandle h, NpInputOpenProc open, NpInputCloseProc close,
                            NpInputGetSizeProc getSize, NpInputSeekProc seek, NpInputReadProc read,
                            void *context)
{
    record("ESSetInCB", h);
    script.open = open;
    script.close = close;
    script.getSize = getSize;
    script.seek = seek;
    script.read = read;
    script.inputContext = context;
    return answer("ESSetInCB");
}
NpBool NP_STDCALL ESSetWindow(NpHandle h, uintptr_t window)
{
    record("ESSetWindow", h, window != 0 ? "window" : "none");
    return answer("ESSetWindow");
}
NpBool NP_STDCALL ESHasEQ(NpHandle h, NpFlag *hasEQ)
{
    record("ESHasEQ", h);
    *hasEQ = script.hasEQ;
    return answer("ESHasEQ");
}

} // extern "C"
