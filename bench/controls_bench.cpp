// Control runs timed: C1 (letters controls of W1 against single-threaded W1 searches), C2
// (keywords controls of MOSES AARON on the sample) and the heap of a run against its number of
// controls.
//
//   strandix_controls_bench --bible FILE --sample FILE [--controls N] [--threads T]

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <string>
#include <thread>

#include "bench/load_average.h"
#include "bench/peak_heap.h"
#include "bench/workloads.h"
#include "controls/control_report.h"
#include "controls/control_runner.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const Workload& Find(const char* name) {
    static const std::vector<Workload> workloads = Workloads();
    for (const Workload& workload : workloads)
        if (std::string(workload.name) == name) return workload;
    std::abort();
}

// Processor time of the whole process, all threads: unlike wall time, the machine's other
// load hardly changes it.
double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// The best of `runs` single-threaded searches, letter index included.
double SingleSearchSeconds(const std::string& text, const Workload& workload, int runs,
                           double& cpuBest) {
    cpuBest = 1e300;
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        const double cpuStart = CpuSeconds();
        MeasureSearch(text, workload.keywords, workload.settings);
        best = std::min(best, SecondsSince(start));
        cpuBest = std::min(cpuBest, CpuSeconds() - cpuStart);
    }
    return best;
}

struct RunTiming {
    double seconds = 0;
    double cpuSeconds = 0;
    double meanResults = 0;
    std::int64_t peakHeap = 0;
    std::int64_t done = 0;
};

RunTiming TimeControls(const std::string& text, const Workload& workload, ControlKind kind,
                       std::int64_t count, unsigned threads) {
    const ControlInput input{text, workload.keywords, workload.settings};
    ControlRunOptions options;
    options.kind = kind;
    options.seed = kDefaultControlSeed;
    options.threads = threads;
    const std::int64_t before = heapNow.load();
    heapPeak = before;
    const auto start = Clock::now();
    const double cpuStart = CpuSeconds();
    const auto statistics = RunControls(input, AllControls(count), options);
    RunTiming timing;
    timing.seconds = SecondsSince(start);
    timing.cpuSeconds = CpuSeconds() - cpuStart;
    timing.meanResults = SummariseResults(statistics).mean;
    timing.peakHeap = heapPeak.load() - before;
    timing.done = static_cast<std::int64_t>(statistics.size());
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    std::string biblePath, samplePath;
    std::int64_t controls = 1000;
    unsigned threads = std::thread::hardware_concurrency();
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--bible")
            biblePath = value;
        else if (name == "--sample")
            samplePath = value;
        else if (name == "--controls")
            controls = std::max<std::int64_t>(1, std::atoll(value.c_str()));
        else if (name == "--threads")
            threads = static_cast<unsigned>(std::max(1, std::atoi(value.c_str())));
    }
    std::string bible, sample;
    if (biblePath.empty() || samplePath.empty() || !LoadNormalisedText(biblePath, bible) ||
        !LoadNormalisedText(samplePath, sample)) {
        std::fprintf(stderr, "usage: %s --bible FILE --sample FILE [--controls N] [--threads T]\n",
                     argv[0]);
        return 2;
    }
    std::printf("%u cores, %u threads for the controls; load average %s\n\n",
                std::thread::hardware_concurrency(), threads, LoadAverage().c_str());

    // C1: the controls against as many single-threaded searches of the real text.
    const Workload& w1 = Find("W1");
    double singleCpu = 0;
    const double single = SingleSearchSeconds(bible, w1, 3, singleCpu);
    const RunTiming c1 = TimeControls(bible, w1, ControlKind::Letters, controls, threads);
    std::string buffer;
    const int shuffles = 20;
    const auto shuffleStart = Clock::now();
    for (int i = 0; i < shuffles; ++i) {
        buffer = bible;
        CXoshiro256StarStar generator =
            ControlStream(kDefaultControlSeed, static_cast<std::uint64_t>(i));
        ShuffleLetters(buffer, generator);
    }
    const double shuffle = SecondsSince(shuffleStart) / shuffles;
    const double perControlThreadSeconds = c1.seconds * threads / static_cast<double>(c1.done);
    std::printf(
        "| Row | Controls | Total | One search | Ratio | Processor time ratio | Notes "
        "|\n|---|---|---|---|---|---|---|\n");
    std::printf(
        "| C1 letters, W1 | %lld | %.1f s | %.3f s single-threaded | %.2f (limit 0.75) | "
        "%.2f | shuffle %.1f ms a control, %.1f %% of the controls' thread time; "
        "controls average %.0f results |\n",
        static_cast<long long>(c1.done), c1.seconds, single,
        c1.seconds / (static_cast<double>(c1.done) * single),
        c1.cpuSeconds / (static_cast<double>(c1.done) * singleCpu), shuffle * 1e3,
        100 * shuffle / perControlThreadSeconds, c1.meanResults);
    std::fflush(stdout);

    // C2: keywords controls on the sample; a control draws two words and searches the sample.
    const Workload& w2 = Find("W2");
    double single2Cpu = 0;
    const double single2 = SingleSearchSeconds(sample, w2, 5, single2Cpu);
    const RunTiming c2 = TimeControls(sample, w2, ControlKind::Keywords, controls, threads);
    const CLetterDrawer drawer(sample);
    const auto drawStart = Clock::now();
    std::size_t drawnLetters = 0;
    for (std::int64_t i = 0; i < controls; ++i) {
        CXoshiro256StarStar generator =
            ControlStream(kDefaultControlSeed, static_cast<std::uint64_t>(i));
        drawnLetters += DrawKeywords(w2.keywords, drawer, generator).front().size();
    }
    const double draws = SecondsSince(drawStart);
    std::printf(
        "| C2 keywords, MOSES AARON on the sample | %lld | %.2f s | %.4f s single-threaded "
        "| %.2f | %.2f | drawing the keywords %.1f ms in all (%zu letters); the searches "
        "take the rest, controls average %.1f results |\n",
        static_cast<long long>(c2.done), c2.seconds, single2,
        c2.seconds / (static_cast<double>(c2.done) * single2),
        c2.cpuSeconds / (static_cast<double>(c2.done) * single2Cpu), draws * 1e3, drawnLetters,
        c2.meanResults);
    std::fflush(stdout);

    // Memory: the peak heap of a run must not grow with its number of controls.
    std::printf("\n| Letters controls of W2 | Peak heap |\n|---|---|\n");
    for (const std::int64_t count : {std::int64_t{10}, std::int64_t{200}}) {
        const RunTiming run = TimeControls(sample, w2, ControlKind::Letters, count, threads);
        std::printf("| %lld | %.2f MB |\n", static_cast<long long>(count),
                    static_cast<double>(run.peakHeap) / 1e6);
    }
    std::printf("\nLoad average afterwards: %s\n", LoadAverage().c_str());
    return 0;
}
