#include "common/work_items.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <vector>

unsigned WorkThreads(unsigned threads, std::size_t count) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(
        std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(count, 1)));
}

std::size_t RunWorkItems(std::size_t count, const WorkItemsOptions& options,
                         const std::function<void(std::size_t item, unsigned slot)>& work) {
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::atomic<bool> failed{false};
    std::mutex failureLock;
    std::exception_ptr failure;
    std::mutex reportLock;
    std::int64_t unitsDone = options.unitsBefore;
    const std::int64_t unitsTotal = options.unitsTotal > 0
                                        ? options.unitsTotal
                                        : options.unitsBefore + static_cast<std::int64_t>(count);

    const auto worker = [&](unsigned slot) {
        for (;;) {
            if (failed.load() || (options.stop && options.stop->load())) return;
            const std::size_t item = next.fetch_add(1);
            if (item >= count) return;
            try {
                work(item, slot);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(failureLock);
                if (!failure) failure = std::current_exception();
                failed.store(true);
                return;
            }
            ++done;
            if (options.receiver) {
                const std::lock_guard<std::mutex> lock(reportLock);
                unitsDone += options.itemUnits ? options.itemUnits(item) : 1;
                options.receiver->WorkDone(unitsDone, unitsTotal);
            }
        }
    };

    const unsigned threads = WorkThreads(options.threads, count);
    std::vector<std::thread> pool;
    pool.reserve(threads - 1);
    for (unsigned slot = 1; slot < threads; ++slot) {
        try {
            std::function<void()> body = [&worker, slot] { worker(slot); };
            pool.push_back(options.startThread ? options.startThread(std::move(body))
                                               : std::thread(std::move(body)));
        } catch (const std::system_error&) {
            // The system gives no more threads: those there are (the calling one at least) share
            // the work.
            break;
        }
    }
    worker(0);
    for (std::thread& thread : pool)
        thread.join();
    if (failure) std::rethrow_exception(failure);
    return done.load();
}
