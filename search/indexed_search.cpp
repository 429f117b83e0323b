// The indexed engine. It visits the same finds in the same order as the literal search and so
// makes the same sink calls; what differs is how a keyword's finds are found. The literal search
// tries every skip at every position whose first letter matches; here an index of where each
// letter stands gives the positions of a keyword's first letter, and bitmaps of the text taken
// with strides 1, 2, 3 ... test 64 skips at a time for the next letters (FindScanner); the
// column width of a single-keyword result is remembered per skip (ColumnWidthChooser).
//
// The index's size is known before it is built. It must fit a budget: when the full index does
// not, one with bitmaps for fewer letters is built, and when none fits the literal loop does the
// work, which needs next to nothing. On Linux an allocation too large for the machine often
// "succeeds" and the process is killed later, so std::bad_alloc cannot be the plan.
//
// The results of one find of keyword 0 depend on nothing else, so the range of keyword 0's first
// letter is cut into slices, dealt out in turn to the search's threads (one per core unless the
// caller says otherwise): the calling thread searches every n-th slice itself, and each worker's
// results wait in a bounded queue of its own until the calling thread hands them to the sink, in
// slice order, between its own slices.

#include "search/indexed_search.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/physical_memory.h"
#include "search/column_width.h"
#include "search/find_scanner.h"
#include "search/find_sequences.h"
#include "search/keyword_cursor.h"
#include "search/literal_search.h"
#include "search/result_queue.h"

namespace {

constexpr std::uint32_t kProgressIntervalMs = 20;

// The most threads one search takes, and the most memory its workers' own state may take.
constexpr std::int32_t kMaxSearchThreads = 64;
constexpr std::int64_t kWorkerStateBytes = std::int64_t{8} << 20;

// Positions and chunks of 64 skips that a scanner tries without a find before the loop looks at
// the clock again: a few hundred microseconds of work at most, so a cancel is noticed promptly.
constexpr std::int32_t kScanWorkLimit = 1 << 16;

// What a slice search reports to: the calling thread's sink or the worker's queue.
class SliceReceiver {
  public:
    virtual ~SliceReceiver() = default;
    // At the start of every step of the loop; false stops the slice.
    virtual bool Step(std::int32_t position) = 0;
    // A result; false stops the slice.
    virtual bool Result(std::int32_t position, const ResultGrid& grid,
                        const ResultPositions& positions) = 0;
};

// One thread's search state: a scanner, a find and running bounds per keyword, and the width
// chooser, all made before the search loop.
class SliceSearch {
  public:
    SliceSearch(const char* text, std::int32_t textLength, const KeywordList& order,
                const LetterIndex& index, const SearchSettings& settings)
        : text_(text),
          textLength_(textLength),
          settings_(settings),
          positions_(order.size()),
          lowest_(order.size()),
          highest_(order.size()),
          widths_(order, textLength, settings) {
        scanners_.reserve(order.size());
        for (std::size_t k = 0; k < order.size(); ++k) {
            scanners_.emplace_back(text, order[k], index, settings);
            positions_[k].assign(order[k].size(), 0);
        }
    }

    // Every result whose keyword 0 has its first letter in from..to, in search order. False
    // when the receiver stopped it.
    bool Run(std::int32_t from, std::int32_t to, SliceReceiver& receiver) {
        if (!scanners_[0].Reset(0, textLength_ - 1)) return true;
        scanners_[0].KeepPositions(from, to);
        const int count = static_cast<int>(scanners_.size());
        int v = 0;
        while (v >= 0) {
            if (!receiver.Step(scanners_[0].Position())) return false;
            const ScanStep step = scanners_[v].Next(positions_[v], kScanWorkLimit);
            if (step == ScanStep::Paused) continue;
            if (step == ScanStep::Exhausted) {
                --v;  // the previous keyword moves on to its next find
                continue;
            }
            lowest_[v] = positions_[v].front();
            highest_[v] = positions_[v].back();
            if (v > 0) {
                lowest_[v] = std::min(lowest_[v], lowest_[v - 1]);
                highest_[v] = std::max(highest_[v], highest_[v - 1]);
            }
            if (v + 1 < count) {
                // Every later letter lies within MaxResultLength of every letter so far.
                const std::int64_t start =
                    std::max<std::int64_t>(highest_[v] - settings_.MaxResultLength, 0);
                const std::int64_t end =
                    std::min<std::int64_t>(lowest_[v] + settings_.MaxResultLength, textLength_ - 1);
                if (start <= end && scanners_[v + 1].Reset(static_cast<std::int32_t>(start),
                                                           static_cast<std::int32_t>(end)))
                    ++v;
                continue;
            }
            ResultGrid grid;
            if (widths_.Choose(positions_, lowest_[v], highest_[v], grid) &&
                !receiver.Result(scanners_[0].Position(), grid, positions_))
                return false;
        }
        return true;
    }

  private:
    const char* text_;
    std::int32_t textLength_;
    const SearchSettings& settings_;
    std::vector<FindScanner> scanners_;
    ResultPositions positions_;
    std::vector<std::int64_t> lowest_, highest_;
    ColumnWidthChooser widths_;
};

// The calling thread's receiver: progress at most once per more than 20 ms, results to the sink.
// While the index is built, progress stands at the first letter.
class SinkReceiver : public SliceReceiver, public IndexBuildReceiver {
  public:
    SinkReceiver(const char* text, std::int32_t textLength, CResultSink& sink, CTickClock& clock)
        : text_(text),
          textLength_(textLength),
          sink_(sink),
          clock_(clock),
          lastTick_(clock.Milliseconds()) {}

    bool Step(std::int32_t position) override {
        if (clock_.Milliseconds() - lastTick_ > kProgressIntervalMs) {
            lastTick_ = clock_.Milliseconds();
            if (!sink_.Progress(position, textLength_)) {
                canceled = true;
                return false;
            }
        }
        return true;
    }
    bool GoOn() override { return Step(0); }
    bool Result(std::int32_t, const ResultGrid& grid, const ResultPositions& positions) override {
        if (!sink_.AddResult(text_, grid.first, grid.last, grid.columns, positions)) {
            refused = true;
            return false;
        }
        return true;
    }

    bool canceled = false;  // a Progress answered false
    bool refused = false;   // an AddResult answered false

  private:
    const char* text_;
    std::int32_t textLength_;
    CResultSink& sink_;
    CTickClock& clock_;
    std::uint32_t lastTick_;
};

// A result as the queue holds it: keyword 0's position, the grid, then per keyword its lowest
// letter and the distance between its letters, from which the letters follow. Two values per
// keyword, not one per letter: a 50,000-letter keyword must not make a result 400 kB.
std::size_t RecordSize(const KeywordList& order) {
    return 4 + 2 * order.size();
}

// The worker's receiver: results into the queue; stops when the calling thread says so.
class QueueReceiver : public SliceReceiver {
  public:
    QueueReceiver(ResultQueue& queue, const std::atomic<bool>& stop, std::size_t recordSize)
        : queue_(queue), stop_(stop), record_(recordSize) {}

    bool Step(std::int32_t) override { return !stop_.load(std::memory_order_relaxed); }
    bool Result(std::int32_t position, const ResultGrid& grid,
                const ResultPositions& positions) override {
        auto out = record_.begin();
        *out++ = position;
        *out++ = grid.first;
        *out++ = grid.last;
        *out++ = grid.columns;
        for (const LetterPositions& letters : positions) {
            *out++ = letters[0];
            *out++ = letters.size() > 1 ? letters[1] - letters[0] : 0;
        }
        return queue_.Push(record_.data());
    }

  private:
    ResultQueue& queue_;
    const std::atomic<bool>& stop_;
    std::vector<std::int64_t> record_;
};

enum class Ending { Complete, Canceled, Refused };

// Hands the worker's results for one slice to the sink, keeping progress and cancel alive while
// it waits for them.
Ending DeliverSlice(ResultQueue& queue, SinkReceiver& receiver, std::int32_t position,
                    std::vector<std::int64_t>& record, ResultPositions& positions) {
    for (;;) {
        if (!receiver.Step(position)) return Ending::Canceled;
        const ResultQueue::Take take = queue.Pop(record.data(), std::chrono::milliseconds(5));
        if (take == ResultQueue::Take::SliceEnd || take == ResultQueue::Take::Closed)
            return Ending::Complete;
        if (take == ResultQueue::Take::NothingYet) continue;
        position = static_cast<std::int32_t>(record[0]);
        const ResultGrid grid{static_cast<std::int32_t>(record[3]),
                              static_cast<std::int32_t>(record[1]),
                              static_cast<std::int32_t>(record[2])};
        auto in = record.begin() + 4;
        for (LetterPositions& letters : positions) {
            const std::int64_t lowest = *in++;
            const std::int64_t distance = *in++;
            for (std::size_t i = 0; i < letters.size(); ++i)
                letters[i] = lowest + static_cast<std::int64_t>(i) * distance;
        }
        if (!receiver.Result(position, grid, positions)) return Ending::Refused;
    }
}

Ending SearchAlone(SliceSearch& search, std::int32_t textLength, SinkReceiver& receiver) {
    if (search.Run(0, textLength - 1, receiver)) return Ending::Complete;
    return receiver.refused ? Ending::Refused : Ending::Canceled;
}

// Everything a worker uses, made before any worker starts.
struct WorkerState {
    WorkerState(const char* text, std::int32_t textLength, const KeywordList& order,
                const LetterIndex& index, const SearchSettings& settings, std::size_t queueBytes,
                const std::atomic<bool>& stop)
        : search(text, textLength, order, index, settings),
          queue(RecordSize(order), queueBytes),
          receiver(queue, stop, RecordSize(order)) {}
    SliceSearch search;
    ResultQueue queue;
    QueueReceiver receiver;
    std::thread thread;
};

// Slice s goes to thread s % threads: thread 0 is the calling thread, which searches its own
// slices and hands every other slice's results to the sink from that thread's queue, in slice
// order. A worker that cannot be made leaves its slices to fewer threads.
Ending SearchWithWorkers(const char* text, std::int32_t textLength, const KeywordList& order,
                         const LetterIndex& index, const SearchSettings& settings,
                         const IndexedSearchPlan& plan, std::int32_t threads, SliceSearch& search,
                         SinkReceiver& receiver) {
    const std::int32_t slice = std::max(plan.sliceLength, 1);
    const std::int32_t slices = (textLength - 1) / slice + 1;
    auto sliceEnd = [&](std::int32_t s) {
        return static_cast<std::int32_t>(
            std::min<std::int64_t>(std::int64_t{s} * slice + slice, textLength) - 1);
    };
    std::atomic<bool> stop{false};
    // The workers share the queue memory of one.
    const std::size_t queueBytes =
        std::max<std::size_t>(plan.queueBytes / static_cast<std::size_t>(threads - 1), 1);
    std::vector<std::unique_ptr<WorkerState>> workers;
    try {
        while (static_cast<std::int32_t>(workers.size()) + 1 < threads)
            workers.push_back(std::make_unique<WorkerState>(text, textLength, order, index,
                                                            settings, queueBytes, stop));
    } catch (const std::bad_alloc&) {
    }
    if (workers.empty()) return SearchAlone(search, textLength, receiver);
    const auto count = static_cast<std::int32_t>(workers.size()) + 1;
    // However this thread leaves (a sink may throw, std::bad_alloc for one), every worker is told
    // to stop and joined before its state goes.
    struct WorkersStop {
        std::atomic<bool>& stop;
        std::vector<std::unique_ptr<WorkerState>>& workers;
        ~WorkersStop() {
            stop = true;
            for (auto& worker : workers)
                worker->queue.Close();
            for (auto& worker : workers) {
                if (worker->thread.joinable()) worker->thread.join();
            }
        }
    } workersStop{stop, workers};
    try {
        for (std::int32_t w = 1; w < count; ++w) {
            WorkerState& state = *workers[static_cast<std::size_t>(w - 1)];
            state.thread = std::thread([&state, w, count, slices, slice, &sliceEnd] {
                for (std::int32_t s = w; s < slices; s += count) {
                    if (!state.search.Run(s * slice, sliceEnd(s), state.receiver) ||
                        !state.queue.EndSlice())
                        return;
                }
            });
        }
    } catch (const std::system_error&) {
        // Nothing has reached the sink yet: the started workers stop, and this thread searches
        // alone.
        stop = true;
        for (auto& worker : workers) {
            worker->queue.Close();
            if (worker->thread.joinable()) worker->thread.join();
        }
        return SearchAlone(search, textLength, receiver);
    }

    std::vector<std::int64_t> record(RecordSize(order));
    ResultPositions delivered(order.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        delivered[k].assign(order[k].size(), 0);
    Ending ending = Ending::Complete;
    for (std::int32_t s = 0; s < slices && ending == Ending::Complete; ++s) {
        const std::int32_t owner = s % count;
        if (owner == 0) {
            if (!search.Run(s * slice, sliceEnd(s), receiver))
                ending = receiver.refused ? Ending::Refused : Ending::Canceled;
        } else {
            ending = DeliverSlice(workers[static_cast<std::size_t>(owner - 1)]->queue, receiver,
                                  s * slice, record, delivered);
        }
    }
    return ending;
}

// The threads a search takes: as the plan asks (one per core when it does not say), at most one
// per slice and at most kMaxSearchThreads, and no more than kWorkerStateBytes of worker state
// (with a keyword of tens of thousands of letters, each thread's letters take room).
std::int32_t SearchThreads(const IndexedSearchPlan& plan, std::int32_t textLength,
                           const KeywordList& order) {
    std::int64_t threads = plan.threads > 0
                               ? plan.threads
                               : std::max<std::int64_t>(std::thread::hardware_concurrency(), 1);
    const std::int64_t slices = (std::int64_t{textLength} - 1) / std::max(plan.sliceLength, 1) + 1;
    std::int64_t letters = 0;
    for (const std::string& keyword : order)
        letters += static_cast<std::int64_t>(keyword.size());
    // A worker's letter positions, its record and the width chooser's table, roughly.
    const std::int64_t workerBytes = 16 * letters + (std::int64_t{1} << 16);
    threads = std::min(
        {threads, slices, std::int64_t{kMaxSearchThreads}, 1 + kWorkerStateBytes / workerBytes});
    return static_cast<std::int32_t>(std::max<std::int64_t>(threads, 1));
}

}  // namespace

std::uint64_t DefaultIndexBudget(std::int64_t textLength, std::uint64_t physicalMemory) {
    const auto letters = static_cast<std::uint64_t>(std::max<std::int64_t>(textLength, 0));
    std::uint64_t budget = 4 * letters + (std::uint64_t{40} << 20);
    if (physicalMemory > 0) {
        const std::uint64_t half = physicalMemory / 2;
        budget = std::min(budget, half > letters ? half - letters : 0);
    }
    return budget;
}

std::int32_t ChooseBitmapLetters(const LetterCounts& counts, std::int32_t textLength,
                                 const KeywordList& order, std::uint64_t budget) {
    for (std::int32_t letters = kFullBitmapLetters; letters > 0; --letters) {
        if (LetterIndex::Bytes(counts, textLength, order, letters) <= budget) return letters;
    }
    return 0;
}

bool FindSequencesIndexed(const char* text, std::int32_t textLength, const KeywordList& keywords,
                          const SearchSettings& settings, CResultSink& sink, std::string& errorText,
                          CTickClock& clock, const IndexedSearchPlan& plan) {
    errorText.clear();
    if (keywords.empty()) return true;
    if (!sink.Begin(errorText)) return false;

    const KeywordList order = MakeSearchOrder(keywords);
    // A keyword without letters (only a caller that skipped ReadKeywords can pass one) is never
    // found, so no result is possible.
    const bool searchable =
        std::none_of(order.begin(), order.end(), [](const auto& k) { return k.empty(); }) &&
        order[0].size() <= INT32_MAX;
    KeywordCursor first;
    first.settings = &settings;
    if (searchable && first.Reset(0, textLength - 1, static_cast<std::int32_t>(order[0].size()))) {
        SinkReceiver receiver(text, textLength, sink, clock);
        LetterCounts counts;
        if (!CountLetters(text, textLength, counts, receiver, plan.indexStepLetters))
            return sink.End(true);
        const std::uint64_t budget = plan.indexBudget
                                         ? *plan.indexBudget
                                         : DefaultIndexBudget(textLength, PhysicalMemoryBytes());
        const std::int32_t bitmapLetters = ChooseBitmapLetters(counts, textLength, order, budget);
        // An index within the budget can still meet a machine without that much memory free:
        // then too the literal search does the work.
        std::optional<LetterIndex> madeIndex;
        if (bitmapLetters > 0) {
            try {
                madeIndex.emplace(text, textLength, order, bitmapLetters, counts);
            } catch (const std::bad_alloc&) {
                madeIndex.reset();
            }
        }
        if (!madeIndex)
            return SearchLiterallyAfterBegin(text, textLength, keywords, settings, sink, clock);
        if (!madeIndex->Fill(receiver, plan.indexStepLetters)) return sink.End(true);
        const LetterIndex& index = *madeIndex;
        SliceSearch search(text, textLength, order, index, settings);
        const std::int32_t threads = SearchThreads(plan, textLength, order);
        const Ending ending = threads > 1
                                  ? SearchWithWorkers(text, textLength, order, index, settings,
                                                      plan, threads, search, receiver)
                                  : SearchAlone(search, textLength, receiver);
        if (ending == Ending::Refused) return false;
        if (ending == Ending::Canceled) return sink.End(true);
    }

    const bool goOn = sink.Progress(textLength, textLength);
    return sink.End(!goOn);
}
