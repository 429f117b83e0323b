// Peak heap of a benchmark program: with peak_heap.cpp linked in, every allocation of the
// program goes through a counting operator new, its size stored in front of the block.
#pragma once

#include <atomic>
#include <cstdint>

// Bytes the program holds now, and the most it has held since a caller last set heapPeak.
extern std::atomic<std::int64_t> heapNow;
extern std::atomic<std::int64_t> heapPeak;
