// P1, P2 and T of a list of corrected distances, and the permutation test.
#include "proximity/proximity_statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <vector>

#include "common/random.h"
#include "tests/proximity/proximity_support.h"

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
    EXPECT_NEAR(sums.MinusLogC(), std::log(125.0) + std::log(5.0) + std::log(5.0) + std::log(2.0),
                1e-11);
    // The same c in another order give the same sums, bit for bit.
    const CellSums shuffled = SumCell({60, 24, 1, 25}, {120, 120, 125, 125});
    EXPECT_EQ(shuffled.minusLogCUnits, sums.minusLogCUnits);
    EXPECT_EQ(shuffled.meanCUnits, sums.meanCUnits);
    EXPECT_EQ(std::memcmp(&shuffled.meanC, &sums.meanC, sizeof sums.meanC), 0);
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
    EXPECT_NEAR(statistics.minusLogC, -std::log(0.01) - std::log(0.5) - std::log(0.75), 1e-11);

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
        // Blocks of the tool's test are 16384 permutations: cross a block's end.
        ExpectSameCounts(PermutationTest(matrix, 5, 40000, 2), CountByDefinition(matrix, 5, 40000));
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

// Exact ties and P2 near 1, against every pairing counted with integers. Every cell has the same
// number of defined pairs, all with m = 125 and v a power of 5 (1, 5, 25 or 125), so that for
// every pairing N is the same, P2 <= P2' exactly when the product of c is at most the other's,
// that is when the exponents of 5 in the v add up to no more, and T <= T' exactly when the sums
// of v add up to no more. With few exponents, many pairings tie exactly.
struct ExactCell {
    std::vector<int> exponents;  // of 5, one a pair
};

CellMatrix ExactMatrix(const std::vector<ExactCell>& cells, std::size_t persons) {
    CellMatrix matrix;
    matrix.persons = persons;
    for (const ExactCell& cell : cells) {
        std::vector<int> ranks, triples;
        for (const int e : cell.exponents) {
            ranks.push_back(e == 0 ? 1 : e == 1 ? 5 : e == 2 ? 25 : 125);
            triples.push_back(125);
        }
        matrix.cells.push_back(SumCell(ranks, triples));
    }
    return matrix;
}

PermutationCounts CountExactly(const std::vector<ExactCell>& cells, std::size_t persons,
                               std::uint64_t seed, std::uint64_t count) {
    struct Exact {
        int close = 0, exponents = 0, vSum = 0;
    };
    const auto exactOf = [&](const std::vector<std::uint32_t>& permutation) {
        Exact exact;
        for (std::size_t i = 0; i < persons; ++i) {
            for (const int e : cells[i * persons + permutation[i]].exponents) {
                exact.close += e <= 2;  // v <= 25: c <= 0.2
                exact.exponents += e;
                exact.vSum += e == 0 ? 1 : e == 1 ? 5 : e == 2 ? 25 : 125;
            }
        }
        return exact;
    };
    const Exact identity = exactOf(PersonPermutation(persons, seed, 0));
    PermutationCounts counts;
    for (std::uint64_t index = 0; index <= count; ++index) {
        const Exact exact = exactOf(PersonPermutation(persons, seed, index));
        ++counts.permutations;
        counts.atMostP1 += exact.close >= identity.close;
        counts.atMostP2 += exact.exponents <= identity.exponents;
        counts.atMostT += exact.vSum <= identity.vSum;
    }
    return counts;
}

TEST(ProximityStatistics, PermutationRanksCountExactTiesAndOrderP2NearOne) {
    struct Case {
        const char* what;
        std::size_t persons;
        std::size_t pairsPerCell;
        int highestExponent;  // pairs get exponents 0..highestExponent
        std::uint64_t seed;
    };
    const Case cases[] = {
        {"few pairs, many ties", 4, 2, 3, 11},
        {"P2 near 1: many pairs of c = 1", 4, 60, 3, 12},
        {"five persons", 5, 3, 3, 13},
        {"two persons", 2, 2, 3, 14},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        CXoshiro256StarStar random = CXoshiro256StarStar::FromSeed(test.seed);
        std::vector<ExactCell> cells(test.persons * test.persons);
        for (ExactCell& cell : cells) {
            for (std::size_t k = 0; k < test.pairsPerCell; ++k) {
                // Near 1: all but two pairs at c = 1 (exponent 3).
                const bool one = test.pairsPerCell > 10 && k >= 2;
                cell.exponents.push_back(
                    one ? 3
                        : static_cast<int>(UniformBelow(
                              random, static_cast<std::uint32_t>(test.highestExponent + 1))));
            }
        }
        const CellMatrix matrix = ExactMatrix(cells, test.persons);
        const PermutationCounts expected = CountExactly(cells, test.persons, 3, 2000);
        ExpectSameCounts(PermutationTest(matrix, 3, 2000, 2), expected);
        // Ties are there to be counted: some pairing other than the identity ties with it.
        EXPECT_GT(expected.atMostP2, 1);
    }
}

TEST(ProximityStatistics, ASwappedPairingThatTiesExactlyCountsAsEqual) {
    // Person 0's own cell holds c = 1/3 and 1/5 and person 1's holds 1/7; swapped, person 0's
    // names meet 1/7 and person 1's meet 1/5 and 1/3, in another order: the same c, in other
    // cells, so every statistic of the swapped pairing equals the list's own.
    CellMatrix matrix;
    matrix.persons = 2;
    matrix.cells = {SumCell({1, 1}, {3, 5}), SumCell({1}, {7}), SumCell({1, 1}, {5, 3}),
                    SumCell({1}, {7})};
    const PermutationCounts counts = PermutationTest(matrix, 9, 1999, 1);
    EXPECT_EQ(counts.atMostP1, 2000);
    EXPECT_EQ(counts.atMostP2, 2000);
    EXPECT_EQ(counts.atMostT, 2000);
}

TEST(ProximityStatistics, APersonLeftOutIsTheListWithoutThatPerson) {
    const CellMatrix matrix = RandomMatrix(6, 61, 2);
    for (const std::uint64_t seed : {1u, 2u, 77u, 20261210u}) {
        for (std::size_t out = 0; out < matrix.persons; ++out) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", person " << out);
            CellMatrix without;
            without.persons = matrix.persons - 1;
            for (std::size_t i = 0; i < matrix.persons; ++i) {
                for (std::size_t j = 0; j < matrix.persons; ++j) {
                    if (i != out && j != out) without.cells.push_back(matrix.At(i, j));
                }
            }
            ExpectSameCounts(PermutationTest(matrix, seed, 300, 2, out),
                             CountByDefinition(without, seed, 300));
        }
    }
}

}  // namespace
