// What a control run's report says, computed once for the text, the JSON and the HTML page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/statistics.h"

struct ControlRun;

// The controls' result counts in at most 40 bins of equal whole-number width, from the lowest
// to the highest of the counts and the real count.
struct ResultHistogram {
    std::int64_t low = 0;               // the lowest count of the first bin
    std::int64_t binWidth = 1;          // counts per bin
    std::vector<std::int64_t> heights;  // controls in each bin
    std::int64_t tallest = 1;           // the highest bin, at least 1
    std::int64_t realBin = 0;           // the bin that holds the real count
};

struct ControlSummary {
    Summary results;  // the controls' result counts
    Summary spans;    // the smallest spans of the controls with a result
    PValue resultsP;  // controls with at least as many results as the real search
    PValue spanP;     // controls with a smallest span at most the real one
    // The other tails: at most as many results, a smallest span at least as wide.
    PValue resultsAtMostP;
    PValue spanAtLeastP;
    ResultHistogram histogram;
    // The sentences below the figures (ControlReportNotes).
    std::vector<std::string> notes;
};

ControlSummary SummariseControlRun(const ControlRun& run);
