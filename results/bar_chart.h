// The one chart of the reports: bars over an axis, as inline SVG (no scripts, nothing fetched),
// with an optional dashed level line and an optional red mark whose label stays inside the
// picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct BarChart {
    int width = 640, height = 240;
    int left = 50, right = 20, top = 24, bottom = 40;  // margins around the bars
    std::string attributes;                            // more of the <svg> element's attributes
    std::vector<std::int64_t> heights;                 // one bar each
    std::vector<std::string> titles;                   // each bar's tooltip
    std::int64_t tallest = 1;                          // the height at the top of the plot
    std::string lowLabel, highLabel;                   // under the axis's two ends
    std::string axisLabel;                             // under the axis's middle
    std::optional<double> level;  // a dashed green line at this height, labelled `levelLabel`
    std::string levelLabel;
    std::optional<double> mark;  // a red line here, in bars from the left edge (0 to bars)
    std::string markLabel;
};

// The chart as an <svg> element (ends with a line break).
std::string BarChartSvg(const BarChart& chart);
