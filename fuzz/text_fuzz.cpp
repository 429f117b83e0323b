// libFuzzer target: random bytes go through the UTF-8 reader and an alphabet as a document and
// as keywords. Never a crash; every letter of the search text is a letter the input holds,
// in order, and its place in the document moves forward with it.
//
// Input: byte 0 picks the alphabet (bits 0-1), keeping finals (bit 2) and ignoring numbers
// (bit 3); the rest is the document and the keyword text at once.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/alphabet.h"
#include "text/letter_places.h"
#include "text/utf8.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const AlphabetName names[] = {AlphabetName::Latin, AlphabetName::Hebrew, AlphabetName::Greek,
                                  AlphabetName::Hebrew};
    const CAlphabet alphabet(names[data[0] & 3], (data[0] & 4) != 0);
    const bool ignoreNumbers = (data[0] & 8) != 0;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

    std::string text;
    std::string errorText;
    const bool mapped = alphabet.MapDocument(input, ignoreNumbers, text, errorText);
    const std::size_t invalid = FindInvalidUtf8(input);
    if (alphabet.ReadsUtf8()) {
        Check(mapped == (invalid == std::string_view::npos));
        Check(mapped || text.empty());
    } else {
        Check(mapped);
    }

    // The letters, read one character at a time, are the search text; each spells one letter
    // of the alphabet or a digit, and reading that spelling again gives the same code.
    std::size_t letter = 0;
    std::size_t at = alphabet.ReadsUtf8() ? Utf8BomLength(input) : 0;
    while (mapped && at < input.size()) {
        const char code = alphabet.ReadCharacter(input, at, alphabet.ReadsUtf8(), ignoreNumbers);
        if (code == 0) continue;
        Check(letter < text.size() && text[letter] == code);
        ++letter;
        const std::string spelled(alphabet.Spell(code));
        std::string again;
        Check(alphabet.MapDocument(spelled, false, again, errorText));
        Check(again == std::string(1, code));
    }
    Check(!mapped || letter == text.size());

    if (mapped) {
        CLetterPlaces places(alphabet, input, ignoreNumbers);
        LetterPlace previous{0, 0};
        for (std::size_t i = 0; i < text.size(); ++i) {
            const LetterPlace place = places.Find(static_cast<std::int64_t>(i));
            Check(place.line >= 1 && place.column >= 1);
            Check(place.line > previous.line ||
                  (place.line == previous.line && place.column > previous.column));
            previous = place;
        }
        Check(places.Find(static_cast<std::int64_t>(text.size())).line == 0);
    }

    KeywordList keywords;
    if (alphabet.ReadKeywords(input, keywords, errorText)) {
        for (const std::string& keyword : keywords) {
            Check(!keyword.empty());
            std::string again;
            Check(alphabet.MapDocument(alphabet.Spell(keyword), false, again, errorText));
            // Latin keywords keep the case typed; the search upper-cases them.
            std::string searched = keyword;
            for (char& c : searched)
                c = ToUpperAscii(c);
            Check(again == searched);
        }
    } else {
        Check(alphabet.ReadsUtf8() && invalid != std::string_view::npos && keywords.empty());
    }
    return 0;
}
