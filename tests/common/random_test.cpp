#include "common/random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

namespace {

TEST(RandomTest, SplitMix64MatchesThePublishedOutputsFromZero) {
    CSplitMix64 generator(0);
    const std::uint64_t expected[] = {0xE220A8397B1DCDAFull, 0x6E789E6AA1B965F4ull,
                                      0x06C45D188009454Full, 0xF88BB8A8724C81ECull};
    for (const std::uint64_t value : expected)
        EXPECT_EQ(generator.Next(), value);
}

TEST(RandomTest, Xoshiro256StarStarMatchesThePublishedOutputsFromState1234) {
    CXoshiro256StarStar generator({1, 2, 3, 4});
    const std::uint64_t expected[] = {11520ull,
                                      0ull,
                                      1509978240ull,
                                      1215971899390074240ull,
                                      1216172134540287360ull,
                                      607988272756665600ull,
                                      16172922978634559625ull,
                                      8476171486693032832ull,
                                      10595114339597558777ull,
                                      2904607092377533576ull};
    for (const std::uint64_t value : expected)
        EXPECT_EQ(generator.Next(), value);
}

// Hands out fixed 32-bit values, to follow the bounded draw's rejection step by step.
struct ScriptedSource {
    std::vector<std::uint32_t> values;
    std::size_t next = 0;
    std::uint32_t Next32() { return values.at(next++); }
};

TEST(RandomTest, UniformBelowRejectsExactlyTheSurplusLowProducts) {
    struct Case {
        std::uint32_t bound;
        std::vector<std::uint32_t> values;
        std::uint32_t expected;
        std::size_t drawsUsed;
    };
    // For bound 3, 2^32 mod 3 = 1: only a product whose low half is 0 is rejected.
    // For bound 2^31 + 1 the threshold is 2^31 - 1, so about half the draws are rejected.
    const Case cases[] = {
        {3, {0, 0xFFFFFFFFu}, 2, 2},
        {3, {0x55555556u}, 1, 1},  // 3 * 0x55555556 = 2^32 + 2: low half 2 >= 1
        {3, {0x80000000u}, 1, 1},
        {1, {0xFFFFFFFFu}, 0, 1},
        {0x80000001u, {0, 2, 0xFFFFFFFFu}, 0x80000000u, 3},
        {0x80000001u, {1}, 0, 1},  // low half 2^31 + 1: not below the bound, kept at once
        {10, {0x19999999u}, 0, 1},
        // 2^32 mod 10 = 6: a low half of 4 is rejected, one of 14 kept.
        {10, {0x1999999Au, 0x1999999Bu}, 1, 2},
    };
    for (const Case& c : cases) {
        ScriptedSource source{c.values};
        EXPECT_EQ(UniformBelow(source, c.bound), c.expected) << c.bound;
        EXPECT_EQ(source.next, c.drawsUsed) << c.bound;
    }
}

TEST(RandomTest, UniformBelowIsUniformOnSmallBounds) {
    // Chi-square against equal frequencies; the bounds are 99.9 % points, and the seed is fixed.
    struct Case {
        std::uint32_t bound;
        double limit;
    };
    const Case cases[] = {{2, 10.83}, {3, 13.82}, {7, 22.46}, {10, 27.88}};
    CXoshiro256StarStar generator = CXoshiro256StarStar::FromSeed(7);
    for (const Case& c : cases) {
        const int draws = 20000;
        std::vector<int> seen(c.bound);
        for (int i = 0; i < draws; ++i)
            ++seen.at(UniformBelow(generator, c.bound));
        const double each = static_cast<double>(draws) / c.bound;
        double chiSquare = 0;
        for (const int count : seen)
            chiSquare += (count - each) * (count - each) / each;
        EXPECT_LT(chiSquare, c.limit) << c.bound;
    }
}

TEST(RandomTest, ControlStreamDependsOnSeedAndControlAlone) {
    auto firstDraws = [](std::uint64_t seed, std::uint64_t control) {
        CXoshiro256StarStar generator = ControlStream(seed, control);
        return std::vector<std::uint64_t>{generator.Next(), generator.Next(), generator.Next()};
    };
    // Asked again later, in another order, a stream starts the same.
    const auto first = firstDraws(5, 3);
    firstDraws(5, 4);
    EXPECT_EQ(firstDraws(5, 3), first);

    std::set<std::uint64_t> starts;
    for (std::uint64_t seed : {0ull, 1ull, 5ull})
        for (std::uint64_t control = 0; control < 100; ++control)
            starts.insert(firstDraws(seed, control).front());
    EXPECT_EQ(starts.size(), 300u);
}

}  // namespace
