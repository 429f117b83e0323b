#include "proximity/proximity_statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>

#include "common/random.h"
#include "common/work_items.h"

namespace {

constexpr double kCloseShare = 0.2;
constexpr double kNegligible = 1e-18;

// ln j! for j = 0..size-1, filled on the calling thread once (std::lgamma may write a global).
std::vector<double> LogFactorials(std::int64_t size) {
    std::vector<double> values(static_cast<std::size_t>(std::max<std::int64_t>(size, 1)));
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

// The three values of one pairing, in the form the ranks compare: ln P1, ln P2 and T (an
// undefined T counts as +infinity, above every defined one).
struct PairingValues {
    double logP1, logP2, t;
};

// Everything a thread needs to value pairings; the binomial tails are kept per N.
class CPairingValuer {
  public:
    CPairingValuer(const CellMatrix& matrix, const std::vector<double>& logFactorials)
        : matrix_(matrix), logFactorials_(logFactorials) {}

    PairingValues Value(const std::vector<std::uint32_t>& permutation) {
        std::int64_t pairs = 0, close = 0, persons = 0;
        double minusLogC = 0, meanSum = 0;
        for (std::size_t i = 0; i < permutation.size(); ++i) {
            const CellSums& cell = matrix_.At(i, permutation[i]);
            pairs += cell.pairs;
            close += cell.close;
            minusLogC += cell.minusLogC;
            if (cell.pairs > 0) {
                meanSum += cell.meanC;
                ++persons;
            }
        }
        PairingValues values;
        values.logP1 = TailOf(pairs, close);
        values.logP2 = LogQ(pairs, minusLogC, logFactorials_);
        values.t =
            persons > 0 ? meanSum / double(persons) : std::numeric_limits<double>::infinity();
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
            rowMost = std::max(rowMost, matrix.At(i, j).pairs);
        most += rowMost;
    }
    return most;
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
                            std::uint64_t last, const std::vector<double>& logFactorials) {
    CPairingValuer valuer(matrix, logFactorials);
    std::vector<std::uint32_t> permutation(matrix.persons);
    FillPermutation(seed, 0, permutation);
    const PairingValues identity = valuer.Value(permutation);
    PermutationCounts counts;
    for (std::uint64_t index = first; index < last; ++index) {
        FillPermutation(seed, index, permutation);
        const PairingValues values = valuer.Value(permutation);
        ++counts.permutations;
        counts.atMostP1 += values.logP1 <= identity.logP1;
        counts.atMostP2 += values.logP2 <= identity.logP2;
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

CellSums SumCell(const std::vector<int>& rank, const std::vector<int>& triples) {
    CellSums sums;
    double cSum = 0;
    for (std::size_t i = 0; i < rank.size() && i < triples.size(); ++i) {
        const double c = double(rank[i]) / double(triples[i]);
        ++sums.pairs;
        sums.close += 5 * rank[i] <= triples[i];
        sums.minusLogC += -std::log(c);
        cSum += c;
    }
    sums.meanC = sums.pairs > 0 ? cSum / double(sums.pairs) : 0.0;
    return sums;
}

ProximityStatistics StatisticsOfCells(const std::vector<const CellSums*>& cells) {
    ProximityStatistics statistics;
    double meanSum = 0;
    for (const CellSums* cell : cells) {
        statistics.pairs += cell->pairs;
        statistics.close += cell->close;
        statistics.minusLogC += cell->minusLogC;
        if (cell->pairs > 0) {
            meanSum += cell->meanC;
            ++statistics.personsInT;
        }
    }
    const std::vector<double> logFactorials = LogFactorials(statistics.pairs + 1);
    std::vector<double> tails;
    LogBinomialTails(statistics.pairs, kCloseShare, 0, logFactorials, tails);
    statistics.logP1 = tails[static_cast<std::size_t>(statistics.close)];
    statistics.logP2 = LogQ(statistics.pairs, statistics.minusLogC, logFactorials);
    statistics.p1 = std::exp(statistics.logP1);
    statistics.p2 = std::exp(statistics.logP2);
    statistics.hasT = statistics.personsInT > 0;
    statistics.t = statistics.hasT ? meanSum / double(statistics.personsInT) : 0.0;
    return statistics;
}

std::vector<std::uint32_t> PersonPermutation(std::size_t persons, std::uint64_t seed,
                                             std::uint64_t index) {
    std::vector<std::uint32_t> permutation(persons);
    std::iota(permutation.begin(), permutation.end(), 0u);
    if (index == 0 || persons < 2) return permutation;
    CXoshiro256StarStar stream = ControlStream(seed, index);
    for (std::size_t i = persons - 1; i >= 1; --i) {
        const std::uint32_t j = UniformBelow(stream, static_cast<std::uint32_t>(i + 1));
        std::swap(permutation[i], permutation[j]);
    }
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
                                    std::uint64_t first, std::uint64_t last) {
    return CountWith(matrix, seed, first, last, LogFactorials(MostPairs(matrix) + 1));
}

PermutationCounts PermutationTest(const CellMatrix& matrix, std::uint64_t seed, std::uint64_t count,
                                  unsigned threads) {
    const std::uint64_t total = count + 1;
    // One range of permutations a thread; the counts are integers, so their sum is the same
    // whichever thread counts which range.
    const unsigned ranges = WorkThreads(
        threads, static_cast<std::size_t>(std::min<std::uint64_t>(total, std::uint64_t{1} << 16)));
    const std::vector<double> logFactorials = LogFactorials(MostPairs(matrix) + 1);
    std::vector<PermutationCounts> parts(ranges);
    WorkItemsOptions options;
    options.threads = ranges;
    RunWorkItems(ranges, options, [&](std::size_t range, unsigned) {
        const std::uint64_t first = total * range / ranges, last = total * (range + 1) / ranges;
        parts[range] = CountWith(matrix, seed, first, last, logFactorials);
    });
    PermutationCounts counts;
    for (const PermutationCounts& part : parts)
        counts += part;
    return counts;
}
