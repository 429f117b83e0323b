// Which alphabet a document is written in, decided from its bytes alone.
#pragma once

#include <string_view>

#include "text/alphabet.h"

// Hebrew when the document is UTF-8 throughout (a leading byte-order mark is skipped) and more
// than half of its letters are Hebrew letters; Greek when more than half are Greek letters;
// Latin for every other document: one that is not UTF-8 (a single-byte code page), one mostly
// in another script, one without letters (an empty one too). Letters are the characters of
// Unicode's letter category of any script, together with the characters the Hebrew and Greek
// alphabets take as their letters (such as the Ohm sign); vowel points, accents, digits and
// punctuation are none.
AlphabetName DocumentAlphabet(std::string_view document);
