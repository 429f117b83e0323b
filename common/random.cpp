#include "common/random.h"

namespace {

constexpr std::uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ull;

constexpr std::uint64_t RotateLeft(std::uint64_t value, int bits) {
    return (value << bits) | (value >> (64 - bits));
}

}  // namespace

std::uint64_t CSplitMix64::Mix(std::uint64_t value) {
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

std::uint64_t CSplitMix64::Next() {
    state_ += kGoldenGamma;
    return Mix(state_);
}

CXoshiro256StarStar CXoshiro256StarStar::FromSeed(std::uint64_t seed) {
    CSplitMix64 seeder(seed);
    std::array<std::uint64_t, 4> state{};
    for (std::uint64_t& word : state)
        word = seeder.Next();
    // Four outputs of a bijection of four distinct counters cannot all be zero.
    return CXoshiro256StarStar(state);
}

std::uint64_t CXoshiro256StarStar::Next() {
    const std::uint64_t result = RotateLeft(state_[1] * 5, 7) * 9;
    const std::uint64_t shifted = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= shifted;
    state_[3] = RotateLeft(state_[3], 45);
    return result;
}

CXoshiro256StarStar ControlStream(std::uint64_t seed, std::uint64_t control) {
    // Output number `control` of CSplitMix64(seed), reached without stepping through the others.
    // Mix is a bijection and the counters differ for every control, so no two controls of a
    // run share a seed; seeding a second SplitMix64 from it keeps neighbouring controls' states
    // apart (the first one's successive outputs would otherwise overlap).
    const std::uint64_t streamSeed = CSplitMix64::Mix(seed + (control + 1) * kGoldenGamma);
    return CXoshiro256StarStar::FromSeed(streamSeed);
}
