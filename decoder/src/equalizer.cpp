#include "equalizer.h"

#include <algorithm>
#include <cmath>

#include "decodererror.h"

namespace norl {

void Equalizer::setGain(int band, int tenthsDb)
{
    if (band < PreampBand || band >= BandCount)
        fail(NP_ERROR_BAD_MODE, "no such equalizer band");
    if (tenthsDb < -MaxGain || tenthsDb > MaxGain)
        fail(NP_ERROR_BAD_MODE, "equalizer gain out of range");
    if (band == PreampBand)
        m_preamp = tenthsDb;
    else
        m_gains[size_t(band)] = tenthsDb;
}

// Through the first `bands` centres, held flat beyond the outermost ones.
double Equalizer::curveDb(double hz, size_t bands) const
{
    if (bands == 0)
        return 0;
    if (hz <= BandHz.front())
        return m_gains.front() / 10.0;
    for (size_t i = 1; i < bands; ++i) {
        if (hz <= BandHz[i]) {
            double t = std::log2(hz / BandHz[i - 1]) / std::log2(BandHz[i] / BandHz[i - 1]);
            return (m_gains[i - 1] + t * (m_gains[i] - m_gains[i - 1])) / 10.0;
        }
    }
    return m_gains[bands - 1] / 10.0;
}

std::array<double, Equalizer::SubBandCount> Equalizer::subBandFactors(int rate) const
{
    const double width = rate / 2.0 / SubBandCount;
    std::array<int, SubBandCount> sum{}, count{};
    size_t audible = 0; // bands below the Nyquist frequency
    while (audible < BandHz.size() && BandHz[audible] < rate / 2.0)
        ++audible;
    for (size_t i = 0; i < audible; ++i) {
        auto k = std::min<size_t>(size_t(BandHz[i] / width), SubBandCount - 1);
        sum[k] += m_gains[i];
        ++count[k];
    }
    std::array<double, SubBandCount> factors{};
    for (size_t k = 0; k < factors.size(); ++k) {
        double db =
            count[k] ? sum[k] / 10.0 / count[k] : curveDb((double(k) + 0.5) * width, audible);
        factors[k] = std::pow(10.0, (db + m_preamp / 10.0) / 20.0);
    }
    return factors;
}

} // namespace norl
