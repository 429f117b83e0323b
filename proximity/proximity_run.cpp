#include "proximity/proximity_run.h"

#include <algorithm>
#include <mutex>

#include "common/work_items.h"

namespace {

// Permutations counted between two looks at the stop flag and two progress reports.
constexpr std::uint64_t kPermutationBlock = 16384;

}  // namespace

FittingWords FitWords(const std::vector<ProximityPerson>& persons,
                      const ProximitySettings& settings) {
    FittingWords fit;
    fit.names.resize(persons.size());
    fit.dates.resize(persons.size());
    for (std::size_t p = 0; p < persons.size(); ++p) {
        for (std::size_t i = 0; i < persons[p].names.size(); ++i) {
            if (CheckWord(persons[p].names[i], settings) == WordFit::Fits)
                fit.names[p].push_back(static_cast<std::uint32_t>(i));
        }
        for (std::size_t i = 0; i < persons[p].dates.size(); ++i) {
            if (CheckWord(persons[p].dates[i], settings) == WordFit::Fits)
                fit.dates[p].push_back(static_cast<std::uint32_t>(i));
        }
    }
    return fit;
}

std::vector<LeftOutWord> LeftOutWords(const std::vector<ProximityPerson>& persons,
                                      const ProximitySettings& settings) {
    std::vector<LeftOutWord> leftOut;
    for (std::size_t p = 0; p < persons.size(); ++p) {
        const auto sort = [&](const std::vector<std::string>& words, bool isDate) {
            for (std::size_t i = 0; i < words.size(); ++i) {
                if (CheckWord(words[i], settings) != WordFit::Fits)
                    leftOut.push_back({p, isDate, i, words[i], WordFitReason(words[i], settings)});
            }
        };
        sort(persons[p].names, false);
        sort(persons[p].dates, true);
    }
    return leftOut;
}

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

CellMatrix CellMatrixOfRows(const ProximityRequest& request, const ProximityRows& rows) {
    CellMatrix cells;
    cells.persons = request.persons.size();
    cells.cells.reserve(rows.cells.size());
    std::vector<int> ranks, triples;
    for (const std::vector<PairSummary>& cell : rows.cells) {
        ranks.clear();
        triples.clear();
        for (const PairSummary& pair : cell) {
            if (!pair.defined) continue;
            ranks.push_back(pair.rank);
            triples.push_back(pair.validTriples);
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
                                                    const std::atomic<bool>* stop) {
    const std::uint64_t total = count + 1;  // the identity is permutation 0
    const std::uint64_t blocks = (total + kPermutationBlock - 1) / kPermutationBlock;
    std::vector<PermutationCounts> parts(blocks);
    WorkItemsOptions options;
    options.threads = threads;
    options.stop = stop;
    // Told in permutations: a block is kPermutationBlock of them, the last one the rest.
    options.receiver = receiver;
    options.unitsTotal = static_cast<std::int64_t>(total);
    options.itemUnits = [&](std::size_t block) {
        return static_cast<std::int64_t>(std::min(total, (block + 1) * kPermutationBlock) -
                                         block * kPermutationBlock);
    };
    const std::size_t blocksDone = RunWorkItems(blocks, options, [&](std::size_t block, unsigned) {
        const std::uint64_t first = block * kPermutationBlock;
        const std::uint64_t last = std::min(total, first + kPermutationBlock);
        parts[block] = CountPermutations(cells, seed, first, last);
    });
    if (blocksDone < blocks) return std::nullopt;
    PermutationCounts counts;
    for (const PermutationCounts& part : parts)
        counts += part;
    return counts;
}
