// The letter grid a report shows for a close pair: the two words' sequences and the row length
// that contributes most to their proximity.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "proximity/proximity.h"

struct ProximityGrid {
    std::int32_t rowLength = 0;  // h: the text written in rows of h letters
    Els first, second;           // the sequences of word 1 and word 2 (unperturbed)
    double term = 0;             // their largest summand: |T ∩ T'| / (delta_h L)
    // The window shown: rows and columns of the text in rows of h letters.
    std::int32_t firstRow = 0, rowCount = 0, firstColumn = 0, columnCount = 0;
    std::string letters;  // rowCount * columnCount codes, row by row; '\0' past the text's end
    // For each cell: 0 no word, 1 a letter of word 1, 2 of word 2, 3 of both.
    std::vector<std::uint8_t> marks;
    // For each cell: 1 when its letter ends a word of the document (shown in its final form),
    // 0 when not; empty when the words are not known.
    std::vector<std::uint8_t> wordEnds;
};

// Of the ordinary (0,0,0) sequences of the two words that both have a domain, the pair and the
// row length h (one of the row lengths of either skip) whose single summand of the proximity,
// sigma's term 1/delta_h times the domains' overlap over L, is the largest; no value when no two
// domains overlap. The window holds both sequences, cut to at most `maxRows` rows and
// `maxColumns` columns around their closest letters.
std::optional<ProximityGrid> StrongestGrid(const CProximityText& text, std::string_view word1,
                                           std::string_view word2,
                                           const ProximitySettings& settings,
                                           std::int32_t maxRows = 48, std::int32_t maxColumns = 41);
