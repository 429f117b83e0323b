#include "search/find_scanner.h"

#include <algorithm>

LetterIndex::LetterIndex(const char* text, std::int32_t textLength,
                         const std::array<bool, 256>& wanted) {
    // Counted first, so every list is allocated once at its final size.
    std::array<std::size_t, 256> counts{};
    for (std::int32_t i = 0; i < textLength; ++i)
        ++counts[static_cast<unsigned char>(text[i])];
    for (std::size_t c = 0; c < 256; ++c) {
        if (wanted[c]) occurrences_[c].reserve(counts[c]);
    }
    for (std::int32_t i = 0; i < textLength; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (wanted[c]) occurrences_[c].push_back(i);
    }
}

FindScanner::FindScanner(const char* text, const std::string& keyword, const LetterIndex& index,
                         const SearchSettings& settings)
    : text_(text),
      keyword_(keyword),
      length_(static_cast<std::int32_t>(keyword.size())),
      excludePlainWords_(settings.ExcludeWordsDirectlyFromText),
      allowReverse_(settings.AllowReverseKeywords),
      firsts_(index.Occurrences(keyword[0])),
      seconds_(index.Occurrences(keyword.size() > 1 ? keyword[1] : keyword[0])) {
    limits_.settings = &settings;
}

bool FindScanner::Reset(std::int32_t start, std::int32_t end) {
    if (!limits_.Reset(start, end, length_)) return false;
    position_ = start;
    nextFirst_ = std::lower_bound(firsts_.begin(), firsts_.end(), start) - firsts_.begin();
    endFirst_ =
        std::upper_bound(firsts_.begin() + nextFirst_, firsts_.end(), end) - firsts_.begin();
    windowLow_ = std::lower_bound(seconds_.begin(), seconds_.end(), start) - seconds_.begin();
    windowHigh_ = windowLow_;
    candidate_ = windowHigh_;
    return true;
}

// The skips valid at a position run from -MaxReverseSkip to +MaxForwardSkip, so the second
// letters that can follow lie in one window of the second letter's index. Both ends of that
// window only ever move up as the position rises (p - floor(room / (n - 1)) and
// p + floor(room / (n - 1)) never fall), so the window slides and is never searched for.
void FindScanner::EnterNextPosition() {
    position_ = firsts_[nextFirst_++];
    limits_.position = position_;
    const std::int32_t low =
        allowReverse_ ? position_ - limits_.MaxReverseSkip() : position_ + limits_.MinForwardSkip();
    const std::int32_t high = position_ + limits_.MaxForwardSkip();
    const std::size_t count = seconds_.size();
    while (windowLow_ < count && seconds_[windowLow_] < low)
        ++windowLow_;
    windowHigh_ = std::max(windowHigh_, windowLow_);
    while (windowHigh_ < count && seconds_[windowHigh_] <= high)
        ++windowHigh_;
    candidate_ = windowLow_;
}

bool FindScanner::OtherLettersMatch(std::int32_t skip) const {
    // Every letter lies inside the range, since the window honours the skip limits.
    const char* letter = text_ + position_ + std::ptrdiff_t{skip} * 2;
    for (std::int32_t i = 2; i < length_; ++i, letter += skip) {
        if (*letter != keyword_[i]) return false;
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
        while (candidate_ < windowHigh_) {
            const std::int32_t skip = seconds_[candidate_++] - position_;
            ++work;
            // Skip 0 comes up only when the first two letters are the same letter.
            if (skip == 0 || (skip == 1 && excludePlainWords_)) continue;
            if (OtherLettersMatch(skip)) {
                StoreFind(skip, letters);
                return ScanStep::Found;
            }
        }
        if (nextFirst_ >= endFirst_) return ScanStep::Exhausted;
        if (work >= workLimit) return ScanStep::Paused;
        EnterNextPosition();
        ++work;
    }
}
