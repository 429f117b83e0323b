// The control texts and control keywords a search is compared with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "controls/random.h"
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

// Fisher-Yates: every order of the letters equally likely.
void ShuffleLetters(std::string& letters, CXoshiro256StarStar& generator);

// The words of a normalised text, put together again in a random order.
class CWordShuffler {
  public:
    // `wordLengths` as CAlphabet::WordLengths gives them for the document `text` was made from.
    CWordShuffler(const std::string& text, const std::vector<std::int32_t>& wordLengths);

    // Writes the words into `out` (resized to the text's length) in an order drawn uniformly
    // with Fisher-Yates; nothing stands between two words, as nothing stands between them in the
    // normalised text. `order` is scratch space the caller keeps between calls.
    void Shuffle(CXoshiro256StarStar& generator, std::vector<std::int32_t>& order,
                 std::string& out) const;

  private:
    const std::string& text_;
    std::vector<std::int32_t> starts_;
    std::vector<std::int32_t> lengths_;
};

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
