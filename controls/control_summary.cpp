#include "controls/control_summary.h"

#include <algorithm>

#include "controls/control_notes.h"
#include "controls/control_report.h"

namespace {

ResultHistogram MakeHistogram(const ControlRun& run) {
    constexpr std::int64_t kMostBins = 40;
    ResultHistogram histogram;
    std::int64_t low = run.real.results, high = run.real.results;
    for (const SearchStatistics& control : run.controls) {
        low = std::min(low, control.results);
        high = std::max(high, control.results);
    }
    histogram.low = low;
    histogram.binWidth = (high - low + kMostBins) / kMostBins;
    const std::int64_t bins = (high - low) / histogram.binWidth + 1;
    histogram.heights.assign(static_cast<std::size_t>(bins), 0);
    for (const SearchStatistics& control : run.controls)
        ++histogram.heights[static_cast<std::size_t>((control.results - low) / histogram.binWidth)];
    histogram.realBin = (run.real.results - low) / histogram.binWidth;
    histogram.tallest = std::max<std::int64_t>(
        1, *std::max_element(histogram.heights.begin(), histogram.heights.end()));
    return histogram;
}

}  // namespace

ControlSummary SummariseControlRun(const ControlRun& run) {
    ControlSummary summary;
    summary.results = SummariseResults(run.controls);
    summary.spans = SummariseSpans(run.controls);
    summary.resultsP = ResultsPValue(run.real, run.controls);
    summary.spanP = SpanPValue(run.real, run.controls);
    summary.resultsAtMostP = ResultsAtMostPValue(run.real, run.controls);
    summary.spanAtLeastP = SpanAtLeastPValue(run.real, run.controls);
    summary.notes = ControlReportNotes(run);
    summary.histogram = MakeHistogram(run);
    return summary;
}
