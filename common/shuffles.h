// The shuffles behind control texts: a text's letters, or its words, in a random order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/random.h"

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
