#include "streamquality.h"

#include <cmath>
#include <vector>

#include "player.h"
#include "streamrecords.h"

std::optional<StreamInfo> fetchStreamInfo(TElPlayer &player)
{
    int32_t size = 0;
    if (!player.GetStreamInfo(nullptr, size))
        return std::nullopt;
    // The record is 16 bytes; a library that asks for less (or absurdly more) gives nothing
    // safe to read.
    if (size < 16 || size > 65536)
        return std::nullopt;
    std::vector<char> buffer(size_t(size) + 1);
    if (!player.GetStreamInfo(buffer.data(), size))
        return std::nullopt;
    StreamInfo info;
    DecodeStreamInfo(buffer.data(), info.layer, info.bitrate, info.frequency, info.stereoMode);
    return info;
}

QString stereoModeName(uint8_t mode)
{
    static const char *const names[] = {"Stereo", "Joint Stereo", "Dual Channel", "Mono"};
    return mode < 4 ? QString::fromLatin1(names[mode]) : QString();
}

QString qualityLine(const StreamInfo &info)
{
    // lrint rounds halves to even in the default rounding mode.
    const long kilobits = std::lrint(double(info.bitrate) / 1000.0);
    const long kilohertz = std::lrint(double(info.frequency) / 1000.0);
    return QStringLiteral("Quality: %1 (%2 KBps  %3 KHz)")
        .arg(stereoModeName(info.stereoMode))
        .arg(kilobits)
        .arg(kilohertz);
}
