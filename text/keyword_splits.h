// Where the keywords a user typed are not the words they typed: a word that the alphabet reads
// as several keywords because a character inside it is no letter of the alphabet.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "search/text_input.h"
#include "text/alphabet.h"

// One word of the keyword text (a run between blanks, commas and semicolons) that the alphabet
// reads as more than one keyword.
struct KeywordSplit {
    std::string word;       // as typed
    KeywordList keywords;   // what the alphabet reads it as, in codes, two or more
    std::string separator;  // the first character that parts two of them, named (see below)
};

// The words of `keywordText` that `alphabet` splits, in the order typed; empty when every word
// is one keyword (or none) and when the text is not the alphabet's to read (invalid UTF-8 in a
// UTF-8 alphabet). A separator is named as printed ASCII in double quotes ("-"), as U+ and its
// code point in hexadecimal when it is another character of UTF-8 (U+00E9, U+200B), and as
// "byte 0x" and its value otherwise.
std::vector<KeywordSplit> FindKeywordSplits(const CAlphabet& alphabet,
                                            std::string_view keywordText);

// The words of `keywordText` (runs between blanks, commas and semicolons) that `alphabet` reads as
// no keyword at all, as typed and in the order typed: words of another script, or of no letters.
std::vector<std::string> FindLeftOutWords(const CAlphabet& alphabet, std::string_view keywordText);
