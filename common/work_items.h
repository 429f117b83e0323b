// Runs numbered work items on several threads: the items are handed out in order, a worker's
// exception reaches the caller, and a system that gives fewer threads than asked for (or none)
// gets the work done on those it gives and on the calling thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>

struct WorkItemsOptions {
    // 0: one thread per core. The calling thread is one of them.
    unsigned threads = 0;
    // When set, no further item is started; the running ones are finished.
    const std::atomic<bool>* stop = nullptr;
    // Starts a helper thread running `body`, throwing std::system_error when the system cannot.
    // Empty: std::thread itself. (Tests put a system that runs out of threads here.)
    std::function<std::thread(std::function<void()>)> startThread;
};

// The threads RunWorkItems uses at most for `count` items: `threads` (0: one per core), at
// least 1 and at most `count`. Slots passed to `work` are below this.
unsigned WorkThreads(unsigned threads, std::size_t count);

// Runs work(item, slot) for item = 0, 1, ... count - 1, each once, on up to WorkThreads threads;
// `slot` numbers the thread (0 is the calling thread), so that state kept per slot is touched by
// one thread only. Returns when every thread has stopped, with the number of items done: items
// are started in order and every started item is finished, so the items done are always the
// first ones. When an item throws, no further item is started and the first exception is
// rethrown here once the other threads have finished theirs.
std::size_t RunWorkItems(std::size_t count, const WorkItemsOptions& options,
                         const std::function<void(std::size_t item, unsigned slot)>& work);
