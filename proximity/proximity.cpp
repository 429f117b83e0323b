#include "proximity/proximity.h"

#include <algorithm>
#include <bit>
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

// The letters of one code at every s-th position of the text, from each phase 0..s-1, as bits
// with `pad` zero bits on both sides, so a window of 2 * pad + 1 bits around any index of a
// phase can be read without bounds checks. Mirrored, position p counts as L - 1 - p. Widened
// by w, a position is set when the letter stands within w of it.
class CStridedBits {
  public:
    CStridedBits(const CProximityText& text, char code, std::int32_t stride, bool mirrored,
                 std::int32_t widen, std::int32_t pad)
        : stride_(stride), pad_((pad + 63) / 64 * 64) {
        const std::int32_t length = text.Length();
        const std::int64_t phaseBits = (length + stride - 1) / stride;
        // Two words more than the bits: a window's last word is read with the one after it.
        phaseWords_ = static_cast<std::size_t>((2 * pad_ + phaseBits + 63) / 64 + 2);
        bits_.assign(phaseWords_ * static_cast<std::size_t>(stride), 0);
        for (const std::int32_t letter : text.Positions(code)) {
            const std::int32_t from = std::max(0, letter - widen);
            const std::int32_t to = std::min(length - 1, letter + widen);
            for (std::int32_t p = from; p <= to; ++p) {
                const std::int32_t at = mirrored ? length - 1 - p : p;
                const std::int64_t bit = pad_ + at / stride;
                bits_[static_cast<std::size_t>(at % stride) * phaseWords_ +
                      static_cast<std::size_t>(bit >> 6)] |= std::uint64_t{1} << (bit & 63);
            }
        }
    }

    // Where the window of the letter at `position` + stride * d starts, for d = -pad...: a bit
    // index into Word's numbering.
    std::int64_t WindowStart(std::int32_t position, std::int32_t pad) const {
        return static_cast<std::int64_t>(position % stride_) * std::int64_t(phaseWords_) * 64 +
               pad_ + position / stride_ - pad;
    }
    const std::uint64_t* Data() const { return bits_.data(); }

  private:
    std::int32_t stride_;
    std::int64_t pad_;
    std::size_t phaseWords_ = 0;
    std::vector<std::uint64_t> bits_;
};

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

    // From each occurrence a of the rarest unperturbed letter (index i), the skips d at which
    // every other unperturbed letter j reads: the letter at a + (j - i) d. Over d = -D..D those
    // positions are consecutive bits of the text's letters taken every |j - i|-th position (read
    // backwards from the end of the text when j < i), so 64 skips are tested at once.
    void Run() {
        const std::int32_t fixed = k_ - 3;
        std::int32_t anchor = 0;
        for (std::int32_t c = 1; c < fixed; ++c) {
            if (proximityText_.Count(word_[c]) < proximityText_.Count(word_[anchor])) anchor = c;
        }
        // The other unperturbed letters, and the first perturbed one anywhere within its +-2.
        struct Other {
            std::int64_t weight;  // the positions it sets
            std::int32_t offset;
            CStridedBits bits;
        };
        std::vector<Other> others;
        const auto add = [&](std::int32_t j, std::int32_t widen) {
            const std::int32_t offset = j - anchor;
            others.push_back({std::int64_t{proximityText_.Count(word_[j])} * (2 * widen + 1),
                              offset,
                              CStridedBits(proximityText_, word_[j], std::abs(offset), offset < 0,
                                           widen, skipLimit_)});
        };
        for (std::int32_t j = 0; j < fixed; ++j) {
            if (j != anchor) add(j, 0);
        }
        add(fixed, 2);
        // The sparsest first: the fewer skips survive it, the fewer the last pass tests.
        std::sort(others.begin(), others.end(),
                  [](const Other& left, const Other& right) { return left.weight < right.weight; });
        const std::int64_t limit = skipLimit_;
        std::vector<std::uint64_t> reads(static_cast<std::size_t>((2 * limit + 1 + 63) / 64));
        std::vector<const std::uint64_t*> words(others.size());
        std::vector<unsigned> shifts(others.size());
        const std::int64_t before = anchor, after = k_ - 1 - anchor;
        for (const std::int32_t a : proximityText_.Positions(word_[anchor])) {
            // The skips that keep the first letter (a - anchor d) and the last (a + after d) in
            // the text.
            std::int64_t low = -limit, high = limit;
            if (before > 0) {
                high = std::min(high, a / before);
                low = std::max(low, -((length_ - 1 - a) / before));
            }
            if (after > 0) {
                high = std::min(high, (length_ - 1 - a) / after);
                low = std::max(low, -(a / after));
            }
            if (low > high) continue;
            // Bit b of chunk c stands for the skip 64 c + b - limit.
            const auto first = static_cast<std::size_t>((low + limit) / 64);
            const auto last = static_cast<std::size_t>((high + limit) / 64);
            for (std::size_t o = 0; o < others.size(); ++o) {
                const std::int32_t from = others[o].offset > 0 ? a : length_ - 1 - a;
                const std::int64_t start = others[o].bits.WindowStart(from, skipLimit_);
                words[o] = others[o].bits.Data() + (start >> 6);
                shifts[o] = static_cast<unsigned>(start & 63);
            }
            // (x << 1) << (63 - shift) is x << (64 - shift) without shifting by 64.
            const auto window = [&](std::size_t o, std::size_t c) {
                return (words[o][c] >> shifts[o]) | ((words[o][c + 1] << 1) << (63 - shifts[o]));
            };
            const std::size_t lastOther = others.size() - 1;
            if (lastOther > 0) {
                for (std::size_t c = first; c <= last; ++c)
                    reads[c] = window(0, c);
                for (std::size_t o = 1; o < lastOther; ++o) {
                    for (std::size_t c = first; c <= last; ++c)
                        reads[c] &= window(o, c);
                }
            }
            for (std::size_t c = first; c <= last; ++c) {
                std::uint64_t word = window(lastOther, c);
                if (lastOther > 0) word &= reads[c];
                for (; word != 0; word &= word - 1) {
                    const std::int64_t d = std::int64_t(c) * 64 + std::countr_zero(word) - limit;
                    // Within low..high both ends lie in the text, and every unperturbed letter
                    // reads: the sequence is a candidate as it stands.
                    if (d >= low && d <= high && (d >= 2 || d <= -2)) {
                        const auto skip = static_cast<std::int32_t>(d);
                        AddPerturbations(Els{a - anchor * skip, skip});
                    }
                }
            }
        }
    }

  private:
    bool Reads(std::int64_t position, std::int32_t letter) const {
        return position >= 0 && position < length_ && text_[position] == word_[letter];
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

// The distances |a - b| between every letter a of one sequence and every letter b of another,
// ascending, and from them the smallest dist2 on rows of h. dist2(delta, h) is at least r^2 for
// r = floor(delta / h), and among the distances with the same r the smallest is that of the
// least or the greatest of them (r^2 + q^2 grows with q, (r + 1)^2 + (h - q)^2 falls). So it
// takes two distances of each run of equal r, and none after the runs whose r^2 reaches the
// best so far.
class CLetterGaps {
  public:
    void Set(const Els& a, std::int32_t k1, const Els& b, std::int32_t k2) {
        const std::int64_t firstA = a.skip < 0 ? a.start + std::int64_t{k1 - 1} * a.skip : a.start;
        const std::int64_t firstB = b.skip < 0 ? b.start + std::int64_t{k2 - 1} * b.skip : b.start;
        const std::int64_t skipA = std::abs(a.skip), skipB = std::abs(b.skip);
        gaps_.clear();
        for (std::int32_t i = 0; i < k1; ++i) {
            for (std::int32_t j = 0; j < k2; ++j)
                gaps_.push_back(
                    static_cast<std::uint32_t>(std::abs(firstB + j * skipB - firstA - i * skipA)));
        }
        std::sort(gaps_.begin(), gaps_.end());
        rowCount_ = 0;
    }

    // The smallest dist2 on rows of h between a letter of one sequence and one of the other;
    // remembered for the row lengths of the pair, which repeat.
    std::int64_t Nearest(std::int32_t h) {
        for (std::int32_t i = 0; i < rowCount_; ++i) {
            if (rows_[i] == h) return nearest_[i];
        }
        // Distances and row lengths are below 2^31: 32-bit divisions, 64-bit squares.
        const auto row = static_cast<std::uint32_t>(h);
        std::int64_t best = std::numeric_limits<std::int64_t>::max();
        const std::size_t count = gaps_.size();
        for (std::size_t i = 0; i < count && best > 0;) {
            const std::uint32_t r = gaps_[i] / row;
            if (std::int64_t{r} * r >= best) break;
            const std::uint32_t rowStart = r * row, nextRow = rowStart + row;
            std::size_t last = i;
            while (last + 1 < count && gaps_[last + 1] < nextRow)
                ++last;
            best = std::min(best, Distance2(r, gaps_[i] - rowStart, row));
            if (last != i) best = std::min(best, Distance2(r, gaps_[last] - rowStart, row));
            i = last + 1;
        }
        rows_[rowCount_] = h;
        nearest_[rowCount_] = best;
        ++rowCount_;
        return best;
    }

  private:
    // dist2 of r rows and q columns on rows of h.
    static std::int64_t Distance2(std::int64_t r, std::int64_t q, std::int64_t h) {
        return std::min(r * r + q * q, (r + 1) * (r + 1) + (h - q) * (h - q));
    }

    std::vector<std::uint32_t> gaps_;
    std::int32_t rowCount_ = 0;
    std::array<std::int32_t, 20> rows_{};
    std::array<std::int64_t, 20> nearest_{};
};

// sigma(e, e') = sum of 1/delta_h over the row lengths of d, then over those of d'.
double Sigma(const FamilyMember& e1, const MemberRows& rows1, std::int32_t k1,
             const FamilyMember& e2, const MemberRows& rows2, std::int32_t k2,
             std::int32_t deltaConstant, CLetterGaps& nearest) {
    const std::int32_t skip1 = std::abs(e1.els.skip), skip2 = std::abs(e2.els.skip);
    nearest.Set(e1.els, k1, e2.els, k2);
    double sigma = 0;
    for (std::int32_t i = 0; i < rows1.count; ++i) {
        const std::int32_t h = rows1.rows[i];
        const std::int64_t delta =
            rows1.ownDist[i] + CylinderDistance2(skip2, h) + nearest.Nearest(h) + deltaConstant;
        sigma += 1.0 / static_cast<double>(delta);
    }
    for (std::int32_t i = 0; i < rows2.count; ++i) {
        const std::int32_t h = rows2.rows[i];
        const std::int64_t delta =
            CylinderDistance2(skip1, h) + rows2.ownDist[i] + nearest.Nearest(h) + deltaConstant;
        sigma += 1.0 / static_cast<double>(delta);
    }
    return sigma;
}

double Omega(const WordFamilies& first, const WordFamilies& second, int triple, std::int32_t length,
             std::int32_t deltaConstant) {
    const auto& family1 = first.families[triple];
    const auto& family2 = second.families[triple];
    const std::int32_t k1 = LetterCount(first.word), k2 = LetterCount(second.word);
    CLetterGaps nearest;
    double omega = 0;
    for (std::size_t i = 0; i < family1.size(); ++i) {
        const FamilyMember& e1 = family1[i];
        if (!e1.hasDomain) continue;
        for (std::size_t j = 0; j < family2.size(); ++j) {
            const FamilyMember& e2 = family2[j];
            if (!e2.hasDomain) continue;
            const std::int32_t overlap = std::min(e1.high, e2.high) - std::max(e1.low, e2.low) - 1;
            if (overlap <= 0) continue;
            const double sigma = Sigma(e1, first.rows[triple][i], k1, e2, second.rows[triple][j],
                                       k2, deltaConstant, nearest);
            omega += sigma * overlap / length;
        }
    }
    return omega;
}

}  // namespace

std::string CheckProximitySettings(const ProximitySettings& settings) {
    if (!(settings.expectedEls > 0) || !std::isfinite(settings.expectedEls))
        return "The expected number of sequences must be a number above 0.";
    if (settings.minLetters < kFewestLetters)
        return "Words need at least " + std::to_string(kFewestLetters) +
               " letters: the last three are perturbed.";
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
