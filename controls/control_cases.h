// The control texts and control keywords a search is compared with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/random.h"
#include "common/shuffles.h"
#include "search/text_input.h"
#include "text/alphabet.h"

enum class ControlKind {
    Letters,   // the document's letters in a random order
    Words,     // the document's words in a random order, each word's letters unchanged
    Keywords,  // the document unchanged, each keyword replaced by random letters
};

// "letters", "words", "keywords".
const char* ControlKindName(ControlKind kind);
// False when `name` is none of the three names.
bool ParseControlKind(std::string_view name, ControlKind& kind);

// Random words with a text's letter frequencies.
class CLetterDrawer {
  public:
    explicit CLetterDrawer(const std::string& text);

    // `length` letters, each drawn independently: a letter that makes up k of the text's L
    // letters (its digits left out) is drawn with probability k / L. A text without letters has
    // none to draw from and gives `length` copies of 'A'.
    std::string Draw(std::size_t length, CXoshiro256StarStar& generator) const;

  private:
    std::string letters_;                 // the letters the text holds, ascending
    std::vector<std::uint32_t> ceiling_;  // letters_[k] is drawn for draws below ceiling_[k]
};

// The keywords of one `keywords` control: each replaced by a word of its length from `drawer`.
KeywordList DrawKeywords(const KeywordList& keywords, const CLetterDrawer& drawer,
                         CXoshiro256StarStar& generator);
