// The column width of a result's letter grid: the plain choice, and the same choice with less
// work per result.
#pragma once

#include <cstdint>
#include <vector>

#include "search/positions.h"
#include "search/search_settings.h"
#include "search/text_input.h"

// The grid of one result: its column width and the stretch first..last of the text.
struct ResultGrid {
    std::int32_t columns = 0;
    std::int32_t first = 0;
    std::int32_t last = 0;
};

// Chooses the widest width from MaxColumnWidth down to MinColumnWidth at which every keyword of
// the candidate is a straight line of the grid; lowest/highest are the candidate's extreme letter
// indexes. False when no width fits.
bool ChooseColumnWidth(const ResultPositions& positions, std::int64_t lowest, std::int64_t highest,
                       std::int32_t textLength, const SearchSettings& settings, ResultGrid& grid);

// Chooses as ChooseColumnWidth does, remembering what one run's results have in common.
class ColumnWidthChooser {
  public:
    // `order` is the search order of the run's keywords; the settings must outlive the chooser.
    ColumnWidthChooser(const KeywordList& order, std::int32_t textLength,
                       const SearchSettings& settings);

    // The same answer and grid as ChooseColumnWidth(positions, lowest, highest, textLength,
    // settings, grid).
    bool Choose(const ResultPositions& positions, std::int64_t lowest, std::int64_t highest,
                ResultGrid& grid);

  private:
    std::int32_t WidestFitForSkip(std::int64_t distance) const;
    bool ChooseAny(const ResultPositions& positions, std::int64_t lowest, std::int64_t highest,
                   ResultGrid& grid) const;
    void MakeGrid(std::int32_t w, std::int64_t left, std::int64_t lowest, std::int64_t highest,
                  ResultGrid& grid) const;

    const SearchSettings& settings_;
    std::int32_t textLength_;
    std::int32_t narrowest_;
    // With one keyword of n >= 2 letters the width depends only on the distance between its
    // letters, so it is remembered per distance: -1 not known yet, 0 no width fits.
    std::int64_t singleLetters_ = 0;
    std::vector<std::int32_t> widthByDistance_;
};
