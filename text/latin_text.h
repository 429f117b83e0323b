// The Latin alphabet's mapping, the program's own since its first version: keywords and the
// document as bytes, A-Z after upper-casing, in any single-byte code page. CAlphabet uses it
// for Latin; the window's search calls it directly.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "search/text_input.h"

// Splits the keyword text at every byte that is neither an ASCII letter nor a digit.
// Keeps case, order and duplicates; empty pieces are dropped.
KeywordList ReadKeywords(std::string_view keywordText);

// Reduces `length` bytes at `data` in place to upper-case letters (and digits unless
// `ignoreNumbers`), writes a zero byte after them and returns their count. Every other byte,
// zero bytes included, is removed. data[length] must be writable.
std::size_t NormaliseText(char* data, std::size_t length, bool ignoreNumbers);

// The same on a whole string, which is shrunk to the surviving bytes (no reallocation).
void NormaliseText(std::string& document, bool ignoreNumbers);
