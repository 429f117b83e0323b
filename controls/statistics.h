// What one search gives for the comparison with its controls, and how the controls sum up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "search/find_sequences.h"

// The figures of one search.
struct SearchStatistics {
    std::int64_t results = 0;
    // The fewest text positions that the letters of one result cover (highest letter index -
    // lowest + 1, over all keywords of the result); 0 when there is no result.
    std::int64_t smallestSpan = 0;

    bool operator==(const SearchStatistics&) const = default;
};

// Counts results and keeps the smallest span; writes nothing.
class CCountingSink : public CResultSink {
  public:
    bool AddResult(const char* text, std::int32_t first, std::int32_t last, std::int32_t columns,
                   const ResultPositions& positions) override;

    const SearchStatistics& Statistics() const { return statistics_; }
    // The results in which some keyword of two or more letters stands at skip +1 or -1, as a
    // plain word of the text (or spelled backwards).
    std::int64_t PlainWordResults() const { return plainWordResults_; }

  private:
    SearchStatistics statistics_;
    std::int64_t plainWordResults_ = 0;
};

// The statistics of a search with the indexed engine, done entirely on the calling thread (the
// controls keep every core busy with searches of their own).
SearchStatistics MeasureSearch(const std::string& text, const KeywordList& keywords,
                               const SearchSettings& settings);

// The real search's figures, with what only the real search is asked: how many of its results
// hold a keyword at |skip| = 1.
struct RealSearchStatistics {
    SearchStatistics statistics;
    std::int64_t plainWordResults = 0;
};
RealSearchStatistics MeasureRealSearch(const std::string& text, const KeywordList& keywords,
                                       const SearchSettings& settings);

// Mean, sample standard deviation (divisor n - 1; 0 for fewer than two values), minimum and
// maximum of a series of counts. All zero for an empty series.
struct Summary {
    std::int64_t samples = 0;
    double mean = 0;
    double standardDeviation = 0;
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
};

Summary Summarise(const std::vector<std::int64_t>& values);

// The controls' result counts, and the smallest spans of the controls that have a result.
Summary SummariseResults(const std::vector<SearchStatistics>& controls);
Summary SummariseSpans(const std::vector<SearchStatistics>& controls);

// A plus-one empirical p-value, (1 + hits) / (1 + controls): the share of the controls that do
// at least as well as the real search, counting the real search itself among them.
struct PValue {
    std::int64_t hits = 0;
    std::int64_t controls = 0;

    double Value() const {
        return static_cast<double>(1 + hits) / static_cast<double>(1 + controls);
    }
};

// Each statistic has two tails; the report gives both.
// Hits: the controls with at least as many results as the real search.
PValue ResultsPValue(const SearchStatistics& real, const std::vector<SearchStatistics>& controls);
// Hits: the controls with at most as many results as the real search.
PValue ResultsAtMostPValue(const SearchStatistics& real,
                           const std::vector<SearchStatistics>& controls);
// Hits: the controls whose smallest span is at most the real one. A search without a result has
// no span and counts as infinitely wide, so that with no real result every control is a hit.
PValue SpanPValue(const SearchStatistics& real, const std::vector<SearchStatistics>& controls);
// Hits: the controls whose smallest span is at least the real one, a control without a result
// (infinitely wide) always among them.
PValue SpanAtLeastPValue(const SearchStatistics& real,
                         const std::vector<SearchStatistics>& controls);

// The places a single keyword of `letters` letters can stand in a text of `textLength` letters:
// over every skip d that the settings and the width rule allow, L - (n - 1)|d| starting places
// in each direction the settings allow. A one-letter keyword has L places.
std::int64_t KeywordPlacements(std::int64_t textLength, std::int64_t letters,
                               const SearchSettings& settings);

// The expected result count of a single keyword.
struct ExpectedCounts {
    // The mean over every order of the text's letters (the mean of letters controls): the
    // placements times the falling factorials of the keyword's letter counts in the text,
    // divided by the falling factorial of the text's length, (L)_n.
    double shuffle = 0;
    // In a text of the same length whose letters are drawn independently with the text's letter
    // frequencies: the placements times the product of the keyword's letter frequencies.
    double independent = 0;
};

// No value for any other number of keywords than one, where whether finds make a result depends
// on more than their skips.
std::optional<ExpectedCounts> ExpectedCount(const std::string& text, const KeywordList& keywords,
                                            const SearchSettings& settings);

// The greatest |skip| a keyword of `letters` letters (n >= 2) can have under the settings:
// --span allows at most MaxResultLength / (n - 1), whatever MaxDistanceBetweenLetters says.
std::int64_t GreatestSkip(std::int64_t letters, const SearchSettings& settings);

// Whether a find of an n-letter keyword at skip `skip` (n >= 2) or skip 0 (n = 1) is drawn at
// some allowed column width, as the search chooses widths.
bool SkipFitsSomeWidth(std::int64_t letters, std::int64_t skip, const SearchSettings& settings);
