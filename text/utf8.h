// Reading and writing UTF-8, strictly: what is not UTF-8 is reported, never guessed at.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The number of bytes of a byte-order mark at the start of `text` (3 or 0).
std::size_t Utf8BomLength(std::string_view text);

// Decodes the character that starts at text[at] and moves `at` past it. False, with `at`
// unchanged, when the bytes there are no UTF-8: a stray continuation byte, a truncated sequence,
// an overlong form, a surrogate or a value above U+10FFFF.
bool DecodeUtf8(std::string_view text, std::size_t& at, char32_t& codePoint);

// The offset of the first byte that starts no valid character, or std::string_view::npos when
// the whole text is UTF-8.
std::size_t FindInvalidUtf8(std::string_view text);

// Appends the UTF-8 form of `codePoint` (which must be a Unicode scalar value).
void AppendUtf8(std::string& out, char32_t codePoint);
