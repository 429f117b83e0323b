// How much memory the machine has, so that a search can size what it builds to fit.
#pragma once

#include <cstdint>

// The machine's physical memory in bytes; 0 when the system cannot say.
std::uint64_t PhysicalMemoryBytes();
