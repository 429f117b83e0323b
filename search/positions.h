// Where the letters of a find stand in the normalised text.
#pragma once

#include <cstdint>
#include <vector>

// One keyword's current find: its letters' text indexes in ascending order.
using LetterPositions = std::vector<std::int64_t>;

// One LetterPositions per keyword, in search order (longest keyword first).
using ResultPositions = std::vector<LetterPositions>;
