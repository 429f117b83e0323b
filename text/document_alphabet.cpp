#include "text/document_alphabet.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

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
    std::uint64_t latin = 0;  // A-Z and a-z
    std::uint64_t hebrew = 0;
    std::uint64_t greek = 0;
    bool utf8 = true;  // the document was UTF-8 up to where it was counted
};

void CountCharacter(char32_t codePoint, LetterCounts& counts) {
    const bool hebrew = IsListed(kHebrewLetters, kHebrewLettersCount, codePoint);
    const bool greek = !hebrew && IsListed(kGreekLetters, kGreekLettersCount, codePoint);
    if (hebrew || greek || IsInRanges(kLetters, kLettersCount, codePoint)) ++counts.all;
    if (hebrew) ++counts.hebrew;
    if (greek) ++counts.greek;
}

// The letters of the document by script. A byte that is no UTF-8 ends the count when
// `stopAtInvalid`, and is otherwise a character that is no letter.
LetterCounts CountLetters(std::string_view document, bool stopAtInvalid) {
    LetterCounts counts;
    std::size_t at = Utf8BomLength(document);
    while (at < document.size()) {
        const auto byte = static_cast<unsigned char>(document[at]);
        // Most of a document is ASCII whatever its script: no decoding, no table.
        if (byte < 0x80) {
            if (IsAsciiLetter(byte)) {
                ++counts.all;
                ++counts.latin;
            }
            ++at;
            continue;
        }
        char32_t codePoint = 0;
        if (DecodeUtf8(document, at, codePoint)) {
            CountCharacter(codePoint, counts);
            continue;
        }
        counts.utf8 = false;
        if (stopAtInvalid) break;
        ++at;
    }
    return counts;
}

bool HasLetterOf(std::string_view document, const CAlphabet& alphabet) {
    const bool utf8 = alphabet.ReadsUtf8();
    std::size_t at = utf8 ? Utf8BomLength(document) : 0;
    while (at < document.size()) {
        if (alphabet.ReadCharacter(document, at, utf8, true) != 0) return true;
    }
    return false;
}

}  // namespace

AlphabetName DocumentAlphabet(std::string_view document) {
    const LetterCounts counts = CountLetters(document, true);
    if (!counts.utf8) return AlphabetName::Latin;
    if (counts.hebrew * 2 > counts.all) return AlphabetName::Hebrew;
    if (counts.greek * 2 > counts.all) return AlphabetName::Greek;
    return AlphabetName::Latin;
}

std::optional<AlphabetName> SuggestedAlphabet(std::string_view document,
                                              const CAlphabet& alphabet) {
    if (HasLetterOf(document, alphabet)) return std::nullopt;
    const LetterCounts counts = CountLetters(document, false);
    if (counts.hebrew * 2 > counts.all) return AlphabetName::Hebrew;
    if (counts.greek * 2 > counts.all) return AlphabetName::Greek;
    if (counts.latin * 2 > counts.all) return AlphabetName::Latin;
    return std::nullopt;
}
