// A control run as it is reported: the plain-text report, the JSON "controls" object and the
// standalone HTML page. Each writer takes only the ControlRun (and the summary made of it), so a
// run put together from the parts that several machines computed prints exactly what the single
// run prints.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/control_cases.h"
#include "controls/control_summary.h"
#include "controls/statistics.h"
#include "results/json_writer.h"
#include "results/number_text.h"

struct ControlRun {
    SearchSettings settings;
    KeywordList keywords;  // as the user gave them
    std::string alphabet = "latin";
    bool ignoreNumbers = false;  // how the document was normalised: digits are no letters
    ControlKind kind = ControlKind::Letters;
    std::uint64_t seed = 0;
    std::int64_t total = 0;  // the controls asked for
    SearchStatistics real;   // the search of the document itself
    std::vector<SearchStatistics>
        controls;  // control i at index i; fewer than `total` after a stop
    // ExpectedCount, where it is defined: the mean over letter shuffles, and the count with
    // independent letters. Reported for letters controls only, whose reference they are.
    std::optional<double> expected;
    std::optional<double> expectedIndependent;
    // The real results that hold a keyword at |skip| = 1.
    std::int64_t plainWordResults = 0;
    // A sentence for each typed word the search left out, having no letter of the alphabet.
    std::vector<std::string> leftOutNotes;
    // Where the figures come from: the document as the user named it (empty when unknown, as
    // after a merge), the SHA-256 of its bytes (lower-case hexadecimal), the version of the
    // program that made the report and the day it did (YYYY-MM-DD, UTC).
    std::string documentName;
    std::string documentDigest;
    std::string version;
    std::string date;
};

// The seed a run uses when the user names none.
inline constexpr std::uint64_t kDefaultControlSeed = 20261210;

// Each report comes in two forms: with the run's summary, when one run is reported in more than
// one form, and with the run alone, which summarises it.

// A few lines for standard output, ending with a line break.
std::string ControlReportText(const ControlRun& run, const ControlSummary& summary);
std::string ControlReportText(const ControlRun& run);

// The value of the "controls" member of the JSON output: one object, no line break after it.
// Every control's count and smallest span are listed in control order.
std::string ControlsJson(const ControlRun& run, const ControlSummary& summary);
std::string ControlsJson(const ControlRun& run);

// A whole HTML page: the settings, the figures and a histogram of the controls' counts with the
// real count marked, as inline SVG; no scripts, nothing fetched.
std::string ControlReportHtml(const ControlRun& run, const ControlSummary& summary);
std::string ControlReportHtml(const ControlRun& run);

// The search settings as the JSON outputs and the partials write them: one object with these
// members, in this order.
inline constexpr const char* kSearchSettingsKeys[] = {"maxSkip",       "minSkip",      "span",
                                                      "minWidth",      "maxWidth",     "reverse",
                                                      "excludeDirect", "ignoreNumbers"};
void WriteSearchSettings(CJsonWriter& json, const SearchSettings& settings, bool ignoreNumbers);
