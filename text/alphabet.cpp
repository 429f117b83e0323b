#include "text/alphabet.h"

#include <algorithm>

#include "text/unicode_tables.h"
#include "text/utf8.h"

namespace {

constexpr unsigned char kFirstCode = 0x80;

char32_t FinalToOrdinary(char32_t letter) {
    for (std::size_t i = 0; i < kHebrewFinalsCount; ++i) {
        if (kHebrewFinals[i].first == letter) return kHebrewFinals[i].second;
    }
    return letter;
}

std::string InvalidUtf8Message(const char* what, std::size_t offset) {
    return std::string(what) + " not valid UTF-8: the bytes at offset " + std::to_string(offset) +
           " are no character.";
}

}  // namespace

bool IsNonspacingMark(char32_t codePoint) {
    const CodePointPair* end = kNonspacingMarks + kNonspacingMarksCount;
    const CodePointPair* range = std::upper_bound(
        kNonspacingMarks, end, codePoint,
        [](char32_t value, const CodePointPair& pair) { return value < pair.first; });
    return range != kNonspacingMarks && codePoint <= (range - 1)->second;
}

bool ParseAlphabetName(std::string_view text, AlphabetName& name) {
    if (text == "latin") {
        name = AlphabetName::Latin;
    } else if (text == "hebrew") {
        name = AlphabetName::Hebrew;
    } else if (text == "greek") {
        name = AlphabetName::Greek;
    } else {
        return false;
    }
    return true;
}

const char* AlphabetNameText(AlphabetName name) {
    switch (name) {
        case AlphabetName::Hebrew:
            return "hebrew";
        case AlphabetName::Greek:
            return "greek";
        case AlphabetName::Latin:
            break;
    }
    return "latin";
}

CAlphabet::CAlphabet(AlphabetName name, bool keepFinals) : name_(name) {
    if (name == AlphabetName::Latin) {
        for (char c = 'A'; c <= 'Z'; ++c)
            letters_.emplace_back(1, c);
        return;
    }
    // Each character maps to a letter; the letters, in code point order, get the codes.
    std::vector<std::pair<char32_t, char32_t>> characters;
    if (name == AlphabetName::Hebrew) {
        for (std::size_t i = 0; i < kHebrewLettersCount; ++i) {
            const char32_t letter = kHebrewLetters[i].second;
            characters.emplace_back(kHebrewLetters[i].first,
                                    keepFinals ? letter : FinalToOrdinary(letter));
        }
    } else {
        for (std::size_t i = 0; i < kGreekLettersCount; ++i)
            characters.emplace_back(kGreekLetters[i].first, kGreekLetters[i].second);
    }
    std::vector<char32_t> letters;
    for (const auto& character : characters)
        letters.push_back(character.second);
    std::sort(letters.begin(), letters.end());
    letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
    for (const char32_t letter : letters) {
        char32_t shown = letter;
        for (std::size_t i = 0; i < kGreekCapitalsCount; ++i) {
            if (name == AlphabetName::Greek && kGreekCapitals[i].first == letter)
                shown = kGreekCapitals[i].second;
        }
        std::string text;
        AppendUtf8(text, shown);
        letters_.push_back(text);
    }

    // One dense table over the span of the characters: a lookup per character keeps the mapping
    // of a long document a small part of its search.
    firstCodePoint_ = characters.front().first;
    const char32_t last = characters.back().first;
    codes_.assign(last - firstCodePoint_ + 1, 0);
    for (const auto& [character, letter] : characters) {
        const auto index =
            std::lower_bound(letters.begin(), letters.end(), letter) - letters.begin();
        codes_[character - firstCodePoint_] = static_cast<unsigned char>(kFirstCode + index);
    }
    twoByteCodes_.assign(0x800, 0);
    for (char32_t c = 0x80; c < 0x800; ++c)
        twoByteCodes_[c] = static_cast<unsigned char>(CodeOf(c));
}

char CAlphabet::LetterCode(std::size_t index) const {
    const std::size_t first = name_ == AlphabetName::Latin ? 'A' : kFirstCode;
    return static_cast<char>(first + index);
}

char CAlphabet::CodeOf(char32_t codePoint) const {
    if (codePoint < firstCodePoint_ || codePoint - firstCodePoint_ >= codes_.size()) return 0;
    return static_cast<char>(codes_[codePoint - firstCodePoint_]);
}

char CAlphabet::ReadCharacter(std::string_view text, std::size_t& at, bool utf8,
                              bool ignoreNumbers) const {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80 || !utf8) {
        ++at;
        if (IsAsciiDigit(byte)) return ignoreNumbers ? 0 : static_cast<char>(byte);
        if (name_ == AlphabetName::Latin && IsAsciiLetter(byte))
            return ToUpperAscii(static_cast<char>(byte));
        return 0;
    }
    char32_t codePoint = 0;
    if (!DecodeUtf8(text, at, codePoint)) {
        ++at;
        return 0;
    }
    return CodeOf(codePoint);
}

bool CAlphabet::MapDocument(std::string_view document, bool ignoreNumbers, std::string& text,
                            std::string& errorText) const {
    if (name_ == AlphabetName::Latin) {
        text.assign(document);
        NormaliseText(text, ignoreNumbers);
        return true;
    }
    // No more letters than bytes; the text is cut to its letters at the end.
    text.assign(document.size(), '\0');
    std::size_t kept = 0;
    std::size_t at = Utf8BomLength(document);
    const auto* bytes = reinterpret_cast<const unsigned char*>(document.data());
    while (at < document.size()) {
        const unsigned char lead = bytes[at];
        char code = 0;
        // Blanks and two-byte letters are nearly all of a Hebrew or Greek text.
        if (lead < 0x80) {
            ++at;
            if (!ignoreNumbers && IsAsciiDigit(lead)) code = static_cast<char>(lead);
        } else if (lead >= 0xC2 && lead <= 0xDF && at + 1 < document.size() &&
                   (bytes[at + 1] & 0xC0) == 0x80) {
            code = static_cast<char>(twoByteCodes_[(lead & 0x1Fu) << 6 | (bytes[at + 1] & 0x3Fu)]);
            at += 2;
        } else {
            char32_t codePoint = 0;
            if (!DecodeUtf8(document, at, codePoint)) {
                errorText = InvalidUtf8Message("The document is", at);
                text.clear();
                return false;
            }
            code = CodeOf(codePoint);
        }
        if (code != 0) text[kept++] = code;
    }
    text.resize(kept);
    return true;
}

std::vector<std::int32_t> CAlphabet::WordLengths(std::string_view document,
                                                 bool ignoreNumbers) const {
    std::vector<std::int32_t> lengths;
    std::int32_t current = 0;
    const bool utf8 = ReadsUtf8();
    std::size_t at = utf8 ? Utf8BomLength(document) : 0;
    while (at < document.size()) {
        const std::size_t start = at;
        if (ReadCharacter(document, at, utf8, ignoreNumbers) != 0) {
            ++current;
            continue;
        }
        char32_t codePoint = 0;
        std::size_t next = start;
        const bool mark =
            utf8 && DecodeUtf8(document, next, codePoint) && IsNonspacingMark(codePoint);
        if (!mark && current > 0) {
            lengths.push_back(current);
            current = 0;
        }
    }
    if (current > 0) lengths.push_back(current);
    return lengths;
}

bool CAlphabet::ReadKeywords(std::string_view keywordText, KeywordList& keywords,
                             std::string& errorText) const {
    keywords.clear();
    if (name_ == AlphabetName::Latin) {
        keywords = ::ReadKeywords(keywordText);
        return true;
    }
    std::string current;
    auto finish = [&] {
        if (!current.empty()) keywords.push_back(std::move(current));
        current.clear();
    };
    std::size_t at = Utf8BomLength(keywordText);
    while (at < keywordText.size()) {
        const std::size_t start = at;
        char32_t codePoint = 0;
        if (!DecodeUtf8(keywordText, at, codePoint)) {
            errorText = InvalidUtf8Message("The keywords are", start);
            keywords.clear();
            return false;
        }
        const char code = codePoint < 0x80 && IsAsciiDigit(static_cast<unsigned char>(codePoint))
                              ? static_cast<char>(codePoint)
                              : CodeOf(codePoint);
        if (code != 0) {
            current.push_back(code);
        } else if (!IsNonspacingMark(codePoint)) {
            finish();
        }
    }
    finish();
    return true;
}

std::string_view CAlphabet::Spell(char code) const {
    static const std::string kAscii = [] {
        std::string all(128, '\0');
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = static_cast<char>(i);
        return all;
    }();
    const auto byte = static_cast<unsigned char>(code);
    if (byte < 0x80) {
        return std::string_view(kAscii).substr(byte, 1);
    }
    const std::size_t index = byte - kFirstCode;
    if (ReadsUtf8() && index < letters_.size()) return letters_[index];
    return "\xEF\xBF\xBD";
}

std::string CAlphabet::Spell(std::string_view codes) const {
    std::string text;
    for (const char code : codes)
        text += Spell(code);
    return text;
}
