// A scripted stand-in for the decoder library. It records every call with its arguments and
// answers from the script a test fills in. Tests reach the script of the loaded copy through
// its exported FakeDecoderScript().
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "norlplay.h"

struct FakeScript {
    // "ESSetInputName(7,song.mp3)": name, then the arguments that are not pointers.
    std::vector<std::string> calls;
    // Answers by entry name; an entry not named here succeeds (1) or answers 0 for numbers.
    std::map<std::string, int32_t> results;
    int32_t lastError = 0;
    NpHandle handle = 7;
    uint32_t volume = 0; // what ESGetVolume stores
    NpFlag separate = 1; // what ESCanSetVolume stores
    NpFlag hasEQ = 0;    // what ESHasEQ stores
    std::string about = "Fake decoder for tests";
    std::string name = "Fake decoder";
    std::string extensions = "mp3";
    std::array<uint8_t, NP_STREAM_INFO_SIZE> info{};
    std::array<uint8_t, NP_ID3V1_SIZE> tag{};

    NpOutputProc output = nullptr;
    NpOutputActionProc action = nullptr;
    void *outputContext = nullptr;
    NpInputOpenProc open = nullptr;
    NpInputCloseProc close = nullptr;
    NpInputGetSizeProc getSize = nullptr;
    NpInputSeekProc seek = nullptr;
    NpInputReadProc read = nullptr;
    void *inputContext = nullptr;

    // Calls whose name starts with `prefix`, in order.
    std::vector<std::string> callsTo(const std::string &prefix) const
    {
        std::vector<std::string> found;
        for (const auto &call : calls)
            if (call.rfind(prefix, 0) == 0)
                found.push_back(call);
        return found;
    }
    std::vector<std::string> callNames() const
    {
        std::vector<std::string> names;
        for (const auto &call : calls)
            names.push_back(call.substr(0, call.find('(')));
        return names;
    }
};

using FakeDecoderScriptProc = FakeScript *(*)();
