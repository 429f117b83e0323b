// What the search does not say of a result: each keyword's skip and the text index of its first
// letter, read back from the letters' positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "search/positions.h"
#include "search/text_input.h"

// One keyword's find. A positive skip spells the keyword left to right, a negative one right to
// left (its first letter is then its rightmost); a keyword of one letter has the skip 0.
struct KeywordFind {
    std::int64_t firstLetter = 0;  // the text index of the keyword's first letter
    std::int64_t skip = 0;
};

// Reads the results of one search in the order the search reports them. A find whose letters
// spell the keyword both ways (a keyword that reads the same both ways) is reported once for
// each skip the search allowed: the copies come in the search's order, the one that starts
// further left first, and the reader counts them to tell them apart.
class CFindReader {
  public:
    // `keywords` as the caller typed them (the reader puts them in search order itself);
    // `plainWordsCount`: skip +1 is allowed; `reverseCounts`: negative skips are allowed.
    CFindReader(const KeywordList& keywords, bool plainWordsCount, bool reverseCounts);

    // One KeywordFind per keyword of `positions` (search order), in search order.
    std::vector<KeywordFind> Read(const char* text, const ResultPositions& positions);

  private:
    // Which ways the letters at `positions` spell keyword `k` and the search allowed.
    unsigned Ways(const char* text, std::size_t k, const LetterPositions& positions) const;

    KeywordList order_;
    bool plainWordsCount_;
    bool reverseCounts_;
    std::map<ResultPositions, std::int64_t> copies_;  // results with a two-way find: seen so far
};

// For each keyword in the order typed, its index in the search order (longest first, equal
// lengths as typed).
std::vector<std::size_t> SearchOrderIndexes(const KeywordList& keywords);
