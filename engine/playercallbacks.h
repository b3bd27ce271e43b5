// The seven procedures the player registers with the decoder library. Each finds its player
// through the context and runs the player's Do operation, which fires the event.
#pragma once

#include "norlplay.h"

NpBool NP_STDCALL OutputProc(const void *SampleData, int32_t SBits, int32_t Channels,
                             int32_t SampleRate, int32_t Size, void *context);
NpBool NP_STDCALL OutputActionProc(NpBool Init, void *context);
NpBool NP_STDCALL InputOpenProc(void *context, int32_t *UserData, NpFlag *CanSetPos);
NpBool NP_STDCALL InputCloseProc(void *context, int32_t UserData);
NpBool NP_STDCALL InputGetSizeProc(void *context, int32_t UserData, int32_t *Size);
NpBool NP_STDCALL InputSeekProc(void *context, int32_t UserData, int32_t NewPos, int32_t SeekMode);
NpBool NP_STDCALL InputReadProc(void *context, int32_t UserData, void *Buffer, int32_t BytesToRead,
                                int32_t *BytesRead);
