#include "python/search_run.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "search/find_scanner.h"
#include "search/letter_index.h"
#include "search/tick_clock.h"

namespace py = pybind11;

bool CPythonProgress::Report(std::int64_t done, std::int64_t total) {
    if (error_) return false;
    py::gil_scoped_acquire lock;
    try {
        if (PyErr_CheckSignals() != 0) throw py::error_already_set();
        if (!callable_.is_none()) callable_(done, total);
    } catch (py::error_already_set& raised) {
        error_.emplace(std::move(raised));
        return false;
    }
    return true;
}

void CPythonProgress::Rethrow() {
    if (error_) {
        py::error_already_set raised = std::move(*error_);
        error_.reset();
        throw raised;
    }
}

bool CCollectingSink::AddResult(const char* text, std::int32_t first, std::int32_t last,
                                std::int32_t columns, const ResultPositions& positions) {
    (void)text;
    results_.push_back({first, last, columns, positions});
    return true;
}

bool CCollectingSink::Progress(std::int32_t position, std::int32_t total) {
    return progress_.Report(position, total);
}

namespace {

// Asks the progress between pieces of the index build.
class CBuildProgress : public IndexBuildReceiver {
  public:
    CBuildProgress(CPythonProgress& progress, std::int64_t total)
        : progress_(progress), total_(total) {}
    bool GoOn() override { return progress_.Report(0, total_); }

  private:
    CPythonProgress& progress_;
    std::int64_t total_;
};

constexpr std::int64_t kIndexStepLetters = 1 << 22;
constexpr std::int32_t kScanWork = 1 << 16;
constexpr std::uint32_t kProgressIntervalMs = 100;

}  // namespace

bool ListSequences(const std::string& text, const std::string& word, std::int32_t minSkip,
                   std::int32_t maxSkip, bool reverse, CPythonProgress& progress,
                   std::vector<std::int32_t>& rows) {
    const auto length = static_cast<std::int32_t>(text.size());
    const auto letters = static_cast<std::int32_t>(word.size());
    if (letters == 0 || letters > length) return true;
    SearchSettings settings;
    settings.AllowReverseKeywords = reverse;
    settings.MinSkip = minSkip;
    settings.MaxDistanceBetweenLetters = maxSkip;
    settings.MaxResultLength = length;  // a single word: only the text bounds its length
    const KeywordList order{word};
    CBuildProgress build(progress, length);
    LetterCounts counts{};
    if (!CountLetters(text.c_str(), length, counts, build, kIndexStepLetters)) return false;
    LetterIndex index(text.c_str(), length, order,
                      std::min<std::int32_t>(kFullBitmapLetters, std::max(letters - 1, 1)), counts);
    if (!index.Fill(build, kIndexStepLetters)) return false;
    FindScanner scanner(text.c_str(), word, index, settings);
    if (!scanner.Reset(0, length - 1)) return true;
    LetterPositions found(static_cast<std::size_t>(letters));
    CTickClock& clock = SystemTickClock();
    std::uint32_t lastTick = clock.Milliseconds();
    for (;;) {
        const ScanStep step = scanner.Next(found, kScanWork);
        if (step == ScanStep::Exhausted) break;
        if (step == ScanStep::Found) {
            const std::int32_t start = scanner.Position();
            std::int32_t skip = 0;
            if (letters > 1) {
                skip = static_cast<std::int32_t>(found[1] - found[0]);
                if (found.front() != start) skip = -skip;
            }
            rows.push_back(start);
            rows.push_back(skip);
        }
        if (clock.Milliseconds() - lastTick > kProgressIntervalMs) {
            lastTick = clock.Milliseconds();
            if (!progress.Report(scanner.Position(), length)) return false;
        }
    }
    return true;
}

namespace {

// Keeps the last progress of the work and whether it has ended.
class CWorkWatch : public CWorkReceiver {
  public:
    void WorkDone(std::int64_t done, std::int64_t total) override {
        done_ = done;
        total_ = total;
    }
    void Finish() {
        const std::lock_guard<std::mutex> hold(mutex_);
        finished_ = true;
        ended_.notify_all();
    }
    // Waits until the work ends or `wait` passes; true when it has ended.
    bool WaitForEnd(std::chrono::milliseconds wait) {
        std::unique_lock<std::mutex> hold(mutex_);
        return ended_.wait_for(hold, wait, [this] { return finished_; });
    }
    std::int64_t Done() const { return done_; }
    std::int64_t Total() const { return total_; }

  private:
    std::atomic<std::int64_t> done_{0};
    std::atomic<std::int64_t> total_{0};
    std::mutex mutex_;
    std::condition_variable ended_;
    bool finished_ = false;
};

}  // namespace

void RunWatched(
    CPythonProgress& progress,
    const std::function<void(CWorkReceiver& receiver, const std::atomic<bool>& stop)>& work) {
    CWorkWatch watch;
    std::atomic<bool> stop{false};
    std::exception_ptr failure;
    {
        py::gil_scoped_release unlocked;
        std::thread worker([&] {
            try {
                work(watch, stop);
            } catch (...) {
                failure = std::current_exception();
            }
            watch.Finish();
        });
        while (!watch.WaitForEnd(std::chrono::milliseconds(50))) {
            if (!stop && !progress.Report(watch.Done(), watch.Total())) stop = true;
        }
        worker.join();
        if (!stop && watch.Total() > 0) progress.Report(watch.Done(), watch.Total());
    }
    progress.Rethrow();
    if (failure) std::rethrow_exception(failure);
}
