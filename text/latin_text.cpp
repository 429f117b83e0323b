#include "text/latin_text.h"

KeywordList ReadKeywords(std::string_view keywordText) {
    KeywordList keywords;
    std::string current;
    for (char c : keywordText) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsAsciiLetter(byte) || IsAsciiDigit(byte)) {
            current.push_back(c);
        } else if (!current.empty()) {
            keywords.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty()) keywords.push_back(std::move(current));
    return keywords;
}

std::size_t NormaliseText(char* data, std::size_t length, bool ignoreNumbers) {
    // A zero byte is removed like any other non-letter, so a document with an embedded zero
    // is searched whole and the length counts exactly the bytes that survive.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (IsAsciiLetter(byte) || (!ignoreNumbers && IsAsciiDigit(byte))) {
            data[kept++] = ToUpperAscii(data[i]);
        }
    }
    data[kept] = '\0';
    return kept;
}

void NormaliseText(std::string& document, bool ignoreNumbers) {
    document.resize(NormaliseText(document.data(), document.size(), ignoreNumbers));
}
