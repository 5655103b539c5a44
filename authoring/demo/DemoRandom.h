#pragma once
// The demo's own pseudo-random numbers (SplitMix64): the same seed gives the same sequence on every
// platform and compiler, which keeps the generated archive identical from run to run.
#include <cstdint>

namespace tavro::authoring {

class DemoRandom {
public:
    explicit DemoRandom(std::uint64_t seed) : state(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high).
    float Uniform(float low, float high) {
        return low + (high - low) * static_cast<float>(Next() >> 40) / static_cast<float>(1u << 24);
    }
    // Uniform in [0, count); count must be positive.
    std::uint32_t Below(std::uint32_t count) { return static_cast<std::uint32_t>(Next() % count); }

private:
    std::uint64_t state;
};

} // namespace tavro::authoring
