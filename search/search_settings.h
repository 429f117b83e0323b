// The values that steer one search.
#pragma once

#include <cstdint>

struct SearchSettings {
    // Negative skips are allowed: a keyword may be spelled right to left.
    bool AllowReverseKeywords = true;
    // The skip +1 is never used, so a keyword standing in the text as a plain word is no find.
    bool ExcludeWordsDirectlyFromText = false;
    // Narrowest and widest grid width tried for a result (widest first).
    std::int32_t MinColumnWidth = 10;
    std::int32_t MaxColumnWidth = 100;
    // The highest letter of a result lies at most this many positions above its lowest letter.
    std::int32_t MaxResultLength = 1000;
    // The greatest absolute skip between consecutive letters of a keyword.
    std::int32_t MaxDistanceBetweenLetters = 500;
    // The smallest absolute skip between consecutive letters of a keyword: 2 leaves out every
    // keyword standing in the text as a plain word, in either direction. 1 allows every skip.
    std::int32_t MinSkip = 1;
};

// The smallest |skip| a search tries: MinSkip, and never below 1.
inline std::int32_t MinAbsoluteSkip(const SearchSettings& settings) {
    return settings.MinSkip > 1 ? settings.MinSkip : 1;
}
