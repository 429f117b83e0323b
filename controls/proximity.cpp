#include "controls/proximity.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr std::int32_t kNoValue = std::numeric_limits<std::int32_t>::max();

std::int32_t LetterCount(std::string_view word) {
    return static_cast<std::int32_t>(word.size());
}

// The extension [s, t] of a sequence of k letters.
std::int32_t ExtensionLow(const Els& els, std::int32_t k) {
    return std::min(els.start, els.start + (k - 1) * els.skip);
}
std::int32_t ExtensionHigh(const Els& els, std::int32_t k) {
    return std::max(els.start, els.start + (k - 1) * els.skip);
}

// Finds the candidates of a word: every (n, d) with 2 <= |d| <= D whose first k - 3 letters
// (those no perturbation moves) read the word and whose unperturbed ends lie in the text, then
// sorts each into the families of the perturbations of its last three letters that read it too.
class CFamilyFinder {
  public:
    CFamilyFinder(const CProximityText& text, std::string_view word, std::int32_t skipLimit,
                  WordFamilies& out)
        : text_(text.Letters()),
          proximityText_(text),
          word_(word),
          k_(LetterCount(word)),
          length_(text.Length()),
          skipLimit_(skipLimit),
          out_(out) {}

    void Run() {
        const std::int32_t fixed = k_ - 3;
        if (fixed >= 2)
            RunFromPair(fixed);
        else
            RunFromFirstLetter();
    }

  private:
    // The two neighbouring unperturbed letters (i, i + 1) with the fewest expected meetings:
    // count_i times the count_{i+1} within D on either side. Neighbours give the skip itself as
    // the difference of their positions, with no division.
    std::int32_t CheapestNeighbours(std::int32_t fixed) const {
        std::int32_t best = 0;
        double bestCost = std::numeric_limits<double>::infinity();
        for (std::int32_t i = 0; i + 1 < fixed; ++i) {
            const double cost =
                double(proximityText_.Count(word_[i])) * proximityText_.Count(word_[i + 1]);
            if (cost < bestCost) {
                bestCost = cost;
                best = i;
            }
        }
        return best;
    }

    // A third letter to test before the whole candidate: the rarest other unperturbed letter,
    // or, for words with only two, the first perturbed letter anywhere within its +-2. The
    // filter is a byte a text position with a margin on both sides, so its test needs no bounds.
    void BuildFilter(std::int32_t fixed, std::int32_t i) {
        filterLetter_ = -1;
        for (std::int32_t c = 0; c < fixed; ++c) {
            if (c != i && c != i + 1 &&
                (filterLetter_ < 0 ||
                 proximityText_.Count(word_[c]) < proximityText_.Count(word_[filterLetter_])))
                filterLetter_ = c;
        }
        const bool dilated = filterLetter_ < 0;
        if (dilated) filterLetter_ = k_ - 3;
        margin_ = std::int64_t{k_} * skipLimit_ + 3;
        filter_.assign(static_cast<std::size_t>(length_ + 2 * margin_), 0);
        for (const std::int32_t p : proximityText_.Positions(word_[filterLetter_])) {
            const std::int32_t reach = dilated ? 2 : 0;
            for (std::int32_t x = -reach; x <= reach; ++x)
                filter_[static_cast<std::size_t>(margin_ + p + x)] = 1;
        }
    }

    void RunFromPair(std::int32_t fixed) {
        const std::int32_t i = CheapestNeighbours(fixed);
        BuildFilter(fixed, i);
        const std::int64_t filterStep = filterLetter_ - i;
        const unsigned char* filter = filter_.data() + margin_;
        const auto& firsts = proximityText_.Positions(word_[i]);
        const auto& seconds = proximityText_.Positions(word_[i + 1]);
        auto from = seconds.begin();
        for (const std::int32_t a : firsts) {
            // The window's start only moves forward as a grows.
            while (from != seconds.end() && *from < a - skipLimit_)
                ++from;
            for (auto it = from; it != seconds.end() && *it <= a + skipLimit_; ++it) {
                const std::int32_t d = *it - a;
                if (filter[a + filterStep * d] && (d >= 2 || d <= -2)) TryCandidate(a - i * d, d);
            }
        }
    }

    void RunFromFirstLetter() {
        for (const std::int32_t a : proximityText_.Positions(word_[0])) {
            for (std::int32_t magnitude = 2; magnitude <= skipLimit_; ++magnitude) {
                TryCandidate(a, magnitude);
                TryCandidate(a, -magnitude);
            }
        }
    }

    bool Reads(std::int64_t position, std::int32_t letter) const {
        return position >= 0 && position < length_ && text_[position] == word_[letter];
    }

    void TryCandidate(std::int32_t n, std::int32_t d) {
        const std::int64_t last = std::int64_t{n} + std::int64_t{k_ - 1} * d;
        if (n < 0 || n >= length_ || last < 0 || last >= length_) return;
        for (std::int32_t i = 0; i < k_ - 3; ++i) {
            if (!Reads(std::int64_t{n} + std::int64_t{i} * d, i)) return;
        }
        AddPerturbations(Els{n, d});
    }

    void AddPerturbations(const Els& els) {
        const std::int64_t base1 = els.start + std::int64_t{k_ - 3} * els.skip;
        const std::int64_t base2 = base1 + els.skip;
        const std::int64_t base3 = base2 + els.skip;
        for (int x = -2; x <= 2; ++x) {
            if (!Reads(base1 + x, k_ - 3)) continue;
            for (int y = -2; y <= 2; ++y) {
                if (!Reads(base2 + x + y, k_ - 2)) continue;
                for (int z = -2; z <= 2; ++z) {
                    if (Reads(base3 + x + y + z, k_ - 1))
                        out_.families[TripleIndex({x, y, z})].push_back({els, false, 0, 0});
                }
            }
        }
    }

    std::string_view text_;
    const CProximityText& proximityText_;
    std::string_view word_;
    std::int32_t k_;
    std::int32_t length_;
    std::int32_t skipLimit_;
    WordFamilies& out_;
    std::int32_t filterLetter_ = -1;
    std::int64_t margin_ = 0;
    std::vector<unsigned char> filter_;
};

// Prefix maximum over indexes, with values that only grow.
class CPrefixMax {
  public:
    explicit CPrefixMax(std::size_t size) : tree_(size + 1, -1) {}
    void Raise(std::size_t index, std::int32_t value) {
        for (std::size_t i = index + 1; i < tree_.size(); i += i & (~i + 1))
            tree_[i] = std::max(tree_[i], value);
    }
    // The largest value at indexes below `end`; -1 for none.
    std::int32_t Below(std::size_t end) const {
        std::int32_t best = -1;
        for (std::size_t i = end; i > 0; i -= i & (~i + 1))
            best = std::max(best, tree_[i]);
        return best;
    }

  private:
    std::vector<std::int32_t> tree_;
};

// Suffix minimum over indexes, with values that only fall.
class CSuffixMin {
  public:
    explicit CSuffixMin(std::size_t size) : size_(size), tree_(size + 1, kNoValue) {}
    void Lower(std::size_t index, std::int32_t value) {
        for (std::size_t i = size_ - index; i < tree_.size(); i += i & (~i + 1))
            tree_[i] = std::min(tree_[i], value);
    }
    // The smallest value at indexes `from` and above; kNoValue for none.
    std::int32_t From(std::size_t from) const {
        std::int32_t best = kNoValue;
        for (std::size_t i = size_ - from; i > 0; i -= i & (~i + 1))
            best = std::min(best, tree_[i]);
        return best;
    }

  private:
    std::size_t size_;
    std::vector<std::int32_t> tree_;
};

bool FamilyOrder(const FamilyMember& left, const FamilyMember& right, std::int32_t k) {
    const std::int32_t leftSkip = std::abs(left.els.skip), rightSkip = std::abs(right.els.skip);
    if (leftSkip != rightSkip) return leftSkip < rightSkip;
    const std::int32_t leftLow = ExtensionLow(left.els, k), rightLow = ExtensionLow(right.els, k);
    if (leftLow != rightLow) return leftLow < rightLow;
    return left.els.skip < right.els.skip;
}

// The domains of minimality of a family sorted by FamilyOrder. Members are taken in groups of
// equal |d|; each group is measured against every member of smaller |d| before it joins them.
// Among those, one that starts at or after s either lies inside [s, t] (no domain) or ends after
// t, so the smallest end among members starting at or after s decides both the containment and
// b; a is the largest start before s.
void FindDomains(std::vector<FamilyMember>& family, std::int32_t k, std::int32_t length) {
    std::vector<std::int32_t> starts;
    starts.reserve(family.size());
    for (const FamilyMember& member : family)
        starts.push_back(ExtensionLow(member.els, k));
    std::vector<std::int32_t> coordinates = starts;
    std::sort(coordinates.begin(), coordinates.end());
    coordinates.erase(std::unique(coordinates.begin(), coordinates.end()), coordinates.end());
    const auto indexOf = [&](std::int32_t start) {
        return static_cast<std::size_t>(
            std::lower_bound(coordinates.begin(), coordinates.end(), start) - coordinates.begin());
    };
    CPrefixMax startsBefore(coordinates.size());
    CSuffixMin endsFrom(coordinates.size());
    std::size_t group = 0;
    while (group < family.size()) {
        std::size_t groupEnd = group;
        const std::int32_t skip = std::abs(family[group].els.skip);
        while (groupEnd < family.size() && std::abs(family[groupEnd].els.skip) == skip)
            ++groupEnd;
        for (std::size_t i = group; i < groupEnd; ++i) {
            FamilyMember& member = family[i];
            const std::size_t at = indexOf(starts[i]);
            const std::int32_t smallestEnd = endsFrom.From(at);
            member.hasDomain = smallestEnd > ExtensionHigh(member.els, k);
            if (!member.hasDomain) continue;
            member.low = std::max<std::int32_t>(0, startsBefore.Below(at));
            member.high = std::min(length, smallestEnd);
        }
        for (std::size_t i = group; i < groupEnd; ++i) {
            const std::size_t at = indexOf(starts[i]);
            startsBefore.Raise(at, starts[i]);
            endsFrom.Lower(at, ExtensionHigh(family[i].els, k));
        }
        group = groupEnd;
    }
}

MemberRows RowsOf(const Els& els) {
    MemberRows rows;
    for (const std::int32_t h : RowLengths(els.skip)) {
        rows.rows[rows.count] = h;
        rows.ownDist[rows.count] =
            static_cast<std::int32_t>(CylinderDistance2(std::abs(els.skip), h));
        ++rows.count;
    }
    return rows;
}

// The positions, rows and columns of a sequence's letters on rows of h, in the order of their
// positions. Stepping by the skip's own row and column (floored, so the column step is 0..h-1)
// needs two divisions a sequence, not one a letter.
struct LetterGrid {
    std::array<std::int64_t, kMostLetters> position, row, column;
};

void PlaceLetters(const Els& els, std::int32_t k, std::int64_t h, LetterGrid& grid) {
    const std::int64_t first =
        els.skip < 0 ? els.start + std::int64_t{k - 1} * els.skip : std::int64_t{els.start};
    const std::int64_t skip = std::abs(std::int64_t{els.skip});
    std::int64_t row = first / h, column = first % h;
    const std::int64_t rowStep = skip / h, columnStep = skip % h;
    for (std::int32_t i = 0; i < k; ++i) {
        grid.position[i] = first + i * skip;
        grid.row[i] = row;
        grid.column[i] = column;
        row += rowStep;
        column += columnStep;
        if (column >= h) {
            column -= h;
            row += 1;
        }
    }
}

// dist2 of two letters from their rows and columns. With R rows and C columns apart, p' - p =
// R h + C; with C put into 0..h-1 (borrowing a row) that is a floored division. For p' >= p it
// gives r and q of dist2 itself. For p' < p, |p' - p| has r = -R - 1, q = h - C when C > 0,
// the same two candidates with their roles swapped; when C = 0 both directions give R^2. So
// neither the order of the two letters nor a division is needed.
std::int64_t LetterDistance(std::int64_t r, std::int64_t c, std::int64_t h) {
    const std::int64_t borrow = c < 0 ? 1 : 0;
    r -= borrow;
    c += borrow * h;
    const std::int64_t direct = r * r + c * c;
    const std::int64_t around = c == 0 ? direct : (r + 1) * (r + 1) + (h - c) * (h - c);
    return std::min(direct, around);
}

// The smallest m with m * m >= value (value >= 0).
std::int64_t CeilSqrt(std::int64_t value) {
    auto root = static_cast<std::int64_t>(std::sqrt(static_cast<double>(value)));
    while (root * root < value)
        ++root;
    while (root > 0 && (root - 1) * (root - 1) >= value)
        --root;
    return root;
}

// The smallest dist2 on rows of h between a letter of `a` (k1 letters) and one of `b` (k2).
// Letters whose rows are R apart are at least |R| - 1 full rows apart, so dist2 >= (|R| - 1)^2:
// once some pair gives `best`, only pairs with |R| <= CeilSqrt(best) can give less. The pair
// nearest in position gives a first `best`; since both rows run in ascending order, the letters
// of b within reach of each letter of a form a window that moves one way.
std::int64_t NearestLetters(const Els& a, std::int32_t k1, const Els& b, std::int32_t k2,
                            std::int64_t h) {
    LetterGrid gridA, gridB;
    PlaceLetters(a, k1, h, gridA);
    PlaceLetters(b, k2, h, gridB);
    std::int32_t nearI = 0, nearJ = 0;
    std::int64_t nearGap = std::numeric_limits<std::int64_t>::max();
    for (std::int32_t i = 0, j = 0; i < k1 && j < k2;) {
        const std::int64_t gap = gridB.position[j] - gridA.position[i];
        if (std::abs(gap) < nearGap) {
            nearGap = std::abs(gap);
            nearI = i;
            nearJ = j;
        }
        if (gap < 0)
            ++j;
        else
            ++i;
    }
    std::int64_t best = LetterDistance(gridB.row[nearJ] - gridA.row[nearI],
                                       gridB.column[nearJ] - gridA.column[nearI], h);
    std::int64_t reach = CeilSqrt(best);
    std::int32_t from = 0;
    for (std::int32_t i = 0; i < k1 && best > 0; ++i) {
        const std::int64_t rowA = gridA.row[i], columnA = gridA.column[i];
        while (from < k2 && gridB.row[from] < rowA - reach)
            ++from;
        for (std::int32_t j = from; j < k2 && gridB.row[j] <= rowA + reach; ++j) {
            const std::int64_t distance =
                LetterDistance(gridB.row[j] - rowA, gridB.column[j] - columnA, h);
            if (distance < best) {
                best = distance;
                reach = CeilSqrt(best);
            }
        }
    }
    return best;
}

// The nearest letters of a pair for each distinct row length of sigma: the row lengths of d and
// of d' repeat values often (small ones above all), and the letters' distance does not depend
// on which skip the row length came from.
class CNearestByRow {
  public:
    CNearestByRow(const Els& a, std::int32_t k1, const Els& b, std::int32_t k2)
        : a_(a), b_(b), k1_(k1), k2_(k2) {}

    std::int64_t At(std::int32_t h) {
        for (std::int32_t i = 0; i < count_; ++i) {
            if (rows_[i] == h) return values_[i];
        }
        const std::int64_t value = NearestLetters(a_, k1_, b_, k2_, h);
        rows_[count_] = h;
        values_[count_] = value;
        ++count_;
        return value;
    }

  private:
    Els a_, b_;
    std::int32_t k1_, k2_;
    std::int32_t count_ = 0;
    std::array<std::int32_t, 20> rows_{};
    std::array<std::int64_t, 20> values_{};
};

// sigma(e, e') = sum of 1/delta_h over the row lengths of d, then over those of d'.
double Sigma(const FamilyMember& e1, const MemberRows& rows1, std::int32_t k1,
             const FamilyMember& e2, const MemberRows& rows2, std::int32_t k2,
             std::int32_t deltaConstant) {
    const std::int32_t skip1 = std::abs(e1.els.skip), skip2 = std::abs(e2.els.skip);
    CNearestByRow nearest(e1.els, k1, e2.els, k2);
    double sigma = 0;
    for (std::int32_t i = 0; i < rows1.count; ++i) {
        const std::int32_t h = rows1.rows[i];
        const std::int64_t delta =
            rows1.ownDist[i] + CylinderDistance2(skip2, h) + nearest.At(h) + deltaConstant;
        sigma += 1.0 / static_cast<double>(delta);
    }
    for (std::int32_t i = 0; i < rows2.count; ++i) {
        const std::int32_t h = rows2.rows[i];
        const std::int64_t delta =
            CylinderDistance2(skip1, h) + rows2.ownDist[i] + nearest.At(h) + deltaConstant;
        sigma += 1.0 / static_cast<double>(delta);
    }
    return sigma;
}

double Omega(const WordFamilies& first, const WordFamilies& second, int triple, std::int32_t length,
             std::int32_t deltaConstant) {
    const auto& family1 = first.families[triple];
    const auto& family2 = second.families[triple];
    const std::int32_t k1 = LetterCount(first.word), k2 = LetterCount(second.word);
    double omega = 0;
    for (std::size_t i = 0; i < family1.size(); ++i) {
        const FamilyMember& e1 = family1[i];
        if (!e1.hasDomain) continue;
        for (std::size_t j = 0; j < family2.size(); ++j) {
            const FamilyMember& e2 = family2[j];
            if (!e2.hasDomain) continue;
            const std::int32_t overlap = std::min(e1.high, e2.high) - std::max(e1.low, e2.low) - 1;
            if (overlap <= 0) continue;
            const double sigma =
                Sigma(e1, first.rows[triple][i], k1, e2, second.rows[triple][j], k2, deltaConstant);
            omega += sigma * overlap / length;
        }
    }
    return omega;
}

}  // namespace

std::string CheckProximitySettings(const ProximitySettings& settings) {
    if (!(settings.expectedEls > 0) || !std::isfinite(settings.expectedEls))
        return "The expected number of sequences must be a number above 0.";
    if (settings.minLetters < 4)
        return "Words need at least 4 letters: the last three are perturbed.";
    if (settings.maxLetters < settings.minLetters)
        return "The most letters of a word must be at least the fewest.";
    if (settings.maxLetters > kMostLetters)
        return "Words of more than " + std::to_string(kMostLetters) + " letters are not measured.";
    if (settings.deltaConstant < kLowestDeltaConstant)
        return "The delta constant must be at least " + std::to_string(kLowestDeltaConstant) +
               ": below it a delta can be 0 or negative.";
    if (settings.minTriples < 1 || settings.minTriples > kTripleCount)
        return "The fewest valid triples must lie between 1 and " + std::to_string(kTripleCount) +
               ".";
    return {};
}

Triple TripleAt(int index) {
    return {index / 25 - 2, index / 5 % 5 - 2, index % 5 - 2};
}

int TripleIndex(const Triple& triple) {
    return (triple.x + 2) * 25 + (triple.y + 2) * 5 + (triple.z + 2);
}

CProximityText::CProximityText(std::string letters) : letters_(std::move(letters)) {
    for (std::size_t i = 0; i < letters_.size(); ++i) {
        positions_[static_cast<unsigned char>(letters_[i])].push_back(static_cast<std::int32_t>(i));
    }
}

std::int32_t CProximityText::Count(char code) const {
    return static_cast<std::int32_t>(Positions(code).size());
}

double CProximityText::Share(char code) const {
    return letters_.empty() ? 0.0 : double(Count(code)) / double(letters_.size());
}

const std::vector<std::int32_t>& CProximityText::Positions(char code) const {
    return positions_[static_cast<unsigned char>(code)];
}

WordFit CheckWord(std::string_view word, const ProximitySettings& settings) {
    if (LetterCount(word) < settings.minLetters) return WordFit::TooShort;
    if (LetterCount(word) > settings.maxLetters) return WordFit::TooLong;
    return WordFit::Fits;
}

std::string WordFitReason(std::string_view word, const ProximitySettings& settings) {
    const std::string letters = std::to_string(word.size());
    switch (CheckWord(word, settings)) {
        case WordFit::TooShort:
            return "has " + letters + " letters, fewer than " + std::to_string(settings.minLetters);
        case WordFit::TooLong:
            return "has " + letters + " letters, more than " + std::to_string(settings.maxLetters);
        case WordFit::Fits:
            break;
    }
    return {};
}

std::int32_t SkipLimit(const CProximityText& text, std::string_view word,
                       const ProximitySettings& settings) {
    const std::int64_t length = text.Length();
    const std::int64_t k = LetterCount(word);
    if (k < 2 || length < 1) return 0;
    const std::int64_t largest = (length - 1) / (k - 1);
    double product = 1;
    for (const char letter : word)
        product *= text.Share(letter);
    double expected = 0;
    for (std::int64_t d = 2; d <= largest; ++d) {
        expected += 2.0 * double(length - (k - 1) * d) * product;
        if (expected >= settings.expectedEls) return static_cast<std::int32_t>(d);
    }
    return static_cast<std::int32_t>(largest);
}

WordFamilies FindFamilies(const CProximityText& text, std::string_view word,
                          const ProximitySettings& settings) {
    WordFamilies out;
    out.word = std::string(word);
    out.skipLimit = SkipLimit(text, word, settings);
    out.textLength = text.Length();
    const std::int32_t k = LetterCount(word);
    if (k < 4 || k > kMostLetters || out.skipLimit < 2) return out;
    CFamilyFinder(text, word, out.skipLimit, out).Run();
    for (int t = 0; t < kTripleCount; ++t) {
        auto& family = out.families[t];
        std::sort(family.begin(), family.end(),
                  [k](const FamilyMember& left, const FamilyMember& right) {
                      return FamilyOrder(left, right, k);
                  });
        FindDomains(family, k, text.Length());
        out.rows[t].resize(family.size());
        for (std::size_t i = 0; i < family.size(); ++i) {
            if (family[i].hasDomain) out.rows[t][i] = RowsOf(family[i].els);
        }
    }
    return out;
}

PairResult CorrectedDistance(const CProximityText& text, const WordFamilies& first,
                             const WordFamilies& second, const ProximitySettings& settings) {
    PairResult result;
    result.skipLimit1 = first.skipLimit;
    result.skipLimit2 = second.skipLimit;
    for (int t = 0; t < kTripleCount; ++t) {
        if (first.families[t].empty() || second.families[t].empty()) continue;
        ++result.validTriples;
        result.omega[t] = Omega(first, second, t, text.Length(), settings.deltaConstant);
    }
    const auto& identity = result.omega[kIdentityTriple];
    if (!identity || result.validTriples < settings.minTriples) return result;
    result.defined = true;
    result.rank = 1;
    for (int t = 0; t < kTripleCount; ++t) {
        if (result.omega[t] && *result.omega[t] > *identity) ++result.rank;
    }
    result.c = double(result.rank) / double(result.validTriples);
    return result;
}

std::int64_t CylinderDistance2(std::int64_t delta, std::int64_t h) {
    const std::int64_t r = delta / h, q = delta % h;
    return std::min(r * r + q * q, (r + 1) * (r + 1) + (h - q) * (h - q));
}

std::vector<std::int32_t> RowLengths(std::int32_t skip) {
    // |d|/i + 1/2 = (2|d| + i) / 2i, floored.
    const std::int64_t magnitude = std::abs(std::int64_t{skip});
    std::vector<std::int32_t> rows;
    for (std::int64_t i = 1; i <= 10; ++i) {
        const std::int64_t h = (2 * magnitude + i) / (2 * i);
        if (h >= 1) rows.push_back(static_cast<std::int32_t>(h));
    }
    return rows;
}
