// The one summary of a control run that the text, JSON and HTML reports all show.
#include "controls/control_summary.h"

#include <gtest/gtest.h>

#include <vector>

#include "controls/control_report.h"

namespace {

ControlRun RunWith(std::int64_t real, const std::vector<std::int64_t>& counts) {
    ControlRun run;
    run.real = {real, real > 0 ? 10 : 0};
    for (const std::int64_t count : counts)
        run.controls.push_back({count, count > 0 ? 12 : 0});
    run.total = static_cast<std::int64_t>(counts.size());
    return run;
}

TEST(ControlSummaryTest, HistogramBinsSpanTheCountsAndTheRealCount) {
    const struct {
        std::int64_t real;
        std::vector<std::int64_t> counts;
        std::int64_t low, binWidth;
        std::vector<std::int64_t> heights;
    } cases[] = {
        {5, {3, 3, 4}, 3, 1, {2, 1, 0}},  // the real count widens the range
        {0, {}, 0, 1, {0}},
        // 100 counts in 40 bins: 3 a bin, 34 bins; 38 is in bin 12, 39 and 41 in bin 13.
        {100,
         {0, 38, 39, 41},
         0,
         3,
         [] {
             std::vector<std::int64_t> heights(34);
             heights[0] = 1, heights[12] = 1, heights[13] = 2;
             return heights;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.real);
        const ControlSummary summary = SummariseControlRun(RunWith(c.real, c.counts));
        EXPECT_EQ(summary.histogram.low, c.low);
        EXPECT_EQ(summary.histogram.binWidth, c.binWidth);
        EXPECT_EQ(summary.histogram.heights, c.heights);
        EXPECT_LE(summary.histogram.heights.size(), 40u);
    }
}

TEST(ControlSummaryTest, EveryReportShowsTheSameSummary) {
    const ControlRun run = RunWith(4, {1, 4, 6, 0});
    const ControlSummary summary = SummariseControlRun(run);
    EXPECT_EQ(summary.results.samples, 4);
    EXPECT_DOUBLE_EQ(summary.results.mean, 2.75);
    EXPECT_EQ(summary.spans.samples, 3);
    EXPECT_EQ(summary.resultsP.hits, 2);
    EXPECT_EQ(summary.spanP.hits, 0);
    EXPECT_EQ(ControlReportText(run, summary), ControlReportText(run));
    EXPECT_EQ(ControlsJson(run, summary), ControlsJson(run));
    EXPECT_EQ(ControlReportHtml(run, summary), ControlReportHtml(run));
}

}  // namespace
