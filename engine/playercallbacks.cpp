#include "playercallbacks.h"

#include "player.h"

namespace {

TElPlayer &playerOf(void *context)
{
    return *static_cast<TElPlayer *>(context);
}

// An exception must not unwind through the library's C frames: it counts as a failure.
template <class Action> NpBool guarded(Action &&action)
{
    bool success = false;
    try {
        action(success);
    } catch (...) {
        success = false;
    }
    return success;
}

} // namespace

NpBool NP_STDCALL OutputProc(const void *SampleData, int32_t SBits, int32_t Channels,
                             int32_t SampleRate, int32_t Size, void *context)
{
    return guarded([&](bool &success) {
        playerOf(context).DoOutput(const_cast<void *>(SampleData), SBits, Channels, SampleRate,
                                   Size, success);
    });
}

NpBool NP_STDCALL OutputActionProc(NpBool Init, void *context)
{
    return guarded([&](bool &success) {
        if (Init & 0xff)
            playerOf(context).DoOutputInit(success);
        else
            playerOf(context).DoOutputDone(success);
    });
}

NpBool NP_STDCALL InputOpenProc(void *context, int32_t *UserData, NpFlag *CanSetPos)
{
    return guarded([&](bool &success) {
        bool canSetPos = *CanSetPos != 0;
        playerOf(context).DoInputOpen(*UserData, canSetPos, success);
        *CanSetPos = canSetPos;
    });
}

NpBool NP_STDCALL InputCloseProc(void *context, int32_t UserData)
{
    return guarded([&](bool &success) { playerOf(context).DoInputClose(UserData, success); });
}

NpBool NP_STDCALL InputGetSizeProc(void *context, int32_t UserData, int32_t *Size)
{
    return guarded(
        [&](bool &success) { playerOf(context).DoInputGetSize(UserData, *Size, success); });
}

NpBool NP_STDCALL InputSeekProc(void *context, int32_t UserData, int32_t NewPos, int32_t SeekMode)
{
    return guarded(
        [&](bool &success) { playerOf(context).DoInputSeek(UserData, NewPos, SeekMode, success); });
}

NpBool NP_STDCALL InputReadProc(void *context, int32_t UserData, void *Buffer, int32_t BytesToRead,
                                int32_t *BytesRead)
{
    return guarded([&](bool &success) {
        playerOf(context).DoInputRead(UserData, Buffer, BytesToRead, *BytesRead, success);
    });
}
