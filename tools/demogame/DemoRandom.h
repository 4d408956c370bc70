#pragma once

#include <cstdint>

// A small fixed-seed generator (splitmix64), so that the demo game comes out byte for byte
// the same on every run and every machine: no clock, no device entropy, no library
// distribution whose output may differ between standard libraries.
class DemoRandom {
public:
    explicit DemoRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A whole number in [low, high].
    int between(int low, int high)
    {
        const auto span = static_cast<std::uint64_t>(high - low + 1);
        return low + static_cast<int>(next() % span);
    }

    // A number in [0, 1).
    float unit() { return static_cast<float>(next() >> 40) / static_cast<float>(1ull << 24); }

    float between(float low, float high) { return low + (high - low) * unit(); }

    bool chance(float probability) { return unit() < probability; }

private:
    std::uint64_t m_state;
};
