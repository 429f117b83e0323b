// Pieces of the search shared by its implementations.
#pragma once

#include <cstdint>

#include "search/positions.h"
#include "search/search_settings.h"
#include "search/text_input.h"

// The engine's own keyword list: longest first, equal lengths in the caller's order, upper case.
KeywordList MakeSearchOrder(const KeywordList& keywords);

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
