#include "proximity/proximity_grid.h"

#include <algorithm>
#include <cstdlib>

namespace {

struct Strongest {
    double term = 0;
    Els first{}, second{};
    std::int32_t rowLength = 0;
    std::int64_t closeA = 0, closeB = 0;  // the closest letters at that row length
};

std::vector<std::int64_t> LetterPositions(const Els& els, std::size_t letters) {
    std::vector<std::int64_t> positions;
    for (std::size_t i = 0; i < letters; ++i)
        positions.push_back(std::int64_t{els.start} + std::int64_t(i) * els.skip);
    return positions;
}

void Consider(const FamilyMember& a, const FamilyMember& b, std::size_t lettersA,
              std::size_t lettersB, const ProximitySettings& settings, double length,
              Strongest& best) {
    const std::int64_t overlap = std::max<std::int64_t>(
        0, std::int64_t{std::min(a.high, b.high)} - std::max(a.low, b.low) - 1);
    if (overlap == 0) return;
    const std::vector<std::int64_t> positionsA = LetterPositions(a.els, lettersA);
    const std::vector<std::int64_t> positionsB = LetterPositions(b.els, lettersB);
    std::vector<std::int32_t> rows = RowLengths(a.els.skip);
    const std::vector<std::int32_t> rowsB = RowLengths(b.els.skip);
    rows.insert(rows.end(), rowsB.begin(), rowsB.end());
    for (const std::int32_t h : rows) {
        std::int64_t closest = -1, closeA = 0, closeB = 0;
        for (const std::int64_t p : positionsA) {
            for (const std::int64_t q : positionsB) {
                const std::int64_t d2 = CylinderDistance2(std::llabs(p - q), h);
                if (closest < 0 || d2 < closest) {
                    closest = d2;
                    closeA = p;
                    closeB = q;
                }
            }
        }
        const std::int64_t delta = CylinderDistance2(std::abs(a.els.skip), h) +
                                   CylinderDistance2(std::abs(b.els.skip), h) + closest +
                                   settings.deltaConstant;
        if (delta <= 0) continue;
        const double term = double(overlap) / (double(delta) * length);
        if (term > best.term) best = {term, a.els, b.els, h, closeA, closeB};
    }
}

}  // namespace

std::optional<ProximityGrid> StrongestGrid(const CProximityText& text, std::string_view word1,
                                           std::string_view word2,
                                           const ProximitySettings& settings, std::int32_t maxRows,
                                           std::int32_t maxColumns) {
    const WordFamilies first = FindFamilies(text, word1, settings);
    const WordFamilies second = FindFamilies(text, word2, settings);
    Strongest best;
    for (const FamilyMember& a : first.families[kIdentityTriple]) {
        if (!a.hasDomain) continue;
        for (const FamilyMember& b : second.families[kIdentityTriple]) {
            if (b.hasDomain)
                Consider(a, b, word1.size(), word2.size(), settings, text.Length(), best);
        }
    }
    if (best.rowLength == 0) return std::nullopt;

    ProximityGrid grid;
    grid.rowLength = best.rowLength;
    grid.first = best.first;
    grid.second = best.second;
    grid.term = best.term;
    const std::int64_t h = best.rowLength;
    std::vector<std::int64_t> positions = LetterPositions(best.first, word1.size());
    const std::size_t firstCount = positions.size();
    for (const std::int64_t p : LetterPositions(best.second, word2.size()))
        positions.push_back(p);
    std::int64_t top = positions[0] / h, bottom = top, left = positions[0] % h, right = left;
    for (const std::int64_t p : positions) {
        top = std::min(top, p / h);
        bottom = std::max(bottom, p / h);
        left = std::min(left, p % h);
        right = std::max(right, p % h);
    }
    // One row and column of context around the words, cut around their closest letters.
    const std::int64_t centreRow = (best.closeA / h + best.closeB / h) / 2;
    const std::int64_t centreColumn = (best.closeA % h + best.closeB % h) / 2;
    top = std::max<std::int64_t>({top - 1, 0, centreRow - maxRows / 2});
    bottom = std::min<std::int64_t>({bottom + 1, (text.Length() - 1) / h, top + maxRows - 1});
    left = std::max<std::int64_t>({left - 1, 0, centreColumn - maxColumns / 2});
    right = std::min<std::int64_t>({right + 1, h - 1, left + maxColumns - 1});
    grid.firstRow = static_cast<std::int32_t>(top);
    grid.rowCount = static_cast<std::int32_t>(bottom - top + 1);
    grid.firstColumn = static_cast<std::int32_t>(left);
    grid.columnCount = static_cast<std::int32_t>(right - left + 1);
    const std::size_t cells = static_cast<std::size_t>(grid.rowCount) * grid.columnCount;
    grid.letters.assign(cells, '\0');
    grid.marks.assign(cells, 0);
    const std::string_view letters = text.Letters();
    for (std::int64_t row = top; row <= bottom; ++row) {
        for (std::int64_t column = left; column <= right; ++column) {
            const std::int64_t at = row * h + column;
            if (at < text.Length())
                grid.letters[static_cast<std::size_t>((row - top) * grid.columnCount + column -
                                                      left)] =
                    letters[static_cast<std::size_t>(at)];
        }
    }
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const std::int64_t row = positions[i] / h, column = positions[i] % h;
        if (row < top || row > bottom || column < left || column > right) continue;
        grid.marks[static_cast<std::size_t>((row - top) * grid.columnCount + column - left)] |=
            i < firstCount ? 1 : 2;
    }
    return grid;
}
