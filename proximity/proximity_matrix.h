// The corrected distances of a list of persons: every name of person i with every date of person
// j, for all i and j, computed on several threads with the same results for any thread count.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "common/work_items.h"
#include "proximity/proximity.h"
#include "proximity/proximity_statistics.h"

struct ProximityPerson {
    std::string id;
    std::vector<std::string> names;  // words in letter codes
    std::vector<std::string> dates;
};

// A word of the list that takes no part, and why (WordFitReason).
struct LeftOutWord {
    std::size_t person;
    bool isDate;
    std::size_t index;  // in names or dates
    std::string word;
    std::string reason;
};

// The names and dates of each person that fit the settings (indexes into the person's words).
struct FittingWords {
    std::vector<std::vector<std::uint32_t>> names, dates;
};

// What the matrix keeps of a pair.
struct PairSummary {
    std::int32_t skipLimit1 = 0, skipLimit2 = 0;
    std::int16_t validTriples = 0;
    std::int16_t rank = 0;
    bool defined = false;
    double c = 0;
    bool hasOmega = false;  // Omega of (0,0,0), set when (0,0,0) is in M
    double omega = 0;
};

struct ProximityMatrixOptions {
    // Rows (persons whose names are paired) [firstRow, lastRow); cut to the persons there are.
    std::size_t firstRow = 0;
    std::size_t lastRow = SIZE_MAX;
    // 0: one thread per core.
    unsigned threads = 0;
    // Told how far the matrix is: units are words whose families are found plus pairs.
    CWorkReceiver* receiver = nullptr;
    // Checked between pairs; when set, the computation ends early and Complete() is false.
    const std::atomic<bool>* stop = nullptr;
    // Keep the full PairResult (every triple's Omega) of the cells (i, i).
    bool keepDiagonalTriples = false;
};

class CProximityMatrix {
  public:
    // Empty until Compute.
    CProximityMatrix() = default;

    // Finds the families of every word needed (the names of the rows, the dates of everyone)
    // once, then every pair of the rows' cells. `settings` must pass CheckProximitySettings.
    void Compute(const CProximityText& text, const std::vector<ProximityPerson>& persons,
                 const ProximitySettings& settings, const ProximityMatrixOptions& options);

    // False after a stop: then some pairs are missing (their PairSummary is all zero).
    bool Complete() const { return complete_; }
    std::size_t Persons() const { return persons_; }
    std::size_t FirstRow() const { return firstRow_; }
    std::size_t LastRow() const { return lastRow_; }
    // How far a stopped computation came. Words are started and finished in order, and so are the
    // pairs (row by row, each row's cells in column order), so the ones done are the first.
    std::size_t Words() const { return words_; }
    std::size_t WordsDone() const { return wordsDone_; }
    std::size_t Pairs() const { return pairs_.size(); }
    std::size_t PairsDone() const { return pairsDone_; }
    // The rows from FirstRow() on whose every pair is done.
    std::size_t FinishedRows() const;
    // Every word of every person that takes no part, in the order of the list.
    const std::vector<LeftOutWord>& LeftOut() const { return leftOut_; }

    // Cell (row, column), firstRow <= row < lastRow: the names of `row` that fit paired with
    // the dates of `column` that fit, name-major (name 0 with every date, then name 1, ...).
    std::size_t CellSize(std::size_t row, std::size_t column) const;
    // Pair k of the cell: indexes into the person's own names and dates.
    struct PairIndex {
        std::uint32_t name, date;
    };
    PairIndex PairAt(std::size_t row, std::size_t column, std::size_t k) const;
    // The cell's CellSize() pairs.
    const PairSummary* Cell(std::size_t row, std::size_t column) const;
    // The full results of cell (row, row) in the cell's order, when kept; empty otherwise.
    const std::vector<PairResult>& DiagonalResults(std::size_t row) const;

  private:
    std::size_t CellIndex(std::size_t row, std::size_t column) const {
        return (row - firstRow_) * persons_ + column;
    }

    bool complete_ = false;
    std::size_t words_ = 0, wordsDone_ = 0, pairsDone_ = 0;
    std::size_t persons_ = 0;
    std::size_t firstRow_ = 0, lastRow_ = 0;
    std::vector<LeftOutWord> leftOut_;
    // Per person: the indexes of the names and dates that fit.
    FittingWords fit_;
    std::vector<std::size_t> cellStart_;  // into pairs_ by CellIndex, one more at the end
    std::vector<PairSummary> pairs_;
    std::vector<std::vector<PairResult>> diagonal_;  // by row - firstRow
};

FittingWords FitWords(const std::vector<ProximityPerson>& persons,
                      const ProximitySettings& settings);
// The words that do not fit, in the order of the list, with the reason.
std::vector<LeftOutWord> LeftOutWords(const std::vector<ProximityPerson>& persons,
                                      const ProximitySettings& settings);

// What a matrix will take before it is computed: its rows' persons, its cells (every name of a
// row with every date of every person), the distinct words whose families it finds, and an
// estimate of its processor time and of its peak memory. The figures per cell and per word are
// this program's own on the Koren Genesis (78,064 letters), scaled with the text's length.
struct MatrixEstimate {
    std::size_t persons = 0;
    std::uint64_t cells = 0;
    std::size_t words = 0;
    double processorSeconds = 0;
    double bytes = 0;
};
MatrixEstimate EstimateMatrix(std::int32_t textLength, const std::vector<ProximityPerson>& persons,
                              const ProximitySettings& settings, std::size_t firstRow,
                              std::size_t lastRow);
