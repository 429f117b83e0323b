// Runs numbered work items on several threads: the items are handed out in order, a worker's
// exception reaches the caller, and a system that gives fewer threads than asked for (or none)
// gets the work done on those it gives and on the calling thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <thread>

// Told how far a run of work items has come, in units of work: called on the worker threads, one
// call at a time, after each item, with `done` rising to `total`. The one progress interface of
// every computation that runs work items.
class CWorkReceiver {
  public:
    virtual ~CWorkReceiver() = default;
    virtual void WorkDone(std::int64_t done, std::int64_t total) = 0;
};

struct WorkItemsOptions {
    // 0: one thread per core. The calling thread is one of them.
    unsigned threads = 0;
    // When set, no further item is started; the running ones are finished.
    const std::atomic<bool>* stop = nullptr;
    // Starts a helper thread running `body`, throwing std::system_error when the system cannot.
    // Empty: std::thread itself. (Tests put a system that runs out of threads here.)
    std::function<std::thread(std::function<void()>)> startThread;
    // Told after each item: `unitsBefore` (the units of earlier runs of one computation) plus the
    // units of the items done so far, of `unitsTotal` (0: unitsBefore + the items). An item is
    // `itemUnits(item)` units (empty: 1).
    CWorkReceiver* receiver = nullptr;
    std::int64_t unitsBefore = 0;
    std::int64_t unitsTotal = 0;
    std::function<std::int64_t(std::size_t item)> itemUnits;
};

// The threads RunWorkItems uses at most for `count` items: `threads` (0: one per core), at
// least 1 and at most `count`. Slots passed to `work` are below this.
unsigned WorkThreads(unsigned threads, std::size_t count);

// Runs work(item, slot) for item = 0, 1, ... count - 1, each once, on up to WorkThreads threads;
// `slot` numbers the thread (0 is the calling thread), so that state kept per slot is touched by
// one thread only. Returns when every thread has stopped, with the number of items done: items
// are started in order and every started item is finished, so the items done are always the
// first ones. The receiver is told after each item. When an item throws, no further item is started
// and the first exception is rethrown here once the other threads have finished theirs.
std::size_t RunWorkItems(std::size_t count, const WorkItemsOptions& options,
                         const std::function<void(std::size_t item, unsigned slot)>& work);
