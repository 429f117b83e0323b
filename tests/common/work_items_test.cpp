// Numbered work items on several threads: each item once whatever the threads, a worker's
// exception in the caller once every thread has stopped, threads the system will not give, and a
// stop that keeps the items done the first ones.
#include "common/work_items.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

namespace {

// Item i leaves i * i + 1 in its place.
std::vector<long> Squares(std::size_t count, const WorkItemsOptions& options, std::size_t& done) {
    std::vector<long> values(count);
    const unsigned slots = WorkThreads(options.threads, count);
    done = RunWorkItems(count, options, [&](std::size_t item, unsigned slot) {
        if (slot >= slots) throw std::logic_error("slot out of range");
        values[item] += static_cast<long>(item * item + 1);
    });
    return values;
}

TEST(WorkItems, EveryItemIsDoneOnceForAnyThreads) {
    std::vector<long> first;
    for (const unsigned threads : {1u, 2u, 3u}) {
        SCOPED_TRACE(threads);
        WorkItemsOptions options;
        options.threads = threads;
        std::size_t done = 0;
        const std::vector<long> values = Squares(500, options, done);
        EXPECT_EQ(done, 500u);
        for (std::size_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(values[i], static_cast<long>(i * i + 1)) << i;
        if (first.empty()) first = values;
        EXPECT_EQ(values, first);
    }
    EXPECT_EQ(WorkThreads(3, 2), 2u);
    EXPECT_EQ(WorkThreads(3, 0), 1u);
    EXPECT_GE(WorkThreads(0, 100), 1u);
}

TEST(WorkItems, AWorkersExceptionReachesTheCallerAfterEveryThreadStopped) {
    for (const unsigned threads : {1u, 2u, 3u}) {
        SCOPED_TRACE(threads);
        std::atomic<int> running{0};
        std::atomic<int> started{0}, finished{0};
        std::atomic<std::size_t> highest{0};
        WorkItemsOptions options;
        options.threads = threads;
        try {
            RunWorkItems(1000, options, [&](std::size_t item, unsigned) {
                ++running;
                ++started;
                std::size_t seen = highest.load();
                while (item > seen && !highest.compare_exchange_weak(seen, item)) {
                }
                if (item == 7) {
                    --running;
                    throw std::runtime_error("item 7 failed");
                }
                --running;
                ++finished;
            });
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "item 7 failed");
            // Nothing runs any more, and every item that started (but the one that threw) ended.
            EXPECT_EQ(running.load(), 0);
            EXPECT_EQ(finished.load() + 1, started.load());
        }
        // Alone, the thread stops at the item that failed.
        if (threads == 1) {
            EXPECT_EQ(highest.load(), 7u);
        }
    }
}

TEST(WorkItems, ThreadsTheSystemWillNotGiveLeaveTheWorkToTheOthers) {
    for (const int given : {0, 1, 2}) {
        SCOPED_TRACE(given);
        int asked = 0;
        WorkItemsOptions options;
        options.threads = 4;
        options.startThread = [&](std::function<void()> body) {
            if (asked++ >= given)
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::thread(std::move(body));
        };
        std::atomic<unsigned> highestSlot{0};
        std::vector<long> values(300);
        const std::size_t done = RunWorkItems(300, options, [&](std::size_t item, unsigned slot) {
            values[item] = static_cast<long>(item) + 1;
            unsigned seen = highestSlot.load();
            while (slot > seen && !highestSlot.compare_exchange_weak(seen, slot)) {
            }
        });
        EXPECT_EQ(done, 300u);
        for (std::size_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(values[i], static_cast<long>(i) + 1) << i;
        EXPECT_EQ(asked, given + 1);  // it stops asking at the first refusal
        // The calling thread is slot 0; the threads given are the next ones.
        EXPECT_LE(highestSlot.load(), static_cast<unsigned>(given));
    }
}

TEST(WorkItems, AStopKeepsTheItemsDoneTheFirstOnes) {
    for (const unsigned threads : {1u, 2u, 3u}) {
        SCOPED_TRACE(threads);
        std::atomic<bool> stop{false};
        std::vector<char> done(1000, 0);
        WorkItemsOptions options;
        options.threads = threads;
        options.stop = &stop;
        const std::size_t count = RunWorkItems(1000, options, [&](std::size_t item, unsigned) {
            done[item] = 1;
            if (item == 9) stop = true;
        });
        EXPECT_GE(count, 10u);
        EXPECT_LE(count, 9u + threads);
        for (std::size_t i = 0; i < done.size(); ++i)
            ASSERT_EQ(done[i], i < count ? 1 : 0) << i;
    }
}

// Records every report; asks for a stop once `stopAt` units are done (0: never).
class CUnitRecorder : public CWorkReceiver {
  public:
    explicit CUnitRecorder(std::atomic<bool>* stop = nullptr, std::int64_t stopAt = 0)
        : stop_(stop), stopAt_(stopAt) {}
    void WorkDone(std::int64_t done, std::int64_t total) override {
        reports.push_back({done, total});
        if (stop_ && done >= stopAt_) *stop_ = true;
    }
    std::vector<std::pair<std::int64_t, std::int64_t>> reports;

  private:
    std::atomic<bool>* stop_;
    std::int64_t stopAt_;
};

// The receiver is told after every item, one call at a time, in units rising to the total: items
// of one unit, items of several, and a second run that goes on from the first one's units.
TEST(WorkItems, TheReceiverIsToldEveryItemsUnits) {
    for (const unsigned threads : {1u, 3u}) {
        SCOPED_TRACE(threads);
        CUnitRecorder plain;
        WorkItemsOptions options;
        options.threads = threads;
        options.receiver = &plain;
        std::size_t done = 0;
        Squares(40, options, done);
        ASSERT_EQ(plain.reports.size(), 40u);
        for (std::size_t i = 0; i < 40; ++i)
            EXPECT_EQ(plain.reports[i], std::make_pair(std::int64_t(i + 1), std::int64_t{40}));

        // Item i is i + 1 units after 100 units of an earlier stage, of 1000 in all.
        CUnitRecorder weighted;
        options.receiver = &weighted;
        options.unitsBefore = 100;
        options.unitsTotal = 1000;
        options.itemUnits = [](std::size_t item) { return static_cast<std::int64_t>(item + 1); };
        Squares(10, options, done);
        ASSERT_EQ(weighted.reports.size(), 10u);
        std::int64_t last = 100;
        for (const auto& [units, total] : weighted.reports) {
            EXPECT_GT(units, last);
            EXPECT_EQ(total, 1000);
            last = units;
        }
        EXPECT_EQ(last, 100 + 55);
    }
    // A stop asked by the receiver: the items started are finished and told.
    std::atomic<bool> stop{false};
    CUnitRecorder stopping(&stop, 5);
    WorkItemsOptions options;
    options.threads = 1;
    options.stop = &stop;
    options.receiver = &stopping;
    std::size_t done = 0;
    Squares(40, options, done);
    EXPECT_EQ(done, 5u);
    EXPECT_EQ(stopping.reports.back(), std::make_pair(std::int64_t{5}, std::int64_t{40}));
}

}  // namespace
