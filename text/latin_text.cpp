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

namespace {

// Each byte as the search keeps it (a capital letter, a digit), or 0 when it is dropped; one
// table with the digits and one without.
struct NormalTables {
    char withDigits[256];
    char withoutDigits[256];
};

constexpr NormalTables MakeNormalTables() {
    NormalTables tables{};
    for (int c = 0; c < 256; ++c) {
        const auto byte = static_cast<unsigned char>(c);
        const char upper = ToUpperAscii(static_cast<char>(byte));
        tables.withoutDigits[c] = IsAsciiLetter(byte) ? upper : '\0';
        tables.withDigits[c] = IsAsciiLetter(byte) || IsAsciiDigit(byte) ? upper : '\0';
    }
    return tables;
}

constexpr NormalTables kNormalTables = MakeNormalTables();

}  // namespace

std::size_t NormaliseText(char* data, std::size_t length, bool ignoreNumbers) {
    // A zero byte is removed like any other non-letter, so a document with an embedded zero
    // is searched whole and the length counts exactly the bytes that survive. Every byte is
    // looked up and stored, and only kept ones move the end on: no branch on the text.
    const char* table = ignoreNumbers ? kNormalTables.withoutDigits : kNormalTables.withDigits;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char normal = table[static_cast<unsigned char>(data[i])];
        data[kept] = normal;
        kept += normal != '\0';
    }
    data[kept] = '\0';
    return kept;
}

void NormaliseText(std::string& document, bool ignoreNumbers) {
    document.resize(NormaliseText(document.data(), document.size(), ignoreNumbers));
}
