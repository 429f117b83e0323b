#include "proximity/proximity_statistics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>
#include <numeric>

#include "common/random.h"

namespace {

constexpr double kCloseShare = 0.2;
constexpr double kNegligible = 1e-18;

// ln j! for j = 0..size-1. The permutation test's workers each fill a table, and std::lgamma may
// write a global (the sign, signgam), so the tables are filled one at a time.
std::vector<double> LogFactorials(std::int64_t size) {
    static std::mutex lgammaGlobal;
    std::vector<double> values(static_cast<std::size_t>(std::max<std::int64_t>(size, 1)));
    const std::lock_guard<std::mutex> lock(lgammaGlobal);
    for (std::size_t j = 0; j < values.size(); ++j)
        values[j] = std::lgamma(static_cast<double>(j) + 1.0);
    return values;
}

// ln Q(n, x) = -x + ln sum_{j<n} x^j/j!. The terms are summed relative to the largest, at
// j = min(n - 1, floor(x)), walking away from it on both sides until they no longer count, so
// nothing overflows and a tiny Q keeps its digits in the logarithm.
double LogQ(std::int64_t n, double x, const std::vector<double>& logFactorials) {
    if (n <= 0) return 0;
    if (x <= 0) return 0;
    const std::int64_t top =
        x >= double(n - 1) ? n - 1 : std::min<std::int64_t>(n - 1, static_cast<std::int64_t>(x));
    double sum = 1;
    double term = 1;
    for (std::int64_t j = top - 1; j >= 0; --j) {
        term *= double(j + 1) / x;
        sum += term;
        if (term < sum * kNegligible) break;
    }
    term = 1;
    for (std::int64_t j = top + 1; j < n; ++j) {
        term *= x / double(j);
        sum += term;
        if (term < sum * kNegligible) break;
    }
    const double logTop = double(top) * std::log(x) - logFactorials[static_cast<std::size_t>(top)];
    return std::min(0.0, -x + logTop + std::log(sum));
}

// ln P(n, x) = ln(1 - Q(n, x)) = -x + ln sum_{j>=n} x^j/j!, for x < n + 1 (where the terms
// fall from j = n on), summed relative to the term at j = n; it keeps its digits where Q is near
// 1. Further out, where Q is below 1/2, the plain complement of Q is as good.
double LogLowerP(std::int64_t n, double x, const std::vector<double>& logFactorials) {
    if (n <= 0) return 0;
    if (x <= 0) return -std::numeric_limits<double>::infinity();
    if (x >= double(n + 1)) return std::log1p(-std::exp(LogQ(n, x, logFactorials)));
    double sum = 1;
    double term = 1;
    for (std::int64_t j = n + 1;; ++j) {
        term *= x / double(j);
        sum += term;
        if (term < sum * kNegligible) break;
    }
    const double logTop = double(n) * std::log(x) - logFactorials[static_cast<std::size_t>(n)];
    return std::min(0.0, -x + logTop + std::log(sum));
}

// Where a P2 stands in the order of P2 values: below 1/2 by ln P2, above by -ln(1 - P2), so that
// a P2 near 1 is ordered by digits it keeps. Smaller is smaller.
struct P2Order {
    bool high;  // P2 > 1/2
    double key;
    bool operator<=(const P2Order& other) const {
        return high != other.high ? !high : key <= other.key;
    }
};
constexpr double kLogHalf = -0.69314718055994530942;

P2Order OrderOfP2(std::int64_t pairs, double logP2, double x,
                  const std::vector<double>& logFactorials) {
    if (pairs <= 0) return {true, std::numeric_limits<double>::infinity()};  // the worst: P2 = 1
    if (logP2 <= kLogHalf) return {false, logP2};
    return {true, -LogLowerP(pairs, x, logFactorials)};
}

double LogAddExp(double a, double b) {
    if (a == -std::numeric_limits<double>::infinity()) return b;
    if (b == -std::numeric_limits<double>::infinity()) return a;
    const double high = std::max(a, b), low = std::min(a, b);
    return high + std::log1p(std::exp(low - high));
}

// ln of the binomial tails sum_{j >= k} for k = n down to `lowest`, filled into tails[k]: the
// terms are added one by one in log space from the top, so a far tail keeps its digits.
void LogBinomialTails(std::int64_t n, double p, std::int64_t lowest,
                      const std::vector<double>& logFactorials, std::vector<double>& tails) {
    tails.assign(static_cast<std::size_t>(n + 2), 0.0);
    const double logP = std::log(p), logQ = std::log1p(-p);
    double tail = -std::numeric_limits<double>::infinity();
    tails[static_cast<std::size_t>(n + 1)] = tail;
    for (std::int64_t j = n; j >= std::max<std::int64_t>(lowest, 0); --j) {
        const double logTerm = logFactorials[static_cast<std::size_t>(n)] -
                               logFactorials[static_cast<std::size_t>(j)] -
                               logFactorials[static_cast<std::size_t>(n - j)] + double(j) * logP +
                               double(n - j) * logQ;
        tail = LogAddExp(tail, logTerm);
        tails[static_cast<std::size_t>(j)] = std::min(0.0, tail);
    }
    if (lowest <= 0) tails[0] = 0;  // the whole distribution
}

double UnitsToMinusLogC(std::int64_t units) {
    return std::ldexp(static_cast<double>(units), -kLogUnitBits);
}

// A sum of the cells' mean c in units of 2^-kMeanUnitBits, 128 bits wide so that no list can
// overflow it.
struct MeanSum {
    std::uint64_t low = 0, high = 0;
    void Add(std::uint64_t units) {
        low += units;
        high += low < units;
    }
    // The T of `persons` persons whose mean c sum to this.
    double T(std::int64_t persons) const {
        const double sum = std::ldexp(static_cast<double>(high), 64) + static_cast<double>(low);
        return std::ldexp(sum, -kMeanUnitBits) / double(persons);
    }
};

// The three values of one pairing, in the form the ranks compare: ln P1, the order of P2 and T
// (an undefined T counts as +infinity, above every defined one).
struct PairingValues {
    double logP1;
    P2Order p2;
    double t;
};

// Everything a thread needs to value pairings; the binomial tails are kept per N.
class CPairingValuer {
  public:
    CPairingValuer(const CellMatrix& matrix, const std::vector<double>& logFactorials)
        : matrix_(matrix), logFactorials_(logFactorials) {}

    // Person rows[i] meets the dates of person rows[permutation[i]].
    PairingValues Value(const std::vector<std::uint32_t>& permutation,
                        const std::vector<std::uint32_t>& rows) {
        std::int64_t pairs = 0, close = 0, persons = 0, minusLogC = 0;
        MeanSum means;
        for (std::size_t i = 0; i < permutation.size(); ++i) {
            const CellSums& cell = matrix_.At(rows[i], rows[permutation[i]]);
            pairs += cell.pairs;
            close += cell.close;
            minusLogC += cell.minusLogCUnits;
            if (cell.pairs > 0) {
                means.Add(cell.meanCUnits);
                ++persons;
            }
        }
        PairingValues values;
        values.logP1 = pairs > 0 ? TailOf(pairs, close) : 0.0;
        const double x = UnitsToMinusLogC(minusLogC);
        values.p2 = OrderOfP2(pairs, LogQ(pairs, x, logFactorials_), x, logFactorials_);
        values.t = persons > 0 ? means.T(persons) : std::numeric_limits<double>::infinity();
        return values;
    }

  private:
    double TailOf(std::int64_t pairs, std::int64_t close) {
        auto found = tails_.find(pairs);
        if (found == tails_.end()) {
            found = tails_.emplace(pairs, std::vector<double>()).first;
            LogBinomialTails(pairs, kCloseShare, 0, logFactorials_, found->second);
        }
        return found->second[static_cast<std::size_t>(close)];
    }

    const CellMatrix& matrix_;
    const std::vector<double>& logFactorials_;
    std::map<std::int64_t, std::vector<double>> tails_;
};

std::int64_t MostPairs(const CellMatrix& matrix) {
    std::int64_t most = 0;
    for (std::size_t i = 0; i < matrix.persons; ++i) {
        std::int64_t rowMost = 0;
        for (std::size_t j = 0; j < matrix.persons; ++j)
            rowMost = std::max<std::int64_t>(rowMost, matrix.At(i, j).pairs);
        most += rowMost;
    }
    return most;
}

// ln k for k = 1..125 in units of 2^-kLogUnitBits, each the sum of its primes' rounded
// logarithms.
const std::array<std::int64_t, 126>& LogUnits() {
    static const std::array<std::int64_t, 126> units = [] {
        std::array<std::int64_t, 126> table{};
        for (int k = 2; k <= 125; ++k) {
            int prime = 2;
            while (k % prime != 0)
                ++prime;
            if (prime == k)
                table[static_cast<std::size_t>(k)] =
                    std::llround(std::ldexp(std::log(double(k)), kLogUnitBits));
            else
                table[static_cast<std::size_t>(k)] = table[static_cast<std::size_t>(prime)] +
                                                     table[static_cast<std::size_t>(k / prime)];
        }
        return table;
    }();
    return units;
}

// Permutation `index` of 0..size-1 into `permutation` (see PersonPermutation).
void FillPermutation(std::uint64_t seed, std::uint64_t index,
                     std::vector<std::uint32_t>& permutation) {
    std::iota(permutation.begin(), permutation.end(), 0u);
    if (index == 0 || permutation.size() < 2) return;
    CXoshiro256StarStar stream = ControlStream(seed, index);
    for (std::size_t i = permutation.size() - 1; i >= 1; --i) {
        const std::uint32_t j = UniformBelow(stream, static_cast<std::uint32_t>(i + 1));
        std::swap(permutation[i], permutation[j]);
    }
}

PermutationCounts CountWith(const CellMatrix& matrix, std::uint64_t seed, std::uint64_t first,
                            std::uint64_t last, std::size_t leftOut,
                            const std::vector<double>& logFactorials) {
    CPairingValuer valuer(matrix, logFactorials);
    std::vector<std::uint32_t> rows;
    for (std::uint32_t p = 0; p < matrix.persons; ++p) {
        if (p != leftOut) rows.push_back(p);
    }
    std::vector<std::uint32_t> permutation(rows.size());
    FillPermutation(seed, 0, permutation);
    const PairingValues identity = valuer.Value(permutation, rows);
    PermutationCounts counts;
    for (std::uint64_t index = first; index < last; ++index) {
        FillPermutation(seed, index, permutation);
        const PairingValues values = valuer.Value(permutation, rows);
        ++counts.permutations;
        counts.atMostP1 += values.logP1 <= identity.logP1;
        counts.atMostP2 += values.p2 <= identity.p2;
        counts.atMostT += values.t <= identity.t;
    }
    return counts;
}

}  // namespace

double LogUpperGammaQ(std::int64_t n, double x) {
    if (n <= 0) return 0;
    return LogQ(n, x, LogFactorials(n));
}

double LogBinomialTail(std::int64_t n, std::int64_t k, double p) {
    if (k <= 0) return 0;
    if (k > n) return -std::numeric_limits<double>::infinity();
    std::vector<double> tails;
    LogBinomialTails(n, p, k, LogFactorials(n + 1), tails);
    return tails[static_cast<std::size_t>(k)];
}

std::int64_t MinusLogCUnits(int v, int m) {
    const auto& units = LogUnits();
    return units[static_cast<std::size_t>(m)] - units[static_cast<std::size_t>(v)];
}

double CellSums::MinusLogC() const {
    return UnitsToMinusLogC(minusLogCUnits);
}

CellSums SumCell(const std::vector<int>& rank, const std::vector<int>& triples) {
    CellSums sums;
    std::vector<std::pair<int, int>> fractions;
    for (std::size_t i = 0; i < rank.size() && i < triples.size(); ++i) {
        fractions.emplace_back(rank[i], triples[i]);
        ++sums.pairs;
        sums.close += 5 * rank[i] <= triples[i];
        sums.minusLogCUnits += MinusLogCUnits(rank[i], triples[i]);
    }
    // The mean over the c in a fixed order (by v/m, then v), so that the order of the pairs in
    // the cell does not matter.
    std::sort(fractions.begin(), fractions.end(), [](const auto& a, const auto& b) {
        const int left = a.first * b.second, right = b.first * a.second;
        return left != right ? left < right : a.first < b.first;
    });
    double cSum = 0;
    for (const auto& [v, m] : fractions)
        cSum += double(v) / double(m);
    sums.meanC = sums.pairs > 0 ? cSum / double(sums.pairs) : 0.0;
    sums.meanCUnits =
        static_cast<std::uint64_t>(std::llround(std::ldexp(sums.meanC, kMeanUnitBits)));
    return sums;
}

ProximityStatistics StatisticsOfCells(const std::vector<const CellSums*>& cells) {
    ProximityStatistics statistics;
    std::int64_t minusLogC = 0;
    MeanSum means;
    for (const CellSums* cell : cells) {
        statistics.pairs += cell->pairs;
        statistics.close += cell->close;
        minusLogC += cell->minusLogCUnits;
        if (cell->pairs > 0) {
            means.Add(cell->meanCUnits);
            ++statistics.personsInT;
        }
    }
    statistics.minusLogC = UnitsToMinusLogC(minusLogC);
    const std::vector<double> logFactorials = LogFactorials(statistics.pairs + 1);
    std::vector<double> tails;
    LogBinomialTails(statistics.pairs, kCloseShare, 0, logFactorials, tails);
    statistics.logP1 = tails[static_cast<std::size_t>(statistics.close)];
    statistics.logP2 = LogQ(statistics.pairs, statistics.minusLogC, logFactorials);
    statistics.p1 = std::exp(statistics.logP1);
    statistics.p2 = std::exp(statistics.logP2);
    statistics.hasT = statistics.personsInT > 0;
    statistics.t = statistics.hasT ? means.T(statistics.personsInT) : 0.0;
    return statistics;
}

std::vector<std::uint32_t> PersonPermutation(std::size_t persons, std::uint64_t seed,
                                             std::uint64_t index) {
    std::vector<std::uint32_t> permutation(persons);
    FillPermutation(seed, index, permutation);
    return permutation;
}

PermutationCounts& PermutationCounts::operator+=(const PermutationCounts& other) {
    permutations += other.permutations;
    atMostP1 += other.atMostP1;
    atMostP2 += other.atMostP2;
    atMostT += other.atMostT;
    return *this;
}

PermutationCounts CountPermutations(const CellMatrix& matrix, std::uint64_t seed,
                                    std::uint64_t first, std::uint64_t last, std::size_t leftOut) {
    return CountWith(matrix, seed, first, last, leftOut, LogFactorials(MostPairs(matrix) + 1));
}
