// The column width of a result, chosen as ChooseColumnWidth does, with less work per result.
#pragma once

#include <cstdint>
#include <vector>

#include "search/positions.h"
#include "search/search_order.h"
#include "search/search_settings.h"
#include "search/text_input.h"

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
