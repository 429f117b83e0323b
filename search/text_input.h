// The search's input as the engine sees it: keywords as byte strings, and the ASCII byte classes
// it compares by. text/ turns what the user typed and the document into these.
#pragma once

#include <string>
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
