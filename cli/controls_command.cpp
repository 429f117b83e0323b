#include "cli/controls_command.h"
#include "cli/exit_status.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>

#include "cli/console.h"
#include "controls/control_runner.h"
#include "results/json_writer.h"

namespace {

// Controls done, rate and time left on the terminal, at most five times a second; Ctrl-C asks
// the run to start no further control.
class CControlProgress : public CControlReceiver {
  public:
    explicit CControlProgress(bool show) : show_(show), start_(Clock::now()), last_(start_) {}

    void ControlsDone(std::int64_t done, std::int64_t total) override {
        if (InterruptRequested()) stop.store(true);
        if (!show_) return;
        const auto now = Clock::now();
        if (done < total && now - last_ < std::chrono::milliseconds(200)) return;
        last_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
        const double left = rate > 0 ? static_cast<double>(total - done) / rate : 0;
        std::fprintf(stderr, "\r%lld of %lld controls, %.1f a second, %s left    ",
                     static_cast<long long>(done), static_cast<long long>(total), rate,
                     Duration(left).c_str());
        std::fflush(stderr);
        shown_ = true;
    }

    void Clear() {
        if (!shown_) return;
        std::fprintf(stderr, "\r%72s\r", "");
        std::fflush(stderr);
    }

    std::atomic<bool> stop{false};

  private:
    using Clock = std::chrono::steady_clock;

    static std::string Duration(double seconds) {
        const auto whole = static_cast<long long>(seconds + 0.5);
        if (whole < 60) return std::to_string(whole) + " s";
        if (whole < 3600)
            return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
        return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
    }

    bool show_;
    bool shown_ = false;
    Clock::time_point start_;
    Clock::time_point last_;
};

bool WriteFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    file.close();
    return static_cast<bool>(file);
}

}  // namespace

int PrintExpectedCount(const ControlCommand& command) {
    const std::optional<ExpectedCounts> expected =
        ExpectedCount(command.text, command.keywords, command.settings);
    if (!expected) return Fail("--expected needs exactly one keyword.");
    const std::string line =
        command.json ? "{\"expected\": " + JsonNumber(expected->shuffle) +
                           ", \"expectedIndependent\": " + JsonNumber(expected->independent) + "}\n"
                     : "Expected results: " + FormatSignificant(expected->shuffle) +
                           " (mean over letter shuffles); " +
                           FormatSignificant(expected->independent) + " with independent letters\n";
    std::fputs(line.c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return Fail("The expected count could not be written to standard output.");
    return kFound;
}

ControlRun StartControlRun(const ControlCommand& command) {
    ControlRun run;
    run.settings = command.settings;
    run.keywords = command.keywords;
    if (command.alphabet != nullptr && command.alphabet->ReadsUtf8()) {
        static const char* const kNames[] = {"latin", "hebrew", "greek"};
        run.alphabet = kNames[static_cast<int>(command.alphabet->Name())];
        for (std::string& keyword : run.keywords)
            keyword = command.alphabet->Spell(keyword);
    }
    run.kind = command.options.kind;
    run.seed = command.options.seed;
    run.total = command.options.count;
    const RealSearchStatistics real =
        MeasureRealSearch(command.text, command.keywords, command.settings);
    run.real = real.statistics;
    run.plainWordResults = real.plainWordResults;
    if (const auto expected = ExpectedCount(command.text, command.keywords, command.settings)) {
        run.expected = expected->shuffle;
        run.expectedIndependent = expected->independent;
    }
    return run;
}

std::vector<SearchStatistics> RunControlsShowingProgress(const ControlCommand& command,
                                                         const std::vector<std::int64_t>& indexes) {
    const ControlOptions& options = command.options;
    CControlProgress progress(command.showProgress);
    ControlRunOptions runOptions;
    runOptions.kind = options.kind;
    runOptions.seed = options.seed;
    runOptions.threads = options.threads;
    runOptions.receiver = &progress;
    runOptions.stop = &progress.stop;
    const ControlInput input{command.text, command.keywords, command.settings,
                             &command.wordLengths};
    std::vector<SearchStatistics> controls = RunControls(input, indexes, runOptions);
    progress.Clear();
    return controls;
}

int RunControlCommand(const ControlCommand& command, JsonWriter writeJson, void* context) {
    const ControlOptions& options = command.options;
    if (options.expected && command.keywords.size() != 1)
        return Fail("--expected needs exactly one keyword.");

    ControlRun run = StartControlRun(command);
    run.controls = RunControlsShowingProgress(command, AllControls(options.count));
    const bool stopped = static_cast<std::int64_t>(run.controls.size()) < run.total;
    if (stopped)
        std::fprintf(stderr, "strandix: Stopped after %lld of %lld controls.\n",
                     static_cast<long long>(run.controls.size()),
                     static_cast<long long>(run.total));

    if (!options.reportPath.empty() && !WriteFile(options.reportPath, ControlReportHtml(run)))
        return Fail("The report could not be written to " + options.reportPath + ".");

    int status = run.real.results > 0 ? kFound : kNothingFound;
    if (command.json) {
        status = writeJson(ControlsJson(run), context);
    } else {
        std::fputs(ControlReportText(run).c_str(), stdout);
        if (std::fflush(stdout) != 0 || std::ferror(stdout))
            return Fail("The report could not be written to standard output.");
    }
    if (stopped && (status == kFound || status == kNothingFound)) return kInterrupted;
    return status;
}
