#include "search/find_scanner.h"

#include <algorithm>
#include <array>
#include <bit>

namespace {

// The 64 bits of a phase from a word at a bit place; (next << 1) << (63 - shift) is
// next << (64 - shift), and 0 when shift is 0.
inline std::uint64_t Bits(const std::uint64_t* word, unsigned shift) {
    return (word[0] >> shift) | ((word[1] << 1) << (63 - shift));
}

}  // namespace

FindScanner::FindScanner(const char* text, const std::string& keyword, const LetterIndex& index,
                         const SearchSettings& settings)
    : text_(text),
      keyword_(keyword),
      length_(static_cast<std::int32_t>(keyword.size())),
      leftOutFrom_(1 - std::int64_t{MinAbsoluteSkip(settings)}),
      leftOutTo_(std::max<std::int64_t>(MinAbsoluteSkip(settings) - 1,
                                        settings.ExcludeWordsDirectlyFromText ? 1 : 0)),
      allowReverse_(settings.AllowReverseKeywords),
      firsts_(index.Occurrences(keyword[0])),
      compareFrom_(std::min(static_cast<std::int32_t>(keyword.size()), index.BitmapLetters() + 1)),
      scan_(ChosenCandidateScan()) {
    for (std::int32_t i = 1; i < compareFrom_; ++i)
        tested_.push_back({&index.Bitmap(keyword[i], i), i});
    // The rarest letter first: a chunk is given up as soon as no skip is left in it.
    std::stable_sort(tested_.begin(), tested_.end(), [](const auto& a, const auto& b) {
        return a.bitmap->Count() < b.bitmap->Count();
    });
    limits_.settings = &settings;
}

bool FindScanner::Reset(std::int32_t start, std::int32_t end) {
    if (!limits_.Reset(start, end, length_)) return false;
    position_ = start;
    nextFirst_ = std::lower_bound(firsts_.begin(), firsts_.end(), start) - firsts_.begin();
    endFirst_ =
        std::upper_bound(firsts_.begin() + nextFirst_, firsts_.end(), end) - firsts_.begin();
    chunk_ = 0;
    lastSkip_ = -1;
    matches_ = 0;
    return true;
}

void FindScanner::KeepPositions(std::int32_t from, std::int32_t to) {
    const auto begin = firsts_.begin();
    nextFirst_ =
        std::max<std::size_t>(nextFirst_, std::lower_bound(begin, firsts_.end(), from) - begin);
    endFirst_ =
        std::min<std::size_t>(endFirst_, std::upper_bound(begin, firsts_.end(), to) - begin);
    endFirst_ = std::max(endFirst_, nextFirst_);
    position_ = std::max(position_, from);
}

// The valid skips at a position run from -MaxReverseSkip (or the smallest forward skip) to
// +MaxForwardSkip, as KeywordCursor counts them; they are taken in chunks of 64.
void FindScanner::EnterNextPosition() {
    position_ = firsts_[nextFirst_++];
    limits_.position = position_;
    chunk_ = allowReverse_ ? -std::int64_t{limits_.MaxReverseSkip()} : limits_.MinForwardSkip();
    lastSkip_ = limits_.MaxForwardSkip();
    chunkIndex_ = 0;
    if (chunk_ > lastSkip_) {
        matches_ = 0;
        return;
    }
    // The letter `stride` at skip s of p = stride * a + r is bit a + s of phase r; a + s >= 0
    // for every valid skip, since the letter then lies inside the range.
    for (std::size_t t = 0; t < tested_.size(); ++t) {
        const std::int32_t stride = tested_[t].stride;
        const std::int64_t bit = position_ / stride + chunk_;
        words_[t] = tested_[t].bitmap->Phase(position_ % stride) + (bit >> 6);
        shifts_[t] = static_cast<unsigned>(bit & 63);
    }
    matches_ = ChunkMatches();
}

// The skips chunk_ .. chunk_ + 63 (up to lastSkip_) at which every tested letter matches.
std::uint64_t FindScanner::ChunkMatches() const {
    std::uint64_t matches = ~std::uint64_t{0};
    for (std::size_t t = 0; t < tested_.size(); ++t) {
        matches &= Bits(words_[t] + chunkIndex_, shifts_[t]);
        if (!matches) return 0;
    }
    const std::int64_t span = lastSkip_ - chunk_;
    if (span < 63) matches &= (std::uint64_t{1} << (span + 1)) - 1;
    // Skip 0 is no skip (it shows up when the first two letters are the same letter); skips
    // below the smallest allowed, and +1 when plain words of the text are excluded, are left out.
    const std::int64_t from = std::max(leftOutFrom_, chunk_);
    const std::int64_t to = std::min(leftOutTo_, chunk_ + 63);
    if (from <= to) {
        const std::int64_t bits = to - from + 1;
        const std::uint64_t stretch =
            bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
        matches &= ~(stretch << (from - chunk_));
    }
    return matches;
}

// The first chunk in from..to-1 in which all tested letters match at some skip, not minding the
// range's last skip or the left-out skips; `to` when there is none. This is where the search
// spends its time: the kernel tests up to three letters together, and a fourth is looked at only
// where those three leave a candidate.
std::size_t FindScanner::NextCandidateChunk(std::size_t from, std::size_t to) const {
    const std::size_t tested = tested_.size();
    ScanLetters letters;
    letters.count = static_cast<int>(std::min<std::size_t>(tested, 3));
    for (int t = 0; t < letters.count; ++t) {
        letters.words[t] = words_[static_cast<std::size_t>(t)];
        letters.shifts[t] = shifts_[static_cast<std::size_t>(t)];
    }
    for (;;) {
        const std::size_t k = scan_(letters, from, to);
        if (k >= to || tested <= 3) return k;
        std::uint64_t matches = ~std::uint64_t{0};
        for (std::size_t t = 0; matches && t < tested; ++t)
            matches &= Bits(words_[t] + k, shifts_[t]);
        if (matches) return k;
        from = k + 1;
    }
}

bool FindScanner::LaterLettersMatch(std::int32_t skip) const {
    // Every letter lies inside the range, since the skip honours the limits. Indexes, not a
    // stepped pointer: a pointer stepped past the last letter could leave the text.
    for (std::int32_t i = compareFrom_; i < length_; ++i) {
        if (text_[position_ + std::int64_t{skip} * i] != keyword_[i]) return false;
    }
    return true;
}

void FindScanner::StoreFind(std::int32_t skip, LetterPositions& letters) const {
    const std::int64_t n = length_;
    for (std::int64_t i = 0; i < n; ++i)
        letters[skip > 0 ? i : n - 1 - i] = position_ + i * skip;
}

ScanStep FindScanner::Next(LetterPositions& letters, std::int32_t workLimit) {
    if (length_ == 1) {
        if (nextFirst_ >= endFirst_) return ScanStep::Exhausted;
        position_ = firsts_[nextFirst_++];
        letters[0] = position_;
        return ScanStep::Found;
    }
    std::int32_t work = 0;
    for (;;) {
        while (matches_) {
            const auto skip = static_cast<std::int32_t>(chunk_ + std::countr_zero(matches_));
            matches_ &= matches_ - 1;
            if (LaterLettersMatch(skip)) {
                StoreFind(skip, letters);
                return ScanStep::Found;
            }
        }
        while (!matches_ && chunk_ + 64 <= lastSkip_) {
            const auto lastChunk =
                chunkIndex_ + static_cast<std::size_t>((lastSkip_ - chunk_) / 64);
            const std::size_t next = NextCandidateChunk(chunkIndex_ + 1, lastChunk + 1);
            const std::size_t chunk = std::min(next, lastChunk);
            work += static_cast<std::int32_t>(chunk - chunkIndex_);
            chunk_ += 64 * static_cast<std::int64_t>(chunk - chunkIndex_);
            chunkIndex_ = chunk;
            if (next > lastChunk) break;  // no candidate left at this position
            matches_ = ChunkMatches();
        }
        if (matches_) continue;
        if (nextFirst_ >= endFirst_) return ScanStep::Exhausted;
        if (work >= workLimit) return ScanStep::Paused;
        EnterNextPosition();
        ++work;
    }
}
