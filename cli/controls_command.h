// The tool's control runs: --controls N and the options that go with it, and --expected.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/tool_options.h"
#include "controls/control_cases.h"
#include "controls/control_report.h"
#include "text/alphabet.h"

struct ControlCommand {
    const ControlOptions& options;
    const std::string& text;                       // the normalised document
    const std::vector<std::int32_t>& wordLengths;  // the document's words, for ControlKind::Words
    const KeywordList& keywords;
    const SearchSettings& settings;
    bool json = false;
    bool showProgress = false;
    const CAlphabet* alphabet = nullptr;  // spells the keywords in reports; null: latin
};

// The run's settings and the real search's statistics, without controls.
ControlRun StartControlRun(const ControlCommand& command);

// Runs the controls numbered `indexes` with progress on the terminal; Ctrl-C stops them after
// the running ones. Answers the statistics of those done, in the order of `indexes`.
std::vector<SearchStatistics> RunControlsShowingProgress(const ControlCommand& command,
                                                         const std::vector<std::int64_t>& indexes);

// --expected without --controls: the expected count on standard output. Exit status.
int PrintExpectedCount(const ControlCommand& command);

// --controls: the real search, the controls, and the report on standard output (or the
// "controls" object that `writeJson` adds to the results' JSON document), and the HTML page of
// --report. `writeJson` writes the real search's JSON document with the given "controls" object
// and answers the tool's exit status. Exit status: 0 with real results, 1 without, 130 when
// Ctrl-C stopped the controls, 2 on an error.
using JsonWriter = int (*)(const std::string& controlsJson, void* context);
int RunControlCommand(const ControlCommand& command, JsonWriter writeJson, void* context);
