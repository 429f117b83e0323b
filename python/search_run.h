// Long work on behalf of Python: run without the interpreter lock, with Ctrl-C and a progress
// callable looked at between pieces of the work.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>

#include "common/work_items.h"
#include "search/result_sink.h"
#include "search/search_settings.h"
#include "search/text_input.h"

// Called without the lock, between pieces of work: takes the lock, runs the signal handlers
// (Ctrl-C raises KeyboardInterrupt there) and the progress callable. Once either raised, every
// later call answers false and Rethrow raises what they raised.
class CPythonProgress {
  public:
    explicit CPythonProgress(pybind11::object callable) : callable_(std::move(callable)) {}

    // False: stop the work.
    bool Report(std::int64_t done, std::int64_t total);
    // With the lock held: raises what a signal handler or the callable raised, if any.
    void Rethrow();

  private:
    pybind11::object callable_;
    std::optional<pybind11::error_already_set> error_;
};

// One result as the search reported it.
struct FoundResult {
    std::int32_t first;
    std::int32_t last;
    std::int32_t columns;
    ResultPositions positions;  // per keyword of the search order, its letters in keyword order
};

// Collects every result; its progress goes to a CPythonProgress.
class CCollectingSink : public CResultSink {
  public:
    explicit CCollectingSink(CPythonProgress& progress) : progress_(progress) {}

    bool AddResult(const char* text, std::int32_t first, std::int32_t last, std::int32_t columns,
                   const ResultPositions& positions) override;
    bool Progress(std::int32_t position, std::int32_t total) override;

    std::vector<FoundResult>& Results() { return results_; }

  private:
    CPythonProgress& progress_;
    std::vector<FoundResult> results_;
};

// Every sequence of `word` (upper case, in the text's codes) with minSkip <= |skip| <= maxSkip,
// as (start, skip) pairs, start ascending, then skip ascending; negative skips only when
// `reverse`. Called without the lock; false when `progress` said stop.
bool ListSequences(const std::string& text, const std::string& word, std::int32_t minSkip,
                   std::int32_t maxSkip, bool reverse, CPythonProgress& progress,
                   std::vector<std::int32_t>& rows);

// Runs `work` on a thread of its own while the calling thread, without the lock, looks at the
// progress `work` reports to its receiver every 50 ms: Ctrl-C or a progress callable that raises
// sets the stop flag `work` is given, and what they raised is raised once `work` has returned.
// An exception of `work` is rethrown here.
void RunWatched(
    CPythonProgress& progress,
    const std::function<void(CWorkReceiver& receiver, const std::atomic<bool>& stop)>& work);
