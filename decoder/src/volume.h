// The 0..65535 channel volumes of the library's interface and their packings.
#pragma once

#include <cstdint>

namespace norl {

struct StereoVolume {
    uint16_t left = 65535;
    uint16_t right = 65535;
    bool operator==(const StereoVolume &) const = default;
};

// ESSetVolume: left in the high word, right in the low word.
inline StereoVolume unpackSetVolume(uint32_t packed)
{
    return {uint16_t(packed >> 16), uint16_t(packed & 0xffff)};
}

// ESGetVolume: left in the low word, right in the high word.
inline uint32_t packGetVolume(StereoVolume v)
{
    return uint32_t(v.left) | (uint32_t(v.right) << 16);
}

// The server's volume scale where `norm` is 100 %. The mapping is proportional to the server's
// percent, so the library's volume and the desktop mixer show the same percentage.
inline uint32_t toServerVolume(uint16_t v, uint32_t norm)
{
    return uint32_t((uint64_t(v) * norm + 32767) / 65535);
}

// Values above 100 % (an amplifying mixer) report as full volume.
inline uint16_t fromServerVolume(uint32_t server, uint32_t norm)
{
    if (server >= norm)
        return 65535;
    return uint16_t((uint64_t(server) * 65535 + norm / 2) / norm);
}

} // namespace norl
