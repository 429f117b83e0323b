#include "proximity/proximity_run.h"

#include <algorithm>

#include "common/work_items.h"

namespace {

// Permutations counted between two looks at the stop flag and two progress reports.
constexpr std::uint64_t kPermutationBlock = 16384;

}  // namespace

ProximityRows RowsOf(const CProximityMatrix& matrix, bool triples) {
    ProximityRows rows;
    rows.firstRow = matrix.FirstRow();
    rows.lastRow = matrix.LastRow();
    const std::size_t persons = matrix.Persons();
    rows.cells.reserve((rows.lastRow - rows.firstRow) * persons);
    for (std::size_t row = rows.firstRow; row < rows.lastRow; ++row) {
        for (std::size_t column = 0; column < persons; ++column) {
            const PairSummary* cell = matrix.Cell(row, column);
            rows.cells.emplace_back(cell, cell + matrix.CellSize(row, column));
        }
        if (!triples) continue;
        std::vector<TripleOmegas>& kept = rows.diagonalTriples.emplace_back();
        for (const PairResult& result : matrix.DiagonalResults(row))
            kept.push_back(result.omega);
    }
    return rows;
}

std::vector<ListedPair> ListedPairs(const ProximityRequest& request, const ProximityRows& rows) {
    const std::size_t persons = request.persons.size();
    const FittingWords fit = FitWords(request.persons, request.settings);
    std::vector<ListedPair> pairs;
    for (std::size_t p = rows.firstRow; p < rows.lastRow; ++p) {
        const std::vector<PairSummary>& cell = rows.cells[(p - rows.firstRow) * persons + p];
        const std::size_t dates = fit.dates[p].size();
        for (std::size_t k = 0; k < cell.size(); ++k) {
            const TripleOmegas* triples = rows.diagonalTriples.empty()
                                              ? nullptr
                                              : &rows.diagonalTriples[p - rows.firstRow][k];
            pairs.push_back(
                {p, fit.names[p][k / dates], fit.dates[p][k % dates], &cell[k], triples});
        }
    }
    return pairs;
}

CellMatrix CellMatrixOfRows(const ProximityRequest& request, const ProximityRows& rows,
                            const ListWord* without) {
    CellMatrix cells;
    cells.persons = request.persons.size();
    cells.cells.reserve(rows.cells.size());
    FittingWords fit;
    if (without != nullptr) fit = FitWords(request.persons, request.settings);
    // Whether pair k of cell (row, column) holds the word taken out.
    const auto takenOut = [&](std::size_t row, std::size_t column, std::size_t k) {
        if (without == nullptr) return false;
        const std::size_t dates = fit.dates[column].size();
        if (without->isDate)
            return column == without->person && fit.dates[column][k % dates] == without->index;
        return row == without->person && fit.names[row][k / dates] == without->index;
    };
    std::vector<int> ranks, triples;
    for (std::size_t cell = 0; cell < rows.cells.size(); ++cell) {
        const std::size_t row = rows.firstRow + cell / cells.persons;
        const std::size_t column = cell % cells.persons;
        ranks.clear();
        triples.clear();
        const std::vector<PairSummary>& pairs = rows.cells[cell];
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            if (!pairs[k].defined || takenOut(row, column, k)) continue;
            ranks.push_back(pairs[k].rank);
            triples.push_back(pairs[k].validTriples);
        }
        cells.cells.push_back(SumCell(ranks, triples));
    }
    return cells;
}

ProximityStatistics ListStatistics(const CellMatrix& cells) {
    std::vector<const CellSums*> diagonal;
    for (std::size_t p = 0; p < cells.persons; ++p)
        diagonal.push_back(&cells.At(p, p));
    return StatisticsOfCells(diagonal);
}

std::optional<PermutationCounts> RunPermutationTest(const CellMatrix& cells, std::uint64_t seed,
                                                    std::uint64_t count, unsigned threads,
                                                    CWorkReceiver* receiver,
                                                    const std::atomic<bool>* stop,
                                                    std::size_t leftOut, std::int64_t unitsBefore,
                                                    std::int64_t unitsTotal) {
    const std::uint64_t total = count + 1;  // the identity is permutation 0
    const std::uint64_t blocks = (total + kPermutationBlock - 1) / kPermutationBlock;
    std::vector<PermutationCounts> parts(blocks);
    WorkItemsOptions options;
    options.threads = threads;
    options.stop = stop;
    // Told in permutations: a block is kPermutationBlock of them, the last one the rest.
    options.receiver = receiver;
    options.unitsBefore = unitsBefore;
    options.unitsTotal = unitsTotal > 0 ? unitsTotal : static_cast<std::int64_t>(total);
    options.itemUnits = [&](std::size_t block) {
        return static_cast<std::int64_t>(std::min(total, (block + 1) * kPermutationBlock) -
                                         block * kPermutationBlock);
    };
    const std::size_t blocksDone = RunWorkItems(blocks, options, [&](std::size_t block, unsigned) {
        const std::uint64_t first = block * kPermutationBlock;
        const std::uint64_t last = std::min(total, first + kPermutationBlock);
        // The counts are integers: their sum does not depend on which thread counts which block.
        parts[block] = CountPermutations(cells, seed, first, last, leftOut);
    });
    if (blocksDone < blocks) return std::nullopt;
    PermutationCounts counts;
    for (const PermutationCounts& part : parts)
        counts += part;
    return counts;
}

namespace {

std::int64_t DiagonalPairs(const CellMatrix& cells, std::size_t leftOut) {
    std::int64_t pairs = 0;
    for (std::size_t p = 0; p < cells.persons; ++p) {
        if (p != leftOut) pairs += cells.At(p, p).pairs;
    }
    return pairs;
}

void SortByP2Shift(std::vector<InfluenceRow>& rows, const PermutationCounts& whole) {
    const auto shift = [&](const InfluenceRow& row) {
        const std::int64_t d = row.counts.atMostP2 - whole.atMostP2;
        return d < 0 ? -d : d;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const InfluenceRow& a, const InfluenceRow& b) {
        return shift(a) > shift(b);
    });
}

}  // namespace

std::optional<ProximityInfluence> RunInfluence(const ProximityRequest& request,
                                               const ProximityRows& rows,
                                               const PermutationCounts& whole, unsigned threads,
                                               CWorkReceiver* receiver,
                                               const std::atomic<bool>* stop) {
    ProximityInfluence influence;
    const std::size_t persons = request.persons.size();
    const FittingWords fit = FitWords(request.persons, request.settings);
    std::vector<ListWord> words;
    for (std::size_t p = 0; p < persons; ++p) {
        for (const std::uint32_t i : fit.names[p])
            words.push_back({p, false, i});
        for (const std::uint32_t i : fit.dates[p])
            words.push_back({p, true, i});
    }
    const auto each = static_cast<std::int64_t>(request.permutations + 1);
    const auto total = static_cast<std::int64_t>(persons + words.size()) * each;
    std::int64_t before = 0;
    const CellMatrix cells = CellMatrixOfRows(request, rows);
    for (std::size_t p = 0; p < persons; ++p, before += each) {
        const std::optional<PermutationCounts> counts = RunPermutationTest(
            cells, request.seed, request.permutations, threads, receiver, stop, p, before, total);
        if (!counts) return std::nullopt;
        influence.persons.push_back({p, std::nullopt, DiagonalPairs(cells, p), *counts});
    }
    for (const ListWord& word : words) {
        const CellMatrix without = CellMatrixOfRows(request, rows, &word);
        const std::optional<PermutationCounts> counts =
            RunPermutationTest(without, request.seed, request.permutations, threads, receiver, stop,
                               SIZE_MAX, before, total);
        before += each;
        if (!counts) return std::nullopt;
        influence.words.push_back({word.person, word, DiagonalPairs(without, SIZE_MAX), *counts});
    }
    SortByP2Shift(influence.persons, whole);
    SortByP2Shift(influence.words, whole);
    return influence;
}
