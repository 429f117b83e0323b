#include "cli/controls_command.h"

#include "cli/exit_status.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>

#include "cli/alphabet_note.h"
#include "cli/console.h"
#include "cli/json_command.h"
#include "cli/output_files.h"
#include "cli/progress_line.h"
#include "controls/control_runner.h"
#include "results/json_writer.h"

#ifndef STRANDIX_VERSION
#define STRANDIX_VERSION "unknown"
#endif

int PrintExpectedCount(const ControlCommand& command, bool json, ToolOutput& output) {
    const SearchRequest& request = command.request;
    const std::optional<ExpectedCounts> expected =
        ExpectedCount(request.text, request.keywords, request.settings);
    if (!expected) return Fail("--expected needs exactly one keyword.");
    const std::string line =
        json ? "{\"expected\": " + JsonNumber(expected->shuffle) +
                   ", \"expectedIndependent\": " + JsonNumber(expected->independent) + "}\n"
             : "Expected results: " + FormatSignificant(expected->shuffle) +
                   " (mean over letter shuffles); " + FormatSignificant(expected->independent) +
                   " with independent letters\n";
    if (!output.Write(line))
        return Fail("The expected count could not be written to standard output.");
    return kFound;
}

void StampControlRun(ControlRun& run) {
    run.version = STRANDIX_VERSION;
    const std::chrono::year_month_day today{
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02u-%02u", static_cast<int>(today.year()),
                  static_cast<unsigned>(today.month()), static_cast<unsigned>(today.day()));
    run.date = date;
}

ControlRun DescribeControlRun(const ControlCommand& command) {
    const SearchRequest& request = command.request;
    ControlRun run;
    run.documentName = command.documentName;
    run.documentDigest = command.documentDigest;
    StampControlRun(run);
    run.settings = request.settings;
    run.ignoreNumbers = request.ignoreNumbers;
    run.keywords = request.keywords;
    if (request.alphabet.ReadsUtf8()) {
        run.alphabet = AlphabetNameText(request.alphabet.Name());
        for (std::string& keyword : run.keywords)
            keyword = request.alphabet.Spell(keyword);
    }
    for (const std::string& word : request.leftOut) {
        std::string note = LeftOutKeywordSentence(request.alphabet, word) + ".";
        note[0] = 'T';  // "the keyword" begins the sentence
        run.leftOutNotes.push_back(std::move(note));
    }
    run.kind = command.options.kind;
    run.seed = command.run.seed;
    run.total = command.options.count;
    if (const auto expected = ExpectedCount(request.text, request.keywords, request.settings)) {
        run.expected = expected->shuffle;
        run.expectedIndependent = expected->independent;
    }
    return run;
}

std::vector<SearchStatistics> RunControlsShowingProgress(const ControlCommand& command,
                                                         const ToolOutput& output,
                                                         const std::vector<std::int64_t>& indexes) {
    const ControlOptions& options = command.options;
    const SearchRequest& request = command.request;
    CProgressLine progress(output.showProgress);
    progress.Start("controls", "controls");
    ControlRunOptions runOptions;
    runOptions.kind = options.kind;
    runOptions.seed = command.run.seed;
    runOptions.threads = command.run.threads;
    runOptions.receiver = &progress;
    runOptions.stop = &progress.stop;
    const ControlInput input{request.text, request.keywords, request.settings,
                             &request.wordLengths};
    std::vector<SearchStatistics> controls = RunControls(input, indexes, runOptions);
    progress.Clear();
    return controls;
}

int RunControlCommand(const ControlCommand& command, ToolOutput& output, CJsonSearch* json) {
    const ControlOptions& options = command.options;
    const SearchRequest& request = command.request;
    if (options.expected && request.keywords.size() != 1)
        return Fail("--expected needs exactly one keyword.");

    ControlRun run = DescribeControlRun(command);
    if (json != nullptr) {
        if (const int status = json->Search(); status != kFound) return status;
        // A canceled search has no count to compare with.
        if (json->Canceled()) return json->Finish();
        run.real = json->Statistics();
        run.plainWordResults = json->PlainWordResults();
    } else {
        const RealSearchStatistics real =
            MeasureRealSearch(request.text, request.keywords, request.settings);
        run.real = real.statistics;
        run.plainWordResults = real.plainWordResults;
    }
    run.controls = RunControlsShowingProgress(command, output, AllControls(options.count));
    const bool stopped = static_cast<std::int64_t>(run.controls.size()) < run.total;
    if (stopped)
        std::fprintf(stderr, "strandix: Stopped after %lld of %lld controls.\n",
                     static_cast<long long>(run.controls.size()),
                     static_cast<long long>(run.total));

    const ControlSummary summary = SummariseControlRun(run);
    std::string reportProblem;
    const bool reportFailed =
        !command.run.reportPath.empty() &&
        !WriteOutputFile(command.run.reportPath, ControlReportHtml(run, summary), reportProblem);
    int status = run.real.results > 0 ? kFound : kNothingFound;
    if (json != nullptr) {
        // The results are out already: the document is ended before the failure is told.
        status = json->Finish(ControlsJson(run, summary));
        if (reportFailed) status = kFailed;
    } else if (!output.Write(ControlReportText(run, summary))) {
        if (reportFailed) Fail(reportProblem);
        return Fail("The report could not be written to standard output.");
    } else if (reportFailed) {
        // The text is written all the same: a page that cannot be written loses nothing else.
        return Fail(reportProblem + "  The report's text went to standard output.");
    }
    if (reportFailed) return Fail(reportProblem + "  The JSON went to standard output.");
    if (stopped && (status == kFound || status == kNothingFound)) return kInterrupted;
    return status;
}
