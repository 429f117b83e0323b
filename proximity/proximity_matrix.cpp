#include "proximity/proximity_matrix.h"

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>

#include "common/work_items.h"

namespace {

PairSummary Summarise(const PairResult& result) {
    PairSummary summary;
    summary.skipLimit1 = result.skipLimit1;
    summary.skipLimit2 = result.skipLimit2;
    summary.validTriples = static_cast<std::int16_t>(result.validTriples);
    summary.rank = static_cast<std::int16_t>(result.rank);
    summary.defined = result.defined;
    summary.c = result.c;
    const auto& identity = result.omega[kIdentityTriple];
    summary.hasOmega = identity.has_value();
    summary.omega = identity.value_or(0.0);
    return summary;
}

// The distinct words the matrix needs, each with the place of its families.
class CWordTable {
  public:
    std::uint32_t Add(const std::string& word) {
        const auto [found, added] = index_.emplace(word, static_cast<std::uint32_t>(words_.size()));
        if (added) words_.push_back(word);
        return found->second;
    }
    const std::vector<std::string>& Words() const { return words_; }

  private:
    std::map<std::string, std::uint32_t> index_;
    std::vector<std::string> words_;
};

}  // namespace

void CProximityMatrix::Compute(const CProximityText& text,
                               const std::vector<ProximityPerson>& persons,
                               const ProximitySettings& settings,
                               const ProximityMatrixOptions& options) {
    *this = CProximityMatrix();
    persons_ = persons.size();
    lastRow_ = std::min(options.lastRow, persons_);
    firstRow_ = std::min(options.firstRow, lastRow_);
    fit_ = FitWords(persons, settings);
    leftOut_ = LeftOutWords(persons, settings);
    const auto& names = fit_.names;
    const auto& dates = fit_.dates;

    // Word numbers of the names of the rows and the dates of everyone.
    CWordTable table;
    std::vector<std::vector<std::uint32_t>> nameWords(persons_), dateWords(persons_);
    for (std::size_t p = firstRow_; p < lastRow_; ++p) {
        for (const std::uint32_t i : names[p])
            nameWords[p].push_back(table.Add(persons[p].names[i]));
    }
    for (std::size_t p = 0; p < persons_; ++p) {
        for (const std::uint32_t i : dates[p])
            dateWords[p].push_back(table.Add(persons[p].dates[i]));
    }

    const std::size_t rows = lastRow_ - firstRow_;
    cellStart_.assign(rows * persons_ + 1, 0);
    for (std::size_t row = firstRow_; row < lastRow_; ++row) {
        for (std::size_t column = 0; column < persons_; ++column) {
            const std::size_t cell = CellIndex(row, column);
            cellStart_[cell + 1] = cellStart_[cell] + names[row].size() * dates[column].size();
        }
    }
    pairs_.assign(cellStart_.back(), PairSummary{});
    diagonal_.resize(rows);
    if (options.keepDiagonalTriples) {
        for (std::size_t row = firstRow_; row < lastRow_; ++row)
            diagonal_[row - firstRow_].resize(CellSize(row, row));
    }

    const std::vector<std::string>& words = table.Words();
    words_ = words.size();
    // Both stages report to the receiver as one: the words' families, then the pairs. Which
    // thread does which index never changes a result: each index writes its own place.
    WorkItemsOptions work;
    work.threads = options.threads;
    work.stop = options.stop;
    work.receiver = options.receiver;
    work.unitsTotal = static_cast<std::int64_t>(words.size() + pairs_.size());
    std::vector<WordFamilies> families(words.size());
    wordsDone_ = RunWorkItems(words.size(), work, [&](std::size_t w, unsigned) {
        families[w] = FindFamilies(text, words[w], settings);
    });
    if (wordsDone_ < words.size()) return;

    // Pair number -> cell: the cells in order, found by binary search on cellStart_.
    work.unitsBefore = static_cast<std::int64_t>(words.size());
    pairsDone_ = RunWorkItems(pairs_.size(), work, [&](std::size_t pair, unsigned) {
        const std::size_t cell = static_cast<std::size_t>(
            std::upper_bound(cellStart_.begin(), cellStart_.end(), pair) - cellStart_.begin() - 1);
        const std::size_t row = firstRow_ + cell / persons_, column = cell % persons_;
        const std::size_t k = pair - cellStart_[cell];
        const std::size_t dateCount = dates[column].size();
        const WordFamilies& first = families[nameWords[row][k / dateCount]];
        const WordFamilies& second = families[dateWords[column][k % dateCount]];
        const PairResult result = CorrectedDistance(text, first, second, settings);
        pairs_[pair] = Summarise(result);
        if (options.keepDiagonalTriples && row == column) diagonal_[row - firstRow_][k] = result;
    });
    complete_ = pairsDone_ == pairs_.size();
}

std::size_t CProximityMatrix::FinishedRows() const {
    if (wordsDone_ < words_) return 0;
    std::size_t finished = 0;
    while (firstRow_ + finished < lastRow_ &&
           cellStart_[CellIndex(firstRow_ + finished + 1, 0)] <= pairsDone_)
        ++finished;
    return finished;
}

std::size_t CProximityMatrix::CellSize(std::size_t row, std::size_t column) const {
    return fit_.names[row].size() * fit_.dates[column].size();
}

CProximityMatrix::PairIndex CProximityMatrix::PairAt(std::size_t row, std::size_t column,
                                                     std::size_t k) const {
    const std::size_t dateCount = fit_.dates[column].size();
    return {fit_.names[row][k / dateCount], fit_.dates[column][k % dateCount]};
}

const PairSummary* CProximityMatrix::Cell(std::size_t row, std::size_t column) const {
    return pairs_.data() + cellStart_[CellIndex(row, column)];
}

const std::vector<PairResult>& CProximityMatrix::DiagonalResults(std::size_t row) const {
    return diagonal_[row - firstRow_];
}

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

MatrixEstimate EstimateMatrix(std::int32_t textLength, const std::vector<ProximityPerson>& persons,
                              const ProximitySettings& settings, std::size_t firstRow,
                              std::size_t lastRow) {
    // Measured on the Koren Genesis: 2.1 ms of processor time a cell with the second published
    // list (8,568 cells of words that fit, 170 words), 5.0 ms with 100 persons of one name and
    // one date drawn from the text's words; a word's families about 150 KB.
    constexpr double kSecondsPerCell = 4e-3;
    constexpr double kFamilyBytes = 150e3;
    constexpr double kKorenLetters = 78064;
    const FittingWords fit = FitWords(persons, settings);
    lastRow = std::min(lastRow, persons.size());
    firstRow = std::min(firstRow, lastRow);
    MatrixEstimate estimate;
    estimate.persons = lastRow - firstRow;
    std::uint64_t names = 0, dates = 0;
    CWordTable table;
    for (std::size_t p = 0; p < persons.size(); ++p) {
        for (const std::uint32_t i : fit.dates[p])
            table.Add(persons[p].dates[i]);
        dates += fit.dates[p].size();
        if (p < firstRow || p >= lastRow) continue;
        for (const std::uint32_t i : fit.names[p])
            table.Add(persons[p].names[i]);
        names += fit.names[p].size();
    }
    estimate.cells = names * dates;
    estimate.words = table.Words().size();
    const double scale = double(textLength) / kKorenLetters;
    estimate.processorSeconds = double(estimate.cells) * kSecondsPerCell * scale;
    // The matrix and its copy for the outputs, the cells' lists and sums, the families and the
    // text's letter positions.
    const double cellLists = double(estimate.persons) * double(persons.size());
    estimate.bytes = double(estimate.cells) * 2.0 * sizeof(PairSummary) +
                     cellLists * (sizeof(std::vector<PairSummary>) + sizeof(CellSums) + 16.0) +
                     double(estimate.words) * kFamilyBytes * scale + 5.0 * double(textLength);
    return estimate;
}
