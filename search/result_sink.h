// The receiver of a search's events.
#pragma once

#include <cstdint>
#include <string>

#include "search/positions.h"

// The search calls, in this order: Begin once; Progress and AddResult interleaved; at most one
// End. Every operation answers whether the search may go on. The defaults accept and discard
// everything, so the base class is a sink that does nothing.
class CResultSink {
  public:
    virtual ~CResultSink() = default;

    // Called once before anything else. False stops the search at once; nothing else is called.
    // A sink that fails leaves in errorText what the user is to see, or empties it when the user
    // has already been told.
    virtual bool Begin(std::string& errorText) { return (void)errorText, true; }

    // One result. `positions` and `text` may be read only during the call. False stops the
    // search at once: End is not called and no Progress follows.
    virtual bool AddResult(const char* text, std::int32_t first, std::int32_t last,
                           std::int32_t columns, const ResultPositions& positions) {
        return (void)text, (void)first, (void)last, (void)columns, (void)positions, true;
    }

    // The search ended (canceled: a Progress answered false). Its answer is the search's outcome.
    virtual bool End(bool canceled) { return (void)canceled, true; }

    // At most once per more than 20 ms, and once more as (total, total) at the end. `position` is
    // the first-letter index of the longest keyword now tried. False asks the search to cancel:
    // End(true) follows.
    virtual bool Progress(std::int32_t position, std::int32_t total) {
        return (void)position, (void)total, true;
    }
};
