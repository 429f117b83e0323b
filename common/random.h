// The random numbers behind the controls, written out so that every platform and standard
// library draws exactly the same numbers from the same seed.
#pragma once

#include <array>
#include <cstdint>

// SplitMix64 (Steele, Lea and Flood; Vigna's reference code): a 64-bit counter stepped by the
// golden-ratio constant, each step put through a fixed mixing function.
class CSplitMix64 {
  public:
    explicit CSplitMix64(std::uint64_t state) : state_(state) {}

    std::uint64_t Next();

    // The mixing function alone: Next() is Mix(state += 0x9E3779B97F4A7C15).
    static std::uint64_t Mix(std::uint64_t value);

  private:
    std::uint64_t state_;
};

// xoshiro256** 1.0 (Blackman and Vigna, 2018), 256 bits of state.
class CXoshiro256StarStar {
  public:
    // The state must not be all zero.
    explicit CXoshiro256StarStar(const std::array<std::uint64_t, 4>& state) : state_(state) {}

    // The state filled by four outputs of a SplitMix64 started at `seed`, as the authors
    // recommend; never all zero.
    static CXoshiro256StarStar FromSeed(std::uint64_t seed);

    std::uint64_t Next();

    // The upper 32 bits of Next(), the generator's strongest.
    std::uint32_t Next32() { return static_cast<std::uint32_t>(Next() >> 32); }

  private:
    std::array<std::uint64_t, 4> state_;
};

// Lemire's unbiased integer in 0 .. bound - 1 (multiply-shift, with rejection of the few
// products that would favour some values). `source` needs Next32(). bound >= 1.
template <class Source>
std::uint32_t UniformBelow(Source& source, std::uint32_t bound) {
    std::uint64_t product = std::uint64_t{source.Next32()} * bound;
    auto low = static_cast<std::uint32_t>(product);
    if (low < bound) {
        // 2^32 mod bound: the number of low halves that occur once too often.
        const std::uint32_t threshold = static_cast<std::uint32_t>(0u - bound) % bound;
        while (low < threshold) {
            product = std::uint64_t{source.Next32()} * bound;
            low = static_cast<std::uint32_t>(product);
        }
    }
    return static_cast<std::uint32_t>(product >> 32);
}

// The generator of control `control` of a run with seed `seed`: seeded from output number
// `control` of a SplitMix64 started at `seed`, so that it depends on (seed, control) alone,
// whichever thread, shard or machine computes the control.
CXoshiro256StarStar ControlStream(std::uint64_t seed, std::uint64_t control);
