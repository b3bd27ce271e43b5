// The equalizer's presets: the built-in curves and the user's own, saved by name.
#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "equalizersettings.h"

namespace Equalizer {

struct Preset {
    QString name;
    Curve curve;
};

// Flat first, then Rock, Pop, Classical, Jazz, Dance, Bass, Treble, Vocal, Loudness.
const QList<Preset> &builtInPresets();

// The user's presets, in the order they were first saved. Names are compared without regard to
// case, and none may be a built-in one's.
class UserPresets {
public:
    static constexpr qsizetype MaxNameLength = 40;
    // Kept in bounds so that a damaged store cannot fill the window's list.
    static constexpr qsizetype MaxCount = 100;

    // A typed or stored name as it is kept: control characters dropped, blanks simplified,
    // cut to MaxNameLength. Empty when nothing usable is left.
    static QString cleanName(const QString &name);

    const QList<Preset> &presets() const { return m_presets; }
    QStringList names() const;
    std::optional<Curve> find(const QString &name) const;
    // Adds the preset under its cleaned name or replaces the one of that name. False (nothing
    // changes) when the name is empty or a built-in one's, or when the list is full.
    bool save(const QString &name, const Curve &curve);
    // False when there is no user preset of that name.
    bool remove(const QString &name);

    // One preset a line, "preamp,band0,...,band9,name"; reading skips what it cannot use.
    QString text() const;
    static UserPresets fromText(const QString &text);

private:
    qsizetype indexOf(const QString &name) const;

    QList<Preset> m_presets;
};

// A built-in preset's curve, else the user's preset of that name.
std::optional<Curve> findPreset(const UserPresets &user, const QString &name);

} // namespace Equalizer
