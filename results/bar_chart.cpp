#include "results/bar_chart.h"

#include <algorithm>

#include "results/html_text.h"
#include "results/number_text.h"

namespace {

// The width of `text` at the charts' 12 px, a little generously: about 7 px a character.
double LabelWidth(const std::string& text) {
    std::size_t characters = 0;
    for (const char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return 7.0 * static_cast<double>(characters);
}

}  // namespace

std::string BarChartSvg(const BarChart& chart) {
    const double plotWidth = chart.width - chart.left - chart.right;
    const double plotHeight = chart.height - chart.top - chart.bottom;
    const double tallest = static_cast<double>(std::max<std::int64_t>(1, chart.tallest));
    const double barWidth =
        plotWidth / static_cast<double>(std::max<std::size_t>(1, chart.heights.size()));
    const auto y = [&](double height) {
        return chart.top + plotHeight - plotHeight * std::min(height, tallest) / tallest;
    };
    const std::string right = std::to_string(chart.width - chart.right);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      std::to_string(chart.width) + "\" height=\"" + std::to_string(chart.height) +
                      "\"" + chart.attributes + ">\n";
    for (std::size_t bar = 0; bar < chart.heights.size(); ++bar) {
        const double height = plotHeight * static_cast<double>(chart.heights[bar]) / tallest;
        svg += "<rect x=\"" + FormatFixed(chart.left + static_cast<double>(bar) * barWidth, 1) +
               "\" y=\"" + FormatFixed(chart.top + plotHeight - height, 1) + "\" width=\"" +
               FormatFixed(barWidth * 0.9, 1) + "\" height=\"" + FormatFixed(height, 1) +
               "\" fill=\"#6a8fc7\"><title>" +
               (bar < chart.titles.size() ? HtmlEscape(chart.titles[bar]) : std::string()) +
               "</title></rect>\n";
    }
    const std::string axisY = std::to_string(chart.top + static_cast<int>(plotHeight));
    svg += "<line x1=\"" + std::to_string(chart.left) + "\" y1=\"" + axisY + "\" x2=\"" + right +
           "\" y2=\"" + axisY + "\" stroke=\"#333\"/>\n";
    if (chart.level) {
        const std::string levelY = FormatFixed(y(*chart.level), 1);
        svg += "<line x1=\"" + std::to_string(chart.left) + "\" y1=\"" + levelY + "\" x2=\"" +
               right + "\" y2=\"" + levelY +
               "\" stroke=\"#2a2\" stroke-width=\"2\" stroke-dasharray=\"6 4\"/>\n";
        svg += "<text x=\"" + right + "\" y=\"" + FormatFixed(y(*chart.level) - 4, 1) +
               "\" text-anchor=\"end\" fill=\"#2a2\">" + HtmlEscape(chart.levelLabel) + "</text>\n";
    }
    const std::string labelY = std::to_string(chart.height - chart.bottom + 16);
    svg += "<text x=\"" + std::to_string(chart.left) + "\" y=\"" + labelY + "\">" +
           HtmlEscape(chart.lowLabel) + "</text>\n";
    svg += "<text x=\"" + right + "\" y=\"" + labelY + "\" text-anchor=\"end\">" +
           HtmlEscape(chart.highLabel) + "</text>\n";
    svg += "<text x=\"" + std::to_string(chart.left - 6) + "\" y=\"" +
           std::to_string(chart.top + 10) + "\" text-anchor=\"end\">" +
           std::to_string(chart.tallest) + "</text>\n";
    svg += "<text x=\"" + std::to_string(chart.width / 2) + "\" y=\"" +
           std::to_string(chart.height - 6) + "\" text-anchor=\"middle\">" +
           HtmlEscape(chart.axisLabel) + "</text>\n";
    if (chart.mark) {
        // The line stays on the plot; its label is turned inward near either edge, so that it
        // stays inside the picture.
        const double centre = std::clamp(chart.left + *chart.mark * barWidth, double(chart.left),
                                         double(chart.width - chart.right));
        const double room = std::max(60.0, LabelWidth(chart.markLabel) / 2 + 4);
        const char* anchor = centre < room                 ? "start"
                             : centre > chart.width - room ? "end"
                                                           : "middle";
        const std::string markX = FormatFixed(centre, 1);
        svg += "<line x1=\"" + markX + "\" y1=\"" + std::to_string(chart.top) + "\" x2=\"" + markX +
               "\" y2=\"" + axisY + "\" stroke=\"#c00\" stroke-width=\"2\"/>\n";
        svg += "<text x=\"" + markX + "\" y=\"" + std::to_string(chart.top - 6) +
               "\" text-anchor=\"" + anchor + "\" fill=\"#c00\">" + HtmlEscape(chart.markLabel) +
               "</text>\n";
    }
    return svg + "</svg>\n";
}
