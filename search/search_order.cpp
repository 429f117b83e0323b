#include "search/search_order.h"

#include <algorithm>

KeywordList MakeSearchOrder(const KeywordList& keywords) {
    KeywordList order = keywords;
    std::stable_sort(order.begin(), order.end(), [](const std::string& a, const std::string& b) {
        return a.size() > b.size();
    });
    for (std::string& keyword : order) {
        for (char& c : keyword)
            c = ToUpperAscii(c);
    }
    return order;
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
