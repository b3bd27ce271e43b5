// What the equalizer is set to: on or off, the preamp and the ten bands, in tenths of a decibel
// as the decoder library takes them, and their texts for the store and the window.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace Equalizer {

constexpr int BandCount = 10;
constexpr int MinGain = -120;
constexpr int MaxGain = 120;

// The bands' centres as the window labels them: 31 Hz to 16 kHz.
const QStringList &bandLabels();
int clampedGain(int gain);
// "+3.5 dB", "0 dB", "-12 dB".
QString gainText(int gain);

// A preamp and ten band gains: what a preset holds.
struct Curve {
    int preamp = 0;
    std::array<int, BandCount> bands{};

    bool operator==(const Curve &) const = default;
};

Curve clampedCurve(Curve curve);

// "preamp,band0,...,band9". Reading keeps what can be read: a missing or damaged number is 0,
// a number out of range is clamped, anything past the eleventh is ignored.
QString curveText(const Curve &curve);
Curve curveFromText(const QString &text);

struct Settings {
    bool on = false;
    Curve curve;

    bool operator==(const Settings &) const = default;
};

} // namespace Equalizer
