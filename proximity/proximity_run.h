// One proximity run as its outputs see it: what was asked, the c matrix rows it computed, and
// the statistics and permutation test of a whole list. The single run, a shard and the merge of
// shards all fill this, so that all three print alike.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/work_items.h"
#include "proximity/proximity.h"
#include "proximity/proximity_control_text.h"
#include "proximity/proximity_matrix.h"
#include "proximity/proximity_statistics.h"
#include "text/alphabet.h"

constexpr std::uint64_t kDefaultPermutations = 999999;

struct ProximityRequest {
    std::string document;        // as the user named it
    std::string documentDigest;  // SHA-256 of its bytes (shards and merge only)
    std::int32_t letters = 0;
    AlphabetName alphabet = AlphabetName::Latin;
    bool keepFinals = false;
    bool ignoreNumbers = false;  // the document's digits are no letters
    ProximitySettings settings;
    std::optional<ControlTextKind> controlText;
    std::uint64_t seed = 0;
    bool fromList = false;  // a list (statistics and permutations) rather than one pair
    std::uint64_t permutations = kDefaultPermutations;
    bool triples = false;  // every triple's Omega of each pair of the list
    // Words in the alphabet's letter codes. One pair is one person without an ID.
    std::vector<ProximityPerson> persons;
};

// Ω_t of every triple, by TripleIndex; no value for a triple outside M.
using TripleOmegas = std::array<std::optional<double>, kTripleCount>;

// Rows [firstRow, lastRow) of the c matrix: for each row and each column the pairs of the names
// of `row` that fit with the dates of `column` that fit, name-major.
struct ProximityRows {
    std::size_t firstRow = 0, lastRow = 0;
    std::vector<std::vector<PairSummary>> cells;  // (row - firstRow) * persons + column
    // With triples: those of cell (row, row), by row - firstRow, in the cell's order.
    std::vector<std::vector<TripleOmegas>> diagonalTriples;
};

// What the matrix computed of its rows.
ProximityRows RowsOf(const CProximityMatrix& matrix, bool triples);

// A pair of the list: the name `name` of person `person` with its date `date`.
struct ListedPair {
    std::size_t person;
    std::uint32_t name, date;
    const PairSummary* summary;
    const TripleOmegas* triples;  // null without triples
};
// The pairs of the list, person by person, name-major, from rows that hold every person.
std::vector<ListedPair> ListedPairs(const ProximityRequest& request, const ProximityRows& rows);

// A word of the list taken out: the name or date `index` of person `person`.
struct ListWord {
    std::size_t person;
    bool isDate;
    std::uint32_t index;
};
// The cell sums of rows that hold every person; without the pairs of `without` when given.
CellMatrix CellMatrixOfRows(const ProximityRequest& request, const ProximityRows& rows,
                            const ListWord* without = nullptr);
// The statistics of the list (its diagonal cells).
ProximityStatistics ListStatistics(const CellMatrix& cells);

// The permutation test: permutations 0..count (count + 1 in all, the identity included), in
// blocks on `threads` threads (0: one per core), with progress; rank = the counts, p = rank /
// (count + 1). The counts do not depend on the threads. With `leftOut` (a person), the test of
// the list without that person. Progress is told in permutations, after `unitsBefore` of
// `unitsTotal` (0: this test's). No value when `stop` turned true before the end.
std::optional<PermutationCounts> RunPermutationTest(
    const CellMatrix& cells, std::uint64_t seed, std::uint64_t count, unsigned threads,
    CWorkReceiver* receiver, const std::atomic<bool>* stop, std::size_t leftOut = SIZE_MAX,
    std::int64_t unitsBefore = 0, std::int64_t unitsTotal = 0);

// The permutation test of the list with one person, or one word, left out.
struct InfluenceRow {
    std::size_t person;
    std::optional<ListWord> word;  // none: the whole person
    std::int64_t pairs = 0;        // N of the list without it
    PermutationCounts counts;
};
// Every person and every word that takes part, left out one at a time, each row sorted by how
// far its P2 rank lies from the whole list's (`whole`), the farthest first, and in the order of
// the list where that is equal. The c matrix is not computed again: a word's pairs are taken out
// of the cells.
struct ProximityInfluence {
    std::vector<InfluenceRow> persons, words;
};
std::optional<ProximityInfluence> RunInfluence(const ProximityRequest& request,
                                               const ProximityRows& rows,
                                               const PermutationCounts& whole, unsigned threads,
                                               CWorkReceiver* receiver,
                                               const std::atomic<bool>* stop);

// The whole outcome of a complete run of every row.
struct ProximityOutcome {
    ProximityRequest request;
    ProximityRows rows;
    std::vector<LeftOutWord> leftOut;
    std::optional<ProximityStatistics> statistics;  // lists only
    std::optional<PermutationCounts> permutations;  // lists only
    std::optional<ProximityInfluence> influence;    // with --influence
    // The version of the program that made the outputs and the day it did (YYYY-MM-DD, UTC).
    std::string version, date;
};
