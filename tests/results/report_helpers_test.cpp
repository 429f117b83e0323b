#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "results/bar_chart.h"
#include "results/html_text.h"
#include "results/number_text.h"

namespace {

TEST(NumberText, FourSignificantDigitsAndFractions) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {0.035714285714285714, "0.03571"},
        {3.3078954064819765e-08, "3.308e-08"},
        {0.016, "0.016"},
        {1, "1"},
        {0.6723199999999999, "0.6723"},
        {146463.0 / 1000000.0, "0.1465"},
        {123456.0, "1.235e+05"},
        {0.99995, "1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SignificantNumber(c.value), c.expected) << c.value;
    EXPECT_EQ(FractionText(2, 56), "2/56 = 0.03571");
    EXPECT_EQ(FractionText(125, 125), "125/125 = 1");
    EXPECT_EQ(ShortestNumber(0.1 + 0.2), "0.30000000000000004");
}

TEST(HtmlText, EscapesTheFourCharactersOfMarkup) {
    EXPECT_EQ(HtmlEscape("a<b> & \"c\" 'd' אב"), "a&lt;b&gt; &amp; &quot;c&quot; 'd' אב");
}

// The x where a label starts and ends, at the chart's estimate of 7 px a character.
struct LabelSpan {
    double from, to;
};
LabelSpan MarkLabelSpan(const std::string& svg, const std::string& label) {
    const std::regex text(
        "<text x=\"([0-9.]+)\" y=\"[0-9]+\" text-anchor=\"(start|middle|end)\" "
        "fill=\"#c00\">" +
        label + "</text>");
    std::smatch match;
    EXPECT_TRUE(std::regex_search(svg, match, text)) << svg;
    if (match.empty()) return {0, 0};
    const double x = std::stod(match[1]);
    const double width = 7.0 * static_cast<double>(label.size());
    if (match[2] == "start") return {x, x + width};
    if (match[2] == "end") return {x - width, x};
    return {x - width / 2, x + width / 2};
}

TEST(BarChart, KeepsTheMarkAndItsLabelInsideThePicture) {
    const std::string label = "P2 = 3.308e-08 (a long label)";
    for (const double mark : {-3.0, 0.0, 0.2, 5.0, 9.8, 10.0, 14.0}) {
        BarChart chart;
        chart.heights = {1, 4, 2, 0, 3, 3, 1, 0, 0, 2};
        chart.tallest = 4;
        chart.mark = mark;
        chart.markLabel = label;
        const std::string svg = BarChartSvg(chart);
        const LabelSpan span =
            MarkLabelSpan(svg, std::regex_replace(label, std::regex("[()]"), "\\$&"));
        EXPECT_GE(span.from, 0) << mark;
        EXPECT_LE(span.to, chart.width) << mark;
    }
}

TEST(BarChart, DrawsEachBarToScaleWithItsTitle) {
    BarChart chart;
    chart.width = 140;
    chart.height = 100;
    chart.left = 20;
    chart.right = 20;
    chart.top = 20;
    chart.bottom = 40;
    chart.heights = {2, 4};
    chart.titles = {"two <pairs>", "four"};
    chart.tallest = 4;
    chart.level = 3;
    chart.levelLabel = "uniform";
    const std::string svg = BarChartSvg(chart);
    EXPECT_NE(svg.find("<rect x=\"20.0\" y=\"40.0\" width=\"45.0\" height=\"20.0\" "
                       "fill=\"#6a8fc7\"><title>two &lt;pairs&gt;</title></rect>"),
              std::string::npos)
        << svg;
    EXPECT_NE(svg.find("<rect x=\"70.0\" y=\"20.0\" width=\"45.0\" height=\"40.0\""),
              std::string::npos);
    EXPECT_NE(svg.find("y1=\"30.0\" x2=\"120\" y2=\"30.0\" stroke=\"#2a2\""), std::string::npos);
}

}  // namespace
