// What the Unicode Character Database says about the letters of the non-Latin alphabets. The
// tables are generated (tools/gen_unicode_tables.py); each is sorted by its first column.
#pragma once

#include <cstddef>

struct CodePointPair {
    char32_t first;
    char32_t second;
};

// Character -> the Hebrew letter it is once its points are gone (final forms stay final).
extern const CodePointPair kHebrewLetters[];
extern const std::size_t kHebrewLettersCount;
// Final form -> its ordinary letter.
extern const CodePointPair kHebrewFinals[];
extern const std::size_t kHebrewFinalsCount;
// Character -> the small Greek letter it is once marks and case are gone (any sigma is sigma).
extern const CodePointPair kGreekLetters[];
extern const std::size_t kGreekLettersCount;
// The 24 small letters -> their capitals.
extern const CodePointPair kGreekCapitals[];
extern const std::size_t kGreekCapitalsCount;
// Ranges (first, last) of nonspacing marks.
extern const CodePointPair kNonspacingMarks[];
extern const std::size_t kNonspacingMarksCount;
// Ranges (first, last) of the letters of every script (general category L).
extern const CodePointPair kLetters[];
extern const std::size_t kLettersCount;
