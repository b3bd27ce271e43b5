#include "equalizersettings.h"

#include <algorithm>

namespace Equalizer {

const QStringList &bandLabels()
{
    static const QStringList labels{"31", "62", "125", "250", "500", "1K", "2K", "4K", "8K", "16K"};
    return labels;
}

int clampedGain(int gain)
{
    return std::clamp(gain, MinGain, MaxGain);
}

QString gainText(int gain)
{
    const QString number =
        gain % 10 == 0 ? QString::number(gain / 10) : QString::number(gain / 10.0, 'f', 1);
    return (gain > 0 ? QStringLiteral("+") : QString()) + number + QStringLiteral(" dB");
}

Curve clampedCurve(Curve curve)
{
    curve.preamp = clampedGain(curve.preamp);
    for (int &gain : curve.bands)
        gain = clampedGain(gain);
    return curve;
}

QString curveText(const Curve &curve)
{
    QStringList numbers{QString::number(curve.preamp)};
    for (int gain : curve.bands)
        numbers << QString::number(gain);
    return numbers.join(QLatin1Char(','));
}

Curve curveFromText(const QString &text)
{
    const QStringList numbers = text.split(QLatin1Char(','));
    const auto gainAt = [&numbers](qsizetype i) {
        return i < numbers.size() ? clampedGain(numbers[i].trimmed().toInt()) : 0;
    };
    Curve curve;
    curve.preamp = gainAt(0);
    for (int band = 0; band < BandCount; ++band)
        curve.bands[size_t(band)] = gainAt(band + 1);
    return curve;
}

} // namespace Equalizer
