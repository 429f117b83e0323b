#include "search/column_width.h"

#include <algorithm>
#include <climits>

ColumnWidthChooser::ColumnWidthChooser(const KeywordList& order, std::int32_t textLength,
                                       const SearchSettings& settings)
    : settings_(settings),
      textLength_(textLength),
      narrowest_(std::max(settings.MinColumnWidth, 1)) {
    if (order.size() != 1 || order[0].size() < 2 || textLength < 2) return;
    singleLetters_ = static_cast<std::int64_t>(order[0].size());
    // Letters of one find are at most min(D, M / (n - 1), (textLength - 1) / (n - 1)) apart.
    std::int64_t farthest = (textLength - 1) / (singleLetters_ - 1);
    farthest = std::min<std::int64_t>(farthest, settings.MaxDistanceBetweenLetters);
    farthest = std::min<std::int64_t>(farthest, settings.MaxResultLength / (singleLetters_ - 1));
    // Beyond a million distances (4 MB) the width is worked out each time instead.
    farthest = std::min<std::int64_t>(farthest, 1 << 20);
    if (farthest >= 1) widthByDistance_.assign(static_cast<std::size_t>(farthest) + 1, -1);
}

// With one keyword the grid fits exactly when the keyword's extent does:
// (n - 1) * (distance mod w) + 1 <= w.
std::int32_t ColumnWidthChooser::WidestFitForSkip(std::int64_t distance) const {
    const std::int64_t steps = singleLetters_ - 1;
    const std::int32_t widest = settings_.MaxColumnWidth;
    // Widths above the distance leave it whole: the widest width fits when it holds the line.
    if (widest > distance && widest >= narrowest_ && steps * distance + 1 <= widest) return widest;
    for (std::int32_t w = widest; w >= narrowest_; --w) {
        if (steps * (distance % w) + 1 <= w) return w;
    }
    return 0;
}

void ColumnWidthChooser::MakeGrid(std::int32_t w, std::int64_t left, std::int64_t lowest,
                                  std::int64_t highest, ResultGrid& grid) const {
    grid.columns = w;
    grid.first = static_cast<std::int32_t>(lowest - lowest % w + left);
    grid.last = static_cast<std::int32_t>(
        std::min<std::int64_t>(highest - (highest + 1) % w + left + w, textLength_ - 1));
}

bool ColumnWidthChooser::Choose(const ResultPositions& positions, std::int64_t lowest,
                                std::int64_t highest, ResultGrid& grid) {
    if (widthByDistance_.empty()) return ChooseAny(positions, lowest, highest, grid);
    const LetterPositions& letters = positions[0];
    const std::int64_t distance = letters[1] - letters[0];
    if (distance < 1 || distance >= static_cast<std::int64_t>(widthByDistance_.size()))
        return ChooseAny(positions, lowest, highest, grid);
    std::int32_t& known = widthByDistance_[static_cast<std::size_t>(distance)];
    if (known < 0) known = WidestFitForSkip(distance);
    if (known == 0) return false;
    MakeGrid(known, letters[0] % known, lowest, highest, grid);
    return true;
}

// The general case, as ChooseColumnWidth reads: every keyword must be a line no wider than w,
// and all of them together must fit between one left edge and w columns to its right. Indexes
// are below 2^31, so 32-bit unsigned remainders serve.
bool ColumnWidthChooser::ChooseAny(const ResultPositions& positions, std::int64_t lowest,
                                   std::int64_t highest, ResultGrid& grid) const {
    for (std::int32_t w = settings_.MaxColumnWidth; w >= narrowest_; --w) {
        const auto width = static_cast<std::uint32_t>(w);
        std::int64_t left = INT64_MAX;
        std::int64_t right = INT64_MIN;
        bool fits = true;
        for (const LetterPositions& letters : positions) {
            const std::int64_t column = static_cast<std::uint32_t>(letters[0]) % width;
            std::int64_t extent = 1;
            if (letters.size() > 1) {
                const auto distance = static_cast<std::uint32_t>(letters[1] - letters[0]);
                extent = std::int64_t(letters.size() - 1) * (distance % width) + 1;
                if (extent > w) {
                    fits = false;
                    break;
                }
            }
            left = std::min(left, column);
            right = std::max(right, column + extent);
        }
        if (!fits || right - left > w) continue;
        MakeGrid(w, left, lowest, highest, grid);
        return true;
    }
    return false;
}

bool ChooseColumnWidth(const ResultPositions& positions, std::int64_t lowest, std::int64_t highest,
                       std::int32_t textLength, const SearchSettings& settings, ResultGrid& grid) {
    // Widths below 1 cannot lay out a grid; a settings record may still name them.
    const std::int32_t narrowest = std::max(settings.MinColumnWidth, 1);
    for (std::int32_t w = settings.MaxColumnWidth; w >= narrowest; --w) {
        std::int64_t left = INT64_MAX;
        std::int64_t right = INT64_MIN;
        bool fits = true;
        for (const LetterPositions& letters : positions) {
            const std::int64_t column = letters[0] % w;
            std::int64_t extent = 1;
            if (letters.size() > 1) {
                extent = std::int64_t(letters.size() - 1) * ((letters[1] - letters[0]) % w) + 1;
                if (extent > w) {
                    fits = false;
                    break;
                }
            }
            left = std::min(left, column);
            right = std::max(right, column + extent);
        }
        if (!fits || right - left > w) continue;
        grid.columns = w;
        grid.first = static_cast<std::int32_t>(lowest - lowest % w + left);
        grid.last = static_cast<std::int32_t>(
            std::min<std::int64_t>(highest - (highest + 1) % w + left + w, textLength - 1));
        return true;
    }
    return false;
}
