// The merge of a large sharded control run, timed end to end through the tool: writes PARTIALS
// partials of CONTROLS controls each (the figures of a real run's controls are no matter to the
// merge), then runs `strandix merge` on them a few times and prints the size of one partial and
// the merge's times.
//
//   strandix_shard_bench --cli PROGRAM [--partials 1000] [--controls 1000] [--runs 3]

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "controls/control_partial.h"

namespace {

namespace fs = std::filesystem;

// Processor seconds (user and system) of the children that have ended.
double ChildSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Load() {
    double load = 0;
    if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(file, "%lf", &load) != 1) load = 0;
        std::fclose(file);
    }
    return load;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

int main(int argc, char** argv) {
    std::string program;
    std::int64_t partials = 1000, controlsEach = 1000;
    int runs = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--cli") program = argv[i + 1];
        if (name == "--partials") partials = std::atoll(argv[i + 1]);
        if (name == "--controls") controlsEach = std::atoll(argv[i + 1]);
        if (name == "--runs") runs = std::atoi(argv[i + 1]);
    }
    if (program.empty() || partials < 1 || controlsEach < 1 || runs < 1) {
        std::fprintf(stderr, "usage: %s --cli PROGRAM [--partials N] [--controls N] [--runs N]\n",
                     argv[0]);
        return 2;
    }

    const fs::path folder =
        fs::temp_directory_path() / ("strandix-shard-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    ControlRun run;
    run.settings.MaxDistanceBetweenLetters = 10000;
    run.settings.MaxResultLength = 40000;
    run.settings.MinColumnWidth = 1;
    run.settings.MaxColumnWidth = 500;
    run.keywords = {"MOSES"};
    run.seed = 20261210;
    run.total = partials * controlsEach;
    run.real = {53067, 5};
    run.expected = 51979.5;
    std::uintmax_t oneSize = 0;
    std::string command = Quoted(program) + " merge";
    for (std::int64_t k = 0; k < partials; ++k) {
        ControlPartial partial{std::string(64, 'e'), {k, partials}, run};
        for (std::int64_t i = k; i < run.total; i += partials)
            partial.run.controls.push_back({51000 + (i * 7919) % 2000, 5 + i % 5});
        const fs::path path = folder / ("part-" + std::to_string(k) + ".json");
        std::ofstream(path, std::ios::binary) << WriteControlPartial(partial);
        if (k == 0) oneSize = fs::file_size(path);
        command += " " + Quoted(path.string());
    }
    command += " >/dev/null";

    std::vector<double> seconds, processor;
    for (int r = 0; r < runs; ++r) {
        const double childrenBefore = ChildSeconds();
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        processor.push_back(ChildSeconds() - childrenBefore);
        if (status != 0) {
            std::fprintf(stderr, "strandix merge failed (status %d)\n", status);
            fs::remove_all(folder);
            return 1;
        }
    }
    fs::remove_all(folder);
    std::sort(seconds.begin(), seconds.end());
    std::sort(processor.begin(), processor.end());
    std::printf("partial of %lld controls: %.1f KB\n", static_cast<long long>(controlsEach),
                static_cast<double>(oneSize) / 1000.0);
    std::printf(
        "merge of %lld partials of %lld controls: best %.2f s, median %.2f s; processor best "
        "%.2f s (%d runs, load %.1f)\n",
        static_cast<long long>(partials), static_cast<long long>(controlsEach), seconds.front(),
        seconds[seconds.size() / 2], processor.front(), runs, Load());
    return 0;
}
