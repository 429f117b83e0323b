#include "controls/control_runner.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <numeric>
#include <optional>
#include <system_error>
#include <thread>

namespace {

// What one thread keeps between its controls: its own copy of the text to shuffle, so that
// memory grows with the threads and never with the number of controls.
class CControlWorker {
  public:
    CControlWorker(const ControlInput& input, ControlKind kind, const CLetterDrawer* drawer)
        : input_(input), kind_(kind), drawer_(drawer) {
        if (kind_ == ControlKind::Words)
            words_.emplace(input_.text,
                           input_.wordLengths ? *input_.wordLengths : std::vector<std::int32_t>{});
    }

    SearchStatistics Run(std::uint64_t seed, std::int64_t index) {
        CXoshiro256StarStar generator = ControlStream(seed, static_cast<std::uint64_t>(index));
        switch (kind_) {
            case ControlKind::Letters:
                buffer_ = input_.text;
                ShuffleLetters(buffer_, generator);
                return MeasureSearch(buffer_, input_.keywords, input_.settings);
            case ControlKind::Words:
                words_->Shuffle(generator, order_, buffer_);
                return MeasureSearch(buffer_, input_.keywords, input_.settings);
            case ControlKind::Keywords:
                return MeasureSearch(input_.text,
                                     DrawKeywords(input_.keywords, *drawer_, generator),
                                     input_.settings);
        }
        return {};
    }

  private:
    const ControlInput& input_;
    ControlKind kind_;
    const CLetterDrawer* drawer_;
    std::optional<CWordShuffler> words_;
    std::string buffer_;
    std::vector<std::int32_t> order_;
};

}  // namespace

std::vector<std::int64_t> AllControls(std::int64_t count) {
    std::vector<std::int64_t> indexes(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
    std::iota(indexes.begin(), indexes.end(), std::int64_t{0});
    return indexes;
}

std::vector<SearchStatistics> RunControls(const ControlInput& input,
                                          const std::vector<std::int64_t>& indexes,
                                          const ControlRunOptions& options) {
    const auto total = static_cast<std::int64_t>(indexes.size());
    std::vector<SearchStatistics> statistics(indexes.size());
    if (indexes.empty()) return statistics;

    std::optional<CLetterDrawer> drawer;
    if (options.kind == ControlKind::Keywords) drawer.emplace(input.text);

    unsigned threads = options.threads ? options.threads : std::thread::hardware_concurrency();
    threads = std::clamp<unsigned>(
        threads, 1, static_cast<unsigned>(std::min<std::int64_t>(total, std::int64_t{1} << 16)));

    std::atomic<std::int64_t> next{0};
    std::mutex reportLock;
    std::int64_t done = 0;
    std::exception_ptr failure;

    auto work = [&] {
        try {
            CControlWorker worker(input, options.kind, drawer ? &*drawer : nullptr);
            for (;;) {
                if (options.stop && options.stop->load()) return;
                const std::int64_t slot = next.fetch_add(1);
                if (slot >= total) return;
                statistics[static_cast<std::size_t>(slot)] =
                    worker.Run(options.seed, indexes[static_cast<std::size_t>(slot)]);
                const std::lock_guard<std::mutex> lock(reportLock);
                ++done;
                if (options.receiver) options.receiver->ControlsDone(done, total);
            }
        } catch (...) {
            // Out of memory on one thread: the others stop at their next control and the caller
            // gets the exception.
            const std::lock_guard<std::mutex> lock(reportLock);
            if (!failure) failure = std::current_exception();
            next.store(total);
        }
    };

    std::vector<std::thread> pool;
    try {
        for (unsigned t = 1; t < threads; ++t)
            pool.emplace_back(work);
    } catch (const std::system_error&) {
        // The system gave fewer threads than asked for: the ones there are share the work.
    }
    work();
    for (std::thread& thread : pool)
        thread.join();
    if (failure) std::rethrow_exception(failure);

    // Slots are handed out in order and every one handed out is finished, so the controls done
    // are exactly the first `done`.
    statistics.resize(static_cast<std::size_t>(done));
    return statistics;
}
