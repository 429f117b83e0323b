// The control texts of a proximity run: the document with its letters, its words, its lines or
// the words within each line in a random order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/alphabet.h"

enum class ControlTextKind { Letters, Words, Lines, WordsInLines };

// "letters", "words", "lines", "words-in-lines".
const char* ControlTextKindName(ControlTextKind kind);
// False when `name` is none of the four.
bool ParseControlTextKind(std::string_view name, ControlTextKind& kind);

// Where the document's words and lines lie in its letters. A word is a maximal run of letters
// (and kept digits), marks such as vowel points standing inside it; any other character ends it.
// A line ends at LF, CR LF or a lone CR; lines without letters hold no word.
struct TextPieces {
    std::vector<std::int32_t> wordLengths;  // in letters, in order; their sum is the text's length
    std::vector<std::int32_t> lineWords;    // words in each line that has any, in order
};
TextPieces FindTextPieces(std::string_view document, const CAlphabet& alphabet, bool ignoreNumbers);

// Replaces `text` (the document's letters, as CAlphabet::MapDocument gives them, from which
// `pieces` were found) by its control text, drawn from ControlStream(seed, 0). Letters: every
// order of the letters equally likely; words and lines: every order of the words, or of the
// lines, each unchanged; words in lines: the lines stay, the words of each line are put in a
// random order.
void MakeControlText(ControlTextKind kind, const TextPieces& pieces, std::uint64_t seed,
                     std::string& text);
