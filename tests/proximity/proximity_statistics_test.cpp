// P1, P2 and T of a list of corrected distances, and the permutation test.
#include "proximity/proximity_statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

#include "common/random.h"

namespace {

// Reference values from a 50-digit evaluation of the same sums.
TEST(ProximityStatistics, UpperGammaInLogSpace) {
    struct Case {
        std::int64_t n;
        double x, logQ;
    };
    const Case cases[] = {
        {163, 251.33, -20.632189735193613602},  // P2 = 1.0954e-9
        {10, 1000, -950.62299837015607961},     // e^-950: far below the smallest double
        {300, 900, -274.88305677450647068},
        {1, 7.5, -7.5},
        {288, 100, -7.9608714509581999e-53},  // Q just below 1
        {50, 1, 0},
        {5, 0, 0},
    };
    for (const Case& c : cases) {
        const double actual = LogUpperGammaQ(c.n, c.x);
        EXPECT_NEAR(actual, c.logQ, 1e-12 * std::max(1.0, std::abs(c.logQ))) << c.n << " " << c.x;
    }
    EXPECT_NEAR(std::exp(LogUpperGammaQ(163, 251.33)), 1.0953523603212434e-9, 1e-20);
}

TEST(ProximityStatistics, BinomialTailInLogSpace) {
    struct Case {
        std::int64_t n, k;
        double logTail;
    };
    const Case cases[] = {
        {10, 3, -1.1325813383458678604},
        {273, 80, -8.7618469575407103038},
        {1000, 900, -1148.8670587542500323},
        {50, 50, -80.471895621705018730},
        {50, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(LogBinomialTail(c.n, c.k, 0.2), c.logTail,
                    1e-12 * std::max(1.0, std::abs(c.logTail)))
            << c.n << " " << c.k;
    }
    EXPECT_EQ(LogBinomialTail(5, 6, 0.2), -std::numeric_limits<double>::infinity());
}

TEST(ProximityStatistics, CellSumsCountCloseDistancesExactly) {
    // 25/125 is exactly 0.2 and counts as close; 24/120 too; 60/120 does not.
    const CellSums sums = SumCell({1, 25, 24, 60}, {125, 125, 120, 120});
    EXPECT_EQ(sums.pairs, 4);
    EXPECT_EQ(sums.close, 3);
    EXPECT_NEAR(sums.minusLogC, std::log(125.0) + std::log(5.0) + std::log(5.0) + std::log(2.0),
                1e-12);
    EXPECT_NEAR(sums.meanC, (1.0 / 125 + 0.2 + 0.2 + 0.5) / 4, 1e-15);
    const CellSums empty = SumCell({}, {});
    EXPECT_EQ(empty.pairs, 0);
    EXPECT_EQ(empty.meanC, 0);
}

TEST(ProximityStatistics, TLeavesOutPersonsWithoutADefinedPair) {
    const CellSums first = SumCell({1, 50}, {100, 100});  // mean 0.255
    const CellSums none = SumCell({}, {});
    const CellSums third = SumCell({75}, {100});  // mean 0.75
    const ProximityStatistics statistics = StatisticsOfCells({&first, &none, &third});
    EXPECT_EQ(statistics.pairs, 3);
    EXPECT_EQ(statistics.close, 1);
    EXPECT_EQ(statistics.personsInT, 2);
    ASSERT_TRUE(statistics.hasT);
    EXPECT_NEAR(statistics.t, (0.255 + 0.75) / 2, 1e-15);
    EXPECT_NEAR(statistics.logP1, LogBinomialTail(3, 1, 0.2), 1e-15);
    EXPECT_NEAR(statistics.p2, std::exp(LogUpperGammaQ(3, statistics.minusLogC)), 1e-15);

    const ProximityStatistics nothing = StatisticsOfCells({&none, &none});
    EXPECT_FALSE(nothing.hasT);
    EXPECT_EQ(nothing.pairs, 0);
    EXPECT_EQ(nothing.p1, 1);
    EXPECT_EQ(nothing.p2, 1);
}

TEST(ProximityStatistics, PermutationsAreSeededFisherYates) {
    EXPECT_EQ(PersonPermutation(6, 99, 0), (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    for (std::uint64_t index = 1; index < 20; ++index) {
        // The documented draw, written out.
        std::vector<std::uint32_t> expected(9);
        std::iota(expected.begin(), expected.end(), 0u);
        CXoshiro256StarStar stream = ControlStream(99, index);
        for (std::uint32_t i = 8; i >= 1; --i)
            std::swap(expected[i], expected[UniformBelow(stream, i + 1)]);
        EXPECT_EQ(PersonPermutation(9, 99, index), expected) << index;
    }
    EXPECT_NE(PersonPermutation(9, 99, 1), PersonPermutation(9, 100, 1));
}

// A matrix whose cells are made from seeded ranks: `diagonalBias` makes the diagonal closer.
CellMatrix RandomMatrix(std::size_t persons, std::uint64_t seed, int diagonalBias) {
    CXoshiro256StarStar random = CXoshiro256StarStar::FromSeed(seed);
    CellMatrix matrix;
    matrix.persons = persons;
    for (std::size_t i = 0; i < persons; ++i) {
        for (std::size_t j = 0; j < persons; ++j) {
            const int pairs = static_cast<int>(UniformBelow(random, 4));  // 0..3 defined
            std::vector<int> ranks, triples;
            for (int p = 0; p < pairs; ++p) {
                int rank = 1 + static_cast<int>(UniformBelow(random, 125));
                if (i == j) rank = std::max(1, rank / std::max(1, diagonalBias));
                ranks.push_back(rank);
                triples.push_back(125);
            }
            matrix.cells.push_back(SumCell(ranks, triples));
        }
    }
    return matrix;
}

// The same count, straight from the definition: each permutation's statistics from its cells.
PermutationCounts CountByDefinition(const CellMatrix& matrix, std::uint64_t seed,
                                    std::uint64_t count) {
    const auto statisticsOf = [&](const std::vector<std::uint32_t>& permutation) {
        std::vector<const CellSums*> cells;
        for (std::size_t i = 0; i < permutation.size(); ++i)
            cells.push_back(&matrix.At(i, permutation[i]));
        return StatisticsOfCells(cells);
    };
    const ProximityStatistics identity = statisticsOf(PersonPermutation(matrix.persons, seed, 0));
    const double identityT = identity.hasT ? identity.t : INFINITY;
    PermutationCounts counts;
    for (std::uint64_t index = 0; index <= count; ++index) {
        const ProximityStatistics s = statisticsOf(PersonPermutation(matrix.persons, seed, index));
        ++counts.permutations;
        counts.atMostP1 += s.logP1 <= identity.logP1;
        counts.atMostP2 += s.logP2 <= identity.logP2;
        counts.atMostT += (s.hasT ? s.t : INFINITY) <= identityT;
    }
    return counts;
}

void ExpectSameCounts(const PermutationCounts& a, const PermutationCounts& b) {
    EXPECT_EQ(a.permutations, b.permutations);
    EXPECT_EQ(a.atMostP1, b.atMostP1);
    EXPECT_EQ(a.atMostP2, b.atMostP2);
    EXPECT_EQ(a.atMostT, b.atMostT);
}

TEST(ProximityStatistics, PermutationTestCountsAsDefinedForAnyThreadsAndRanges) {
    for (const int bias : {1, 3}) {
        SCOPED_TRACE(bias);
        const CellMatrix matrix = RandomMatrix(7, 40 + bias, bias);
        const PermutationCounts expected = CountByDefinition(matrix, 5, 400);
        ExpectSameCounts(PermutationTest(matrix, 5, 400, 1), expected);
        ExpectSameCounts(PermutationTest(matrix, 5, 400, 2), expected);
        ExpectSameCounts(PermutationTest(matrix, 5, 400, 3), expected);
        PermutationCounts pieces = CountPermutations(matrix, 5, 0, 133);
        pieces += CountPermutations(matrix, 5, 133, 134);
        pieces += CountPermutations(matrix, 5, 134, 401);
        ExpectSameCounts(pieces, expected);
        // The identity counts itself, so every rank is at least 1.
        EXPECT_GE(expected.atMostP1, 1);
        EXPECT_GE(expected.atMostP2, 1);
        EXPECT_GE(expected.atMostT, 1);
    }
}

TEST(ProximityStatistics, AClearlyCloserDiagonalRanksFirst) {
    // Every diagonal pair at c = 1/125, every other one at c = 1: no other pairing comes close.
    CellMatrix matrix;
    matrix.persons = 10;
    for (std::size_t i = 0; i < 10; ++i) {
        for (std::size_t j = 0; j < 10; ++j)
            matrix.cells.push_back(SumCell({i == j ? 1 : 125, i == j ? 1 : 125}, {125, 125}));
    }
    const PermutationCounts counts = PermutationTest(matrix, 7, 999, 2);
    EXPECT_EQ(counts.permutations, 1000);
    EXPECT_EQ(counts.atMostP1, 1);
    EXPECT_EQ(counts.atMostP2, 1);
    EXPECT_EQ(counts.atMostT, 1);
}

}  // namespace
