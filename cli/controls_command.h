// The tool's control runs: --controls N and the options that go with it, and --expected.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/tool_options.h"
#include "cli/tool_output.h"
#include "controls/control_cases.h"
#include "controls/control_report.h"
#include "text/search_request.h"

class CJsonSearch;

struct ControlCommand {
    const SearchRequest& request;
    const ControlOptions& options;
    const RunOptions& run;       // --seed, --threads, --report
    std::string documentName;    // as the user named it
    std::string documentDigest;  // SHA-256 of its bytes
};

// Sets the version of this strandix and today's date (UTC) on the run the report describes.
void StampControlRun(ControlRun& run);

// The run's settings, keywords (spelled in the script), controls and expected count; neither
// the real search's statistics nor the controls'.
ControlRun DescribeControlRun(const ControlCommand& command);

// Runs the controls numbered `indexes` with progress on the terminal; Ctrl-C stops them after
// the running ones. Answers the statistics of those done, in the order of `indexes`.
std::vector<SearchStatistics> RunControlsShowingProgress(const ControlCommand& command,
                                                         const ToolOutput& output,
                                                         const std::vector<std::int64_t>& indexes);

// --expected without --controls: the expected count on standard output (as JSON with `json`).
// Exit status.
int PrintExpectedCount(const ControlCommand& command, bool json, ToolOutput& output);

// --controls: the real search, the controls, and the report on standard output, and the HTML
// page of --report. With `json`, the real search is that JSON search: its results are written
// as it runs, and the report is the "controls" object at the document's end. Exit status: 0
// with real results, 1 without, 130 when Ctrl-C stopped the search or the controls, 2 on an
// error.
int RunControlCommand(const ControlCommand& command, ToolOutput& output, CJsonSearch* json);
