// The stream information the main window shows: fetched from the player, and written as the
// quality line and the stereo mode's name.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class TElPlayer;

struct StreamInfo {
    int layer = 0;
    int bitrate = 0;   // bits per second
    int frequency = 0; // hertz
    uint8_t stereoMode = 0;
};

// Nothing when the player has no stream information (no stream open, no library).
std::optional<StreamInfo> fetchStreamInfo(TElPlayer &player);
// "Stereo", "Joint Stereo", "Dual Channel", "Mono"; empty for an index past them.
QString stereoModeName(uint8_t mode);
// "Quality: Joint Stereo (128 KBps  44 KHz)": kilo-units rounded half to even.
QString qualityLine(const StreamInfo &info);
