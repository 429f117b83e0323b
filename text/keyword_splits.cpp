#include "text/keyword_splits.h"

#include <cstdio>

#include "text/utf8.h"

namespace {

bool IsWordBreak(char c) {
    switch (c) {
        case ' ':
        case '\t':
        case '\n':
        case '\r':
        case '\v':
        case '\f':
        case ',':
        case ';':
            return true;
        default:
            return false;
    }
}

// Reads the character at word[at], moving past it; whether a keyword holds it: a letter of the
// alphabet, a digit, or in a UTF-8 alphabet a mark between letters.
bool IsKeywordCharacter(const CAlphabet& alphabet, std::string_view word, std::size_t& at) {
    const std::size_t start = at;
    const bool utf8 = alphabet.ReadsUtf8();
    if (alphabet.ReadCharacter(word, at, utf8, false) != 0) return true;
    if (!utf8) return false;
    std::size_t next = start;
    char32_t codePoint = 0;
    return DecodeUtf8(word, next, codePoint) && IsNonspacingMark(codePoint);
}

std::string CharacterName(std::string_view word, std::size_t at) {
    const auto byte = static_cast<unsigned char>(word[at]);
    char name[24];
    if (byte > 0x20 && byte < 0x7F) {
        std::snprintf(name, sizeof name, "\"%c\"", static_cast<char>(byte));
        return name;
    }
    char32_t codePoint = 0;
    if (DecodeUtf8(word, at, codePoint)) {
        std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
    } else {
        std::snprintf(name, sizeof name, "byte 0x%02X", static_cast<unsigned>(byte));
    }
    return name;
}

// The first character of `word` that stands between two keywords.
std::string FirstSeparator(const CAlphabet& alphabet, std::string_view word) {
    bool inKeyword = false;
    std::size_t separator = std::string_view::npos;
    std::size_t at = 0;
    while (at < word.size()) {
        const std::size_t start = at;
        if (!IsKeywordCharacter(alphabet, word, at)) {
            if (inKeyword && separator == std::string_view::npos) separator = start;
            continue;
        }
        if (separator != std::string_view::npos) return CharacterName(word, separator);
        inKeyword = true;
    }
    return std::string();
}

// The typed words of `keywordText` in order.
std::vector<std::string_view> TypedWords(const CAlphabet& alphabet, std::string_view keywordText) {
    std::vector<std::string_view> words;
    std::size_t at = alphabet.ReadsUtf8() ? Utf8BomLength(keywordText) : 0;
    while (at < keywordText.size()) {
        if (IsWordBreak(keywordText[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < keywordText.size() && !IsWordBreak(keywordText[end]))
            ++end;
        words.push_back(keywordText.substr(at, end - at));
        at = end;
    }
    return words;
}

}  // namespace

std::vector<KeywordSplit> FindKeywordSplits(const CAlphabet& alphabet,
                                            std::string_view keywordText) {
    std::vector<KeywordSplit> splits;
    for (const std::string_view word : TypedWords(alphabet, keywordText)) {
        KeywordSplit split;
        std::string error;
        if (!alphabet.ReadKeywords(word, split.keywords, error)) return {};
        if (split.keywords.size() < 2) continue;
        split.word = std::string(word);
        split.separator = FirstSeparator(alphabet, word);
        splits.push_back(std::move(split));
    }
    return splits;
}

std::vector<std::string> FindLeftOutWords(const CAlphabet& alphabet, std::string_view keywordText) {
    std::vector<std::string> leftOut;
    for (const std::string_view word : TypedWords(alphabet, keywordText)) {
        KeywordList keywords;
        std::string error;
        if (!alphabet.ReadKeywords(word, keywords, error)) return {};
        if (keywords.empty()) leftOut.emplace_back(word);
    }
    return leftOut;
}
