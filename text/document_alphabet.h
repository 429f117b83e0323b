// Which alphabet a document is written in, decided from its bytes alone.
#pragma once

#include <optional>
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

// The alphabet to suggest for a document that holds no letter of `alphabet` (digits do not
// count): the one that more than half of its letters belong to, Hebrew, Greek or Latin (A-Z and
// a-z), counted as above except that a byte that is no UTF-8 is a character that is no letter.
// Nothing when the document holds a letter of `alphabet`, and when no alphabet has most of its
// letters (an empty document, one in Cyrillic).
std::optional<AlphabetName> SuggestedAlphabet(std::string_view document, const CAlphabet& alphabet);
