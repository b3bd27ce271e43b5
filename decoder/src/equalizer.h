// The ten-band equalizer a handle keeps, in tenths of a decibel, and how it maps onto the 32
// sub-bands that libmpg123 scales while it decodes.
#pragma once

#include <array>
#include <cstddef>

namespace norl {

class Equalizer {
public:
    static constexpr int BandCount = 10;
    static constexpr int SubBandCount = 32;
    static constexpr int PreampBand = -1;
    static constexpr int MaxGain = 120; // tenths of a decibel, either way
    // Octave centres in Hz.
    static constexpr std::array<double, BandCount> BandHz = {31,   62,   125,  250,  500,
                                                             1000, 2000, 4000, 8000, 16000};

    bool on() const { return m_on; }
    void setOn(bool on) { m_on = on; }
    // Band PreampBand or 0..9. Throws DecoderError(NP_ERROR_BAD_MODE) for a band or gain out
    // of range.
    void setGain(int band, int tenthsDb);

    // Linear factors for the sub-bands of a stream at rate Hz: a sub-band that holds band
    // centres takes their mean, the others follow the curve through the centres (linear in
    // decibels over log frequency). Bands above the Nyquist frequency have no sub-band.
    std::array<double, SubBandCount> subBandFactors(int rate) const;

private:
    double curveDb(double hz, size_t bands) const;

    bool m_on = false;
    int m_preamp = 0;
    std::array<int, BandCount> m_gains{};
};

} // namespace norl
