// Turning what the user typed and the document's bytes into search input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

using KeywordList = std::vector<std::string>;

// True for the 52 ASCII letters; every other byte value (0x80..0xFF included) is no letter.
constexpr bool IsAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr bool IsAsciiDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
constexpr char ToUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// Splits the keyword text at every byte that is neither an ASCII letter nor a digit.
// Keeps case, order and duplicates; empty pieces are dropped.
KeywordList ReadKeywords(std::string_view keywordText);

// Reduces `length` bytes at `data` in place to upper-case letters (and digits unless
// `ignoreNumbers`), writes a zero byte after them and returns their count. Every other byte,
// zero bytes included, is removed. data[length] must be writable.
std::size_t NormaliseText(char* data, std::size_t length, bool ignoreNumbers);

// The same on a whole string, which is shrunk to the surviving bytes (no reallocation).
void NormaliseText(std::string& document, bool ignoreNumbers);
