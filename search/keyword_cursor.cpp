#include "search/keyword_cursor.h"

#include <algorithm>

namespace {

// The largest |s| with |s| <= D, |s| * (n - 1) <= M and |s| * (n - 1) <= room; 0 when none.
std::int32_t SkipLimit(const SearchSettings& settings, std::int32_t n, std::int32_t room) {
    const std::int32_t span = std::min(settings.MaxResultLength, room);
    if (span <= 0 || settings.MaxDistanceBetweenLetters <= 0) return 0;
    return std::min(settings.MaxDistanceBetweenLetters, span / (n - 1));
}

}  // namespace

bool KeywordCursor::Reset(std::int32_t newStart, std::int32_t newEnd, std::int32_t n) {
    // 64-bit: newEnd - newStart + 1 overflows for the widest ranges.
    if (std::int64_t{newEnd} - newStart + 1 < n || settings->MaxResultLength < n) return false;
    start = newStart;
    end = newEnd;
    length = n;
    position = newStart;
    FirstSkip();
    return true;
}

std::int32_t KeywordCursor::MaxReverseSkip() const {
    if (!settings->AllowReverseKeywords) return 0;
    const std::int32_t limit = SkipLimit(*settings, length, position - start);
    return limit >= MinReverseSkip() ? limit : 0;
}

std::int32_t KeywordCursor::MaxForwardSkip() const {
    return SkipLimit(*settings, length, end - position);
}

bool KeywordCursor::FirstSkip() {
    skip = 0;
    if (length == 1) return true;
    if (const std::int32_t reverse = MaxReverseSkip(); reverse > 0) {
        skip = -reverse;
        return true;
    }
    if (MinForwardSkip() <= MaxForwardSkip()) {
        skip = MinForwardSkip();
        return true;
    }
    return false;
}

bool KeywordCursor::NextSkip() {
    if (length == 1 || skip == 0) return false;
    if (skip < -MinReverseSkip()) {
        ++skip;
        return true;
    }
    const std::int32_t next = skip < 0 ? MinForwardSkip() : skip + 1;
    if (next > MaxForwardSkip()) return false;
    skip = next;
    return true;
}
