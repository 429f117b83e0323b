// What the proximity tests share: the Koren Genesis in Hebrew letter codes, words in codes, and
// seeded random texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "proximity/proximity.h"
#include "proximity/proximity_run.h"

// samples/genesis-koren.txt read with the Hebrew alphabet, finals folded.
const CProximityText& KorenGenesis();
// The words of the Koren Genesis in codes, in the order of the text.
const std::vector<std::string>& KorenGenesisWords();
// A Hebrew word (UTF-8) in the codes of that alphabet.
std::string HebrewCodes(const std::string& word);
// A seeded text of `length` letters drawn uniformly from `letters`.
std::string RandomLetters(const std::string& letters, std::size_t length, std::uint64_t seed);
// The cell sums of a complete matrix of every row, as the tool makes them (RowsOf, then
// CellMatrixOfRows).
CellMatrix CellsOfMatrix(const CProximityMatrix& matrix,
                         const std::vector<ProximityPerson>& persons);
// The tool's permutation test, which must finish.
PermutationCounts PermutationTest(const CellMatrix& cells, std::uint64_t seed, std::uint64_t count,
                                  unsigned threads, std::size_t leftOut = SIZE_MAX);
