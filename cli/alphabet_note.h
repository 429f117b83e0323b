// What the tool says on standard error about the alphabet a document is read in.
#pragma once

#include <string>

#include "text/alphabet.h"

// The alphabet's name in a sentence: "Latin", "Hebrew" or "Greek".
const char* AlphabetTitle(AlphabetName name);

// When the document has no letter of `alphabet` and most of its letters are another's: one note
// ("... it looks Hebrew: try --alphabet hebrew.") on standard error.
void NoteOtherAlphabet(const std::string& document, const CAlphabet& alphabet);

// What the search says of a typed word that `alphabet` reads as no keyword: 'the keyword "תורה"
// has no letter of the Latin alphabet and is left out; try --alphabet hebrew' (the suggestion
// only when another alphabet reads a keyword in it).
std::string LeftOutKeywordSentence(const CAlphabet& alphabet, const std::string& word);
