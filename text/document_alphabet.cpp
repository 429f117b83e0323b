#include "text/document_alphabet.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "search/text_input.h"
#include "text/unicode_tables.h"
#include "text/utf8.h"

namespace {

// Whether `codePoint` is the first column of one of the pairs (sorted by it).
bool IsListed(const CodePointPair* table, std::size_t count, char32_t codePoint) {
    const CodePointPair* end = table + count;
    const CodePointPair* found = std::lower_bound(
        table, end, codePoint,
        [](const CodePointPair& pair, char32_t value) { return pair.first < value; });
    return found != end && found->first == codePoint;
}

// Whether `codePoint` lies in one of the ranges (first, last), sorted and apart.
bool IsInRanges(const CodePointPair* ranges, std::size_t count, char32_t codePoint) {
    const CodePointPair* end = ranges + count;
    const CodePointPair* range = std::upper_bound(
        ranges, end, codePoint,
        [](char32_t value, const CodePointPair& pair) { return value < pair.first; });
    return range != ranges && codePoint <= (range - 1)->second;
}

struct LetterCounts {
    std::uint64_t all = 0;
    std::uint64_t hebrew = 0;
    std::uint64_t greek = 0;
};

void CountCharacter(char32_t codePoint, LetterCounts& counts) {
    const bool hebrew = IsListed(kHebrewLetters, kHebrewLettersCount, codePoint);
    const bool greek = !hebrew && IsListed(kGreekLetters, kGreekLettersCount, codePoint);
    if (hebrew || greek || IsInRanges(kLetters, kLettersCount, codePoint)) ++counts.all;
    if (hebrew) ++counts.hebrew;
    if (greek) ++counts.greek;
}

}  // namespace

AlphabetName DocumentAlphabet(std::string_view document) {
    LetterCounts counts;
    std::size_t at = Utf8BomLength(document);
    while (at < document.size()) {
        const auto byte = static_cast<unsigned char>(document[at]);
        // Most of a document is ASCII whatever its script: no decoding, no table.
        if (byte < 0x80) {
            if (IsAsciiLetter(byte)) ++counts.all;
            ++at;
            continue;
        }
        char32_t codePoint = 0;
        if (!DecodeUtf8(document, at, codePoint)) return AlphabetName::Latin;
        CountCharacter(codePoint, counts);
    }
    if (counts.hebrew * 2 > counts.all) return AlphabetName::Hebrew;
    if (counts.greek * 2 > counts.all) return AlphabetName::Greek;
    return AlphabetName::Latin;
}
