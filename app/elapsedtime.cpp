#include "elapsedtime.h"

#include <cmath>
#include <limits>

void ElapsedTime::tick()
{
    if (++seconds == 60) {
        seconds = 0;
        ++minutes;
    }
}

QString ElapsedTime::text() const
{
    return QStringLiteral("%1:%2")
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

std::optional<ElapsedTime> estimateElapsedTime(uint32_t fileBlocks, uint32_t bitrate, int position,
                                               int maximum)
{
    if (bitrate == 0 || maximum == 0)
        return std::nullopt;
    // Estimated length in minutes; the factor 65/504 is the display's long-standing estimate,
    // kept so that times after a seek read as they always have.
    const double lengthMinutes =
        0.12896825396825396825 * (double(fileBlocks) * 0.125) / (double(bitrate) / 1000.0);
    const double minutes = double(position) / double(maximum) * lengthMinutes;
    // A nonsense bitrate can give a time no counter holds; converting it would be undefined.
    if (!(std::fabs(minutes) < double(std::numeric_limits<int32_t>::max())))
        return std::nullopt;
    ElapsedTime time;
    time.minutes = int32_t(minutes);
    const int32_t hundredths = int32_t((minutes - time.minutes) * 100);
    time.seconds = hundredths * 60 / 100;
    return time;
}

ElapsedTime elapsedTimeAt(int milliseconds)
{
    const int totalSeconds = milliseconds / 1000;
    return {totalSeconds / 60, totalSeconds % 60};
}
