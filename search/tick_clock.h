// A monotonic millisecond counter, injectable so that tests can drive time.
#pragma once

#include <cstdint>

class CTickClock {
  public:
    virtual ~CTickClock() = default;
    // Milliseconds since an arbitrary start; wraps around like a 32-bit tick counter.
    virtual std::uint32_t Milliseconds() = 0;
};

// The process's monotonic clock (std::chrono::steady_clock).
CTickClock& SystemTickClock();
