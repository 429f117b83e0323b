// What a results page may say of itself: a legend of the keywords' colours, and above each grid
// every keyword's skip, direction and the place of its first letter in the document.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "results/find_reader.h"
#include "results/text_buffer.h"
#include "search/positions.h"
#include "search/text_input.h"

// How many colours the page's keyword classes have; the twelfth keyword starts over.
inline constexpr int kPageKeywordClasses = 11;

// A line (from 1) and a column (from 1) of the document; 0 and 0 when unknown.
struct PagePlace {
    std::int64_t line = 0;
    std::int64_t column = 0;
};

struct PageLegend {
    KeywordList keywords;            // as typed, in the codes of the search text
    std::vector<std::string> names;  // the same keywords as the page shows them (HTML-safe or not)
    bool plainWordsCount = true;     // skip +1 was allowed
    bool reverseCounts = true;       // negative skips were allowed
    std::function<PagePlace(std::int64_t)> placeOf;  // a letter's place, by its text index
};

class CPageLegend {
  public:
    explicit CPageLegend(PageLegend legend);

    // The legend under the page's heading: the keywords in the order typed, each in its colour,
    // and how the captions count.
    void AppendKey(CTextBuffer& markup) const;

    // One line per keyword, in the order typed: its skip, direction and first letter's place.
    // Results must come in the search's order (see CFindReader).
    void AppendCaption(CTextBuffer& markup, const char* text, const ResultPositions& positions);

  private:
    void AppendName(CTextBuffer& markup, std::size_t keyword) const;

    PageLegend legend_;
    std::vector<std::size_t> searchIndexes_;
    CFindReader reader_;
};
