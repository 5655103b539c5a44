#pragma once
// The volume triangle strips enclose, counted positive when every triangle's front face (clockwise in
// our left-handed view, so (b - a) x (c - a) points out) looks outward. A surface drawn inside out
// gives a negative volume.
#include "model/G1MRecords.h"
#include "model/Matrix.h"

#include <cstdint>
#include <span>

namespace tavro::demotest {

// position(index) gives the point an index (never the strip cut) names.
template <typename Position>
double StripVolume(std::span<const std::uint16_t> strips, Position position) {
    double volume = 0;
    std::uint32_t inStrip = 0; // indices since the last cut
    Vector3 window[3]{};
    for (std::uint16_t index : strips) {
        if (index == kStripCutIndex) {
            inStrip = 0;
            continue;
        }
        window[0] = window[1];
        window[1] = window[2];
        window[2] = position(index);
        if (++inStrip < 3) {
            continue;
        }
        // Strip triangle k is (k, k+1, k+2) for even k and (k+1, k, k+2) for odd k.
        const bool odd = (inStrip - 3) % 2 == 1;
        const Vector3 a = odd ? window[1] : window[0];
        const Vector3 b = odd ? window[0] : window[1];
        const Vector3 c = window[2];
        volume += (double{a.x} * (double{b.y} * c.z - double{b.z} * c.y) +
                   double{a.y} * (double{b.z} * c.x - double{b.x} * c.z) +
                   double{a.z} * (double{b.x} * c.y - double{b.y} * c.x)) /
                  6.0;
    }
    return volume;
}

} // namespace tavro::demotest
