#include "equalizerpresets.h"

namespace Equalizer {

namespace {

bool isBuiltInName(const QString &name)
{
    for (const Preset &preset : builtInPresets())
        if (preset.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// A stored line's name follows the eleventh comma and may hold commas itself; -1 without one.
qsizetype nameStart(const QString &line)
{
    qsizetype comma = -1;
    for (int i = 0; i <= BandCount; ++i)
        if ((comma = line.indexOf(QLatin1Char(','), comma + 1)) < 0)
            return -1;
    return comma + 1;
}

} // namespace

// The preamps leave headroom for the largest boost, so that a preset does not clip loud music.
const QList<Preset> &builtInPresets()
{
    static const QList<Preset> presets{
        {"Flat", {0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}},
        {"Rock", {-30, {50, 40, 30, 10, -10, -10, 10, 30, 40, 50}}},
        {"Pop", {-20, {-10, 10, 30, 40, 30, 10, -10, -10, 0, 10}}},
        {"Classical", {0, {30, 20, 10, 0, 0, 0, -10, -20, -20, -30}}},
        {"Jazz", {-20, {30, 20, 10, 20, -10, -10, 0, 10, 20, 30}}},
        {"Dance", {-40, {70, 60, 30, 0, -10, -10, 10, 30, 30, 20}}},
        {"Bass", {-50, {90, 80, 60, 30, 10, 0, 0, 0, 0, 0}}},
        {"Treble", {-50, {0, 0, 0, 0, 0, 10, 30, 60, 80, 90}}},
        {"Vocal", {-30, {-30, -30, -10, 10, 40, 50, 40, 20, 0, -20}}},
        {"Loudness", {-40, {70, 50, 20, 0, -10, -10, 0, 20, 50, 70}}},
    };
    return presets;
}

QString UserPresets::cleanName(const QString &name)
{
    // By code point, so that characters beyond the basic plane are kept and never cut in half.
    std::u32string kept;
    for (char32_t c : name.toStdU32String())
        if (QChar::isPrint(c) || QChar::isSpace(c))
            kept += c;
    const std::u32string simplified = QString::fromStdU32String(kept).simplified().toStdU32String();
    return QString::fromStdU32String(simplified.substr(0, size_t(MaxNameLength))).trimmed();
}

QStringList UserPresets::names() const
{
    QStringList names;
    for (const Preset &preset : m_presets)
        names << preset.name;
    return names;
}

qsizetype UserPresets::indexOf(const QString &name) const
{
    for (qsizetype i = 0; i < m_presets.size(); ++i)
        if (m_presets[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::optional<Curve> UserPresets::find(const QString &name) const
{
    const qsizetype i = indexOf(cleanName(name));
    return i < 0 ? std::nullopt : std::optional<Curve>(m_presets[i].curve);
}

bool UserPresets::save(const QString &name, const Curve &curve)
{
    const QString cleaned = cleanName(name);
    if (cleaned.isEmpty() || isBuiltInName(cleaned))
        return false;
    const Curve kept = clampedCurve(curve);
    const qsizetype i = indexOf(cleaned);
    if (i >= 0) {
        m_presets[i] = {cleaned, kept};
        return true;
    }
    if (m_presets.size() >= MaxCount)
        return false;
    m_presets.append({cleaned, kept});
    return true;
}

bool UserPresets::remove(const QString &name)
{
    const qsizetype i = indexOf(cleanName(name));
    if (i < 0)
        return false;
    m_presets.removeAt(i);
    return true;
}

QString UserPresets::text() const
{
    QStringList lines;
    for (const Preset &preset : m_presets)
        lines << curveText(preset.curve) + QLatin1Char(',') + preset.name;
    return lines.join(QLatin1Char('\n'));
}

UserPresets UserPresets::fromText(const QString &text)
{
    UserPresets user;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const qsizetype start = nameStart(line);
        if (start > 0)
            user.save(line.mid(start), curveFromText(line.left(start - 1)));
    }
    return user;
}

std::optional<Curve> findPreset(const UserPresets &user, const QString &name)
{
    for (const Preset &preset : builtInPresets())
        if (preset.name.compare(name, Qt::CaseInsensitive) == 0)
            return preset.curve;
    return user.find(name);
}

} // namespace Equalizer
