// Windows' wide (UTF-16) strings and the UTF-8 the portable code holds text and paths in.
#pragma once

#include <string>
#include <string_view>

// The UTF-16 form of UTF-8 text; a byte that is not UTF-8 becomes U+FFFD.
std::wstring WidenUtf8(std::string_view utf8);

// The UTF-8 form of UTF-16 text; a lone surrogate becomes U+FFFD.
std::string NarrowToUtf8(std::wstring_view wide);

// The UTF-8 form of text in the system's ANSI code page (what the ANSI calls give).
std::string AnsiToUtf8(std::string_view ansi);
