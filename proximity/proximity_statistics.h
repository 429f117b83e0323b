// The statistics of a list of corrected distances (P1, P2, T) and their permutation test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// ln of the regularised upper incomplete gamma function Q(n, x) = e^-x sum_{j<n} x^j / j!, for
// an integer n >= 1 and x >= 0, without leaving log space (so values far below 1e-308 keep
// their digits). 0 for n <= 0.
double LogUpperGammaQ(std::int64_t n, double x);
// ln of the binomial tail sum_{j >= k} C(n, j) p^j (1 - p)^(n - j), 0 < p < 1; 0 when k <= 0.
double LogBinomialTail(std::int64_t n, std::int64_t k, double p);

// -ln c of the pairs is summed in fixed point: units of 2^-40, from a table of ln k (k = 1..125)
// built from the rounded logarithms of the primes, so that ln(ab) = ln a + ln b holds exactly.
// Integer sums do not depend on the order of their terms: pairings whose products of c are equal
// get bit-identical P2, whatever the cells they come from.
constexpr int kLogUnitBits = 40;
// -ln(v/m) in those units, 1 <= v <= m <= 125.
std::int64_t MinusLogCUnits(int v, int m);
// The mean c of a cell is summed over persons in units of 2^-60, for the same reason.
constexpr int kMeanUnitBits = 60;

// What the statistics need of one cell (names of one person with dates of one person): the
// defined pairs, those with c <= 0.2, the sum of -ln c and the mean c.
struct CellSums {
    std::int32_t pairs = 0;
    std::int32_t close = 0;
    std::int64_t minusLogCUnits = 0;  // sum of -ln c, in units of 2^-kLogUnitBits
    std::uint64_t meanCUnits = 0;     // meanC in units of 2^-kMeanUnitBits
    double meanC = 0;                 // 0 when pairs == 0; summed over the sorted c
    double MinusLogC() const;
};
// From the cell's corrected distances in their order; `rank` and `triples` are v and m of each
// defined pair (c = v/m; c <= 0.2 is decided exactly, as 5v <= m). Cells with the same c in any
// order get the same sums, bit for bit.
CellSums SumCell(const std::vector<int>& rank, const std::vector<int>& triples);

struct ProximityStatistics {
    std::int64_t pairs = 0;  // N: pairs with c defined
    std::int64_t close = 0;  // K: of those, c <= 0.2
    double minusLogC = 0;    // sum of -ln c
    double logP1 = 0, logP2 = 0;
    double p1 = 1, p2 = 1;
    // The mean over persons of the mean c of their pairs; persons without a defined pair are
    // left out of it, and t is undefined (hasT false) when no person has one.
    bool hasT = false;
    double t = 0;
    std::int64_t personsInT = 0;
};

// The statistics of a list whose person i has the cell cells[i] (its names with its dates).
ProximityStatistics StatisticsOfCells(const std::vector<const CellSums*>& cells);

// The cell sums of an n x n matrix, row-major: cells[i * n + j] pairs the names of i with the
// dates of j.
struct CellMatrix {
    std::size_t persons = 0;
    std::vector<CellSums> cells;
    const CellSums& At(std::size_t row, std::size_t column) const {
        return cells[row * persons + column];
    }
};

// The permutation of persons number `index`: 0 is the identity; others are a Fisher-Yates
// shuffle (i from n-1 down to 1 swaps i with UniformBelow(i + 1)) drawn from
// ControlStream(seed, index). Person i's names meet the dates of person permutation[i].
std::vector<std::uint32_t> PersonPermutation(std::size_t persons, std::uint64_t seed,
                                             std::uint64_t index);

// How many permutations of a range give a value at most the identity's, per statistic. Equal
// values count: P1 takes (N, K), P2 (N and the fixed-point sum of -ln c) and T (the fixed-point
// sum of the means and the persons), so that pairings that tie exactly compare equal; a P2 near 1
// is compared by its complement 1 - P2, which keeps its digits there. A pairing without a defined
// pair counts as the worst value of each statistic.
struct PermutationCounts {
    std::int64_t permutations = 0;
    std::int64_t atMostP1 = 0, atMostP2 = 0, atMostT = 0;

    PermutationCounts& operator+=(const PermutationCounts& other);
};

// Counts the permutations with index in [first, last) (index 0 is the identity, which always
// counts). A pure function of (matrix, seed, range): ranges can be summed in any grouping.
// `leftOut`, when not SIZE_MAX, is a person taken out of the list: the permutations are those of
// the other persons (drawn as for a list without that person).
PermutationCounts CountPermutations(const CellMatrix& matrix, std::uint64_t seed,
                                    std::uint64_t first, std::uint64_t last,
                                    std::size_t leftOut = SIZE_MAX);
