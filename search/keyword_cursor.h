// The search state of one keyword: its range, its first-letter index and its skip.
#pragma once

#include <algorithm>
#include <cstdint>

#include "search/search_settings.h"

struct KeywordCursor {
    std::int32_t start = 0;     // lowest text index any letter may occupy; never negative
    std::int32_t end = -1;      // highest text index any letter may occupy
    std::int32_t length = 0;    // the keyword's letter count n
    std::int32_t position = 0;  // index of the first letter now tried
    std::int32_t skip = 0;      // skip now tried; 0 with n >= 2 means "no valid skip here"
    const SearchSettings* settings = nullptr;

    // Takes the range when it can hold the keyword (end - start + 1 >= n and the result length
    // allows n letters), puts the position at start and applies FirstSkip. Unchanged on failure.
    bool Reset(std::int32_t newStart, std::int32_t newEnd, std::int32_t n);

    // The smallest valid skip at the current position; false (skip 0) when there is none.
    // A one-letter keyword has the single skip 0.
    bool FirstSkip();

    // The next larger valid skip; false, leaving the cursor unchanged, when there is none.
    bool NextSkip();

    // Whether `skip` is a valid skip at the current position.
    bool HasValidSkip() const { return length == 1 || skip != 0; }

    // The largest valid |skip| on each side of the current position (0 when none, or when it
    // is below the smallest allowed), and the smallest valid |skip| on each side.
    std::int32_t MaxReverseSkip() const;
    std::int32_t MaxForwardSkip() const;
    std::int32_t MinReverseSkip() const { return MinAbsoluteSkip(*settings); }
    std::int32_t MinForwardSkip() const {
        return std::max(MinAbsoluteSkip(*settings), settings->ExcludeWordsDirectlyFromText ? 2 : 1);
    }
};
