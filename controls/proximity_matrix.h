// The corrected distances of a list of persons: every name of person i with every date of person
// j, for all i and j, computed on several threads with the same results for any thread count.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "controls/proximity.h"

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

// Told how far the matrix is: units are words whose families are found plus pairs. Called on
// the worker threads, one call at a time, with `done` rising.
class CProximityReceiver {
  public:
    virtual ~CProximityReceiver() = default;
    virtual void ProximityDone(std::int64_t done, std::int64_t total) = 0;
};

struct ProximityMatrixOptions {
    // Rows (persons whose names are paired) [firstRow, lastRow); lastRow < 0 means all.
    std::int64_t firstRow = 0;
    std::int64_t lastRow = -1;
    // 0: one thread per core.
    unsigned threads = 0;
    CProximityReceiver* receiver = nullptr;
    // Checked between pairs; when set, the computation ends early and Complete() is false.
    const std::atomic<bool>* stop = nullptr;
    // Keep the full PairResult (every triple's Omega) of the cells (i, i).
    bool keepDiagonalTriples = false;
};

class CProximityMatrix {
  public:
    // Empty until Compute.
    CProximityMatrix() = default;

    void Compute(const CProximityText& text, const std::vector<ProximityPerson>& persons,
                 const ProximitySettings& settings, const ProximityMatrixOptions& options);

    bool Complete() const { return complete_; }
    std::size_t Persons() const { return persons_; }
    std::int64_t FirstRow() const { return firstRow_; }
    std::int64_t LastRow() const { return lastRow_; }
    const std::vector<LeftOutWord>& LeftOut() const { return leftOut_; }

    // Cell (row, column): the pairs of the names of `row` that fit with the dates of `column`
    // that fit, name-major (name 0 with every date, then name 1, ...), indexes as in the
    // person's own lists (left-out words skipped). firstRow <= row < lastRow.
    struct PairIndex {
        std::uint32_t name, date;
    };
    const std::vector<PairIndex>& CellPairs(std::size_t row, std::size_t column) const;
    const PairSummary* Cell(std::size_t row, std::size_t column) const;
    // The full results of cell (i, i), when kept; empty otherwise.
    const std::vector<PairResult>& DiagonalResults(std::size_t row) const;

  private:
    bool complete_ = false;
    std::size_t persons_ = 0;
    std::int64_t firstRow_ = 0, lastRow_ = 0;
    std::vector<LeftOutWord> leftOut_;
    // Per person: the indexes of the names and dates that fit.
    std::vector<std::vector<std::uint32_t>> names_, dates_;
    std::vector<std::vector<PairIndex>> cellPairs_;  // (row - firstRow) * persons + column
    std::vector<std::size_t> cellStart_;             // into pairs_, same indexing, + 1 at end
    std::vector<PairSummary> pairs_;
    std::vector<std::vector<PairResult>> diagonal_;
};
