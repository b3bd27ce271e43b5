// The elapsed time on the LED display: counted in poll ticks while playing, estimated from the
// file's size and bitrate after a seek.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

struct ElapsedTime {
    int32_t minutes = 0;
    int32_t seconds = 0; // 0..59

    // One more second of playing.
    void tick();
    // "MM:SS", two digits each at least: 00:01, 59:59, 60:00, 100:00.
    QString text() const;

    friend bool operator==(const ElapsedTime &, const ElapsedTime &) = default;
};

// The time at bar position `position` of `maximum`, estimated from the file's length in 128-byte
// blocks and its bitrate. Nothing when the bitrate or the bar's range is 0, or when the estimate
// is beyond any time the counters can hold.
std::optional<ElapsedTime> estimateElapsedTime(uint32_t fileBlocks, uint32_t bitrate, int position,
                                               int maximum);
// The time at a decoder position in milliseconds.
ElapsedTime elapsedTimeAt(int milliseconds);
