#include "controls/control_runner.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "common/work_items.h"

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
    std::vector<SearchStatistics> statistics(indexes.size());
    if (indexes.empty()) return statistics;

    std::optional<CLetterDrawer> drawer;
    if (options.kind == ControlKind::Keywords) drawer.emplace(input.text);

    WorkItemsOptions workOptions;
    workOptions.threads = options.threads;
    workOptions.stop = options.stop;
    workOptions.receiver = options.receiver;
    // One worker a thread, made on that thread when it takes its first control.
    std::vector<std::optional<CControlWorker>> workers(
        WorkThreads(options.threads, indexes.size()));
    const std::size_t finished =
        RunWorkItems(indexes.size(), workOptions, [&](std::size_t slot, unsigned thread) {
            std::optional<CControlWorker>& worker = workers[thread];
            if (!worker) worker.emplace(input, options.kind, drawer ? &*drawer : nullptr);
            statistics[slot] = worker->Run(options.seed, indexes[slot]);
        });
    // Controls are started in order and every one started is finished, so the controls done are
    // exactly the first ones.
    statistics.resize(finished);
    return statistics;
}
