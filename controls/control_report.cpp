#include "controls/control_report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "results/json_writer.h"

namespace {

// Correctly rounded conversions (std::to_chars), so that every standard library prints the same
// digits for the same double.
std::string FormatGeneral(double value, int significant) {
    if (!std::isfinite(value)) return "-";
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::general, significant);
    return std::string(buffer, written.ptr);
}

std::string YesNo(bool value) {
    return value ? "yes" : "no";
}

std::string KeywordsText(const KeywordList& keywords) {
    std::string text;
    for (const std::string& keyword : keywords)
        text += (text.empty() ? "" : " ") + keyword;
    return text;
}

std::string SettingsText(const SearchSettings& settings) {
    return "right to left " + YesNo(settings.AllowReverseKeywords) + ", plain words excluded " +
           YesNo(settings.ExcludeWordsDirectlyFromText) + ", widths " +
           std::to_string(settings.MinColumnWidth) + "-" + std::to_string(settings.MaxColumnWidth) +
           ", keywords within " + std::to_string(settings.MaxResultLength) + ", letters within " +
           std::to_string(settings.MaxDistanceBetweenLetters) +
           (settings.MinSkip > 1 ? ", smallest skip " + std::to_string(settings.MinSkip) : "");
}

std::string PValueText(const PValue& p) {
    return FormatGeneral(p.Value(), 4) + " (" + std::to_string(1 + p.hits) + "/" +
           std::to_string(1 + p.controls) + ")";
}

// The two tails of each statistic, as the report names them.
constexpr char kMoreResults[] = "at least as many";
constexpr char kFewerResults[] = "at most as many";
constexpr char kSmallerSpan[] = "at most as small";
constexpr char kWiderSpan[] = "at least as wide";

std::string TailsText(const PValue& p, const char* tail, const PValue& other,
                      const char* otherTail) {
    return std::string("p(") + tail + ") = " + PValueText(p) + "; p(" + otherTail +
           ") = " + PValueText(other);
}

// The expected counts are the reference of letters controls alone.
bool ShowsExpected(const ControlRun& run) {
    return run.kind == ControlKind::Letters && run.expected.has_value();
}

std::string ExpectedText(const ControlRun& run) {
    std::string text = FormatSignificant(*run.expected) + " (mean over letter shuffles)";
    if (run.expectedIndependent)
        text += "; " + FormatSignificant(*run.expectedIndependent) + " with independent letters";
    return text;
}

std::string SummaryText(const Summary& summary) {
    if (summary.samples == 0) return "none";
    return "mean " + FormatFixed(summary.mean, 2) + ", sd " +
           FormatFixed(summary.standardDeviation, 2) + ", min " + std::to_string(summary.minimum) +
           ", max " + std::to_string(summary.maximum);
}

std::string SpanText(std::int64_t span) {
    return span > 0 ? std::to_string(span) : "none";
}

std::string RunHeadline(const ControlRun& run) {
    const auto done = static_cast<std::int64_t>(run.controls.size());
    std::string line =
        done == run.total
            ? std::to_string(run.total) + " " + ControlKindName(run.kind) + " controls"
            : std::to_string(done) + " of " + std::to_string(run.total) + " " +
                  ControlKindName(run.kind) + " controls done (stopped)";
    return line + ", seed " + std::to_string(run.seed) + ", alphabet " + run.alphabet;
}

std::string DocumentText(const ControlRun& run) {
    return (run.documentName.empty() ? "" : run.documentName + ", ") + "SHA-256 " +
           (run.documentDigest.empty() ? "unknown" : run.documentDigest);
}

std::string MadeText(const ControlRun& run) {
    return "strandix " + run.version + " on " + run.date;
}

void WriteSpan(CJsonWriter& json, std::int64_t span) {
    if (span > 0) {
        json.Integer(span);
    } else {
        json.Null();
    }
}

// The summary with both tails: "hits"/"p" the first, "hitsAtMost"/"pAtMost" the other.
void WriteSummary(CJsonWriter& json, const Summary& summary, const PValue& p, const char* tail,
                  const PValue& other, const char* otherTail) {
    json.BeginObject().Key("samples").Integer(summary.samples);
    if (summary.samples > 0) {
        json.Key("mean").Number(summary.mean).Key("sd").Number(summary.standardDeviation);
        json.Key("min").Integer(summary.minimum).Key("max").Integer(summary.maximum);
    }
    json.Key("hits").Integer(p.hits).Key("p").Number(p.Value()).Key("tail").String(tail);
    json.Key("hitsAtMost").Integer(other.hits).Key("pAtMost").Number(other.Value());
    json.Key("tailAtMost").String(otherTail).EndObject();
}

void WriteOptionalNumber(CJsonWriter& json, bool shown, const std::optional<double>& value) {
    if (shown && value) {
        json.Number(*value);
    } else {
        json.Null();
    }
}

std::string HtmlEscape(const std::string& text) {
    std::string html;
    for (const char c : text) {
        switch (c) {
            case '&':
                html += "&amp;";
                break;
            case '<':
                html += "&lt;";
                break;
            case '>':
                html += "&gt;";
                break;
            case '"':
                html += "&quot;";
                break;
            default:
                html += c;
        }
    }
    return html;
}

std::string Row(const std::string& name, const std::string& value) {
    return "<tr><th>" + HtmlEscape(name) + "</th><td>" + HtmlEscape(value) + "</td></tr>\n";
}

// The histogram of the controls' counts, with a red line at the real count.
std::string Histogram(const ControlRun& run, const ResultHistogram& histogram) {
    constexpr int kWidth = 800, kHeight = 300, kLeft = 50, kRight = 20, kTop = 20, kBottom = 40;
    const std::int64_t low = histogram.low, binWidth = histogram.binWidth,
                       tallest = histogram.tallest;
    const std::vector<std::int64_t>& heights = histogram.heights;
    const auto bins = static_cast<std::int64_t>(heights.size());
    const double plotWidth = kWidth - kLeft - kRight, plotHeight = kHeight - kTop - kBottom;
    const double barWidth = plotWidth / static_cast<double>(bins);
    auto x = [&](double bin) { return FormatFixed(kLeft + bin * barWidth, 1); };
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      std::to_string(kWidth) + "\" height=\"" + std::to_string(kHeight) +
                      "\" role=\"img\" aria-label=\"Histogram of the controls' result counts\">\n";
    for (std::int64_t bin = 0; bin < bins; ++bin) {
        const double height =
            plotHeight * static_cast<double>(heights[bin]) / static_cast<double>(tallest);
        const std::int64_t from = low + bin * binWidth;
        svg += "<rect x=\"" + x(static_cast<double>(bin)) + "\" y=\"" +
               FormatFixed(kTop + plotHeight - height, 1) + "\" width=\"" +
               FormatFixed(barWidth * 0.9, 1) + "\" height=\"" + FormatFixed(height, 1) +
               "\" fill=\"#6a8fc7\"><title>" + std::to_string(from) +
               (binWidth > 1 ? "-" + std::to_string(from + binWidth - 1) : "") + ": " +
               std::to_string(heights[bin]) + " controls</title></rect>\n";
    }
    const std::string axisY = std::to_string(kTop + static_cast<int>(plotHeight));
    svg += "<line x1=\"" + std::to_string(kLeft) + "\" y1=\"" + axisY + "\" x2=\"" +
           std::to_string(kWidth - kRight) + "\" y2=\"" + axisY + "\" stroke=\"#333\"/>\n";
    const std::string labelY = std::to_string(kHeight - kBottom + 16);
    svg += "<text x=\"" + std::to_string(kLeft) + "\" y=\"" + labelY + "\">" + std::to_string(low) +
           "</text>\n";
    svg += "<text x=\"" + std::to_string(kWidth - kRight) + "\" y=\"" + labelY +
           "\" text-anchor=\"end\">" + std::to_string(low + bins * binWidth - 1) + "</text>\n";
    svg += "<text x=\"" + std::to_string(kLeft - 6) + "\" y=\"" + std::to_string(kTop + 10) +
           "\" text-anchor=\"end\">" + std::to_string(tallest) + "</text>\n";
    svg += "<text x=\"" + std::to_string(kWidth / 2) + "\" y=\"" + std::to_string(kHeight - 6) +
           "\" text-anchor=\"middle\">results per control (bins of " + std::to_string(binWidth) +
           ")</text>\n";
    // The line stands over the middle of the bar whose bin holds the real count; its label is
    // turned inward near either edge, so that it stays inside the picture.
    const double realCentre =
        kLeft + static_cast<double>(histogram.realBin) * barWidth + barWidth * 0.45;
    const std::string realX = FormatFixed(realCentre, 1);
    constexpr double kLabelRoom = 60;
    const char* anchor = realCentre < kLabelRoom            ? "start"
                         : realCentre > kWidth - kLabelRoom ? "end"
                                                            : "middle";
    svg += "<line x1=\"" + realX + "\" y1=\"" + std::to_string(kTop) + "\" x2=\"" + realX +
           "\" y2=\"" + axisY + "\" stroke=\"#c00\" stroke-width=\"2\"/>\n";
    svg += "<text x=\"" + realX + "\" y=\"" + std::to_string(kTop - 6) + "\" text-anchor=\"" +
           anchor + "\" fill=\"#c00\">real " + std::to_string(run.real.results) + "</text>\n";
    return svg + "</svg>\n";
}

}  // namespace

std::string FormatSignificant(double value) {
    if (!std::isfinite(value)) return "-";
    if (value == 0) return "0";
    const double magnitude = std::fabs(value);
    if (magnitude < 1e-3 || magnitude >= 1e15) return FormatGeneral(value, 4);
    const int digitsBefore = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    return FormatFixed(value, std::max(0, 4 - digitsBefore));
}

std::string FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) return "-";
    char buffer[400];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (written.ec != std::errc()) return FormatGeneral(value, 17);
    std::string text(buffer, written.ptr);
    // -0.00 says nothing that 0.00 does not.
    if (text.find_first_not_of("-0.") == std::string::npos && text.front() == '-') text.erase(0, 1);
    return text;
}

std::string ControlReportText(const ControlRun& run) {
    return ControlReportText(run, SummariseControlRun(run));
}

std::string ControlReportText(const ControlRun& run, const ControlSummary& summary) {
    const Summary& results = summary.results;
    const Summary& spans = summary.spans;
    std::string text = "Controls: " + RunHeadline(run) + "\n";
    text += "Keywords: " + KeywordsText(run.keywords) + "\n";
    text += "Settings: " + SettingsText(run.settings) + "\n";
    text += "Document: " + DocumentText(run) + "\n";
    text += "Made by: " + MadeText(run) + "\n";
    text += "Results: real " + std::to_string(run.real.results) + "; controls " +
            SummaryText(results) + "; " +
            TailsText(summary.resultsP, kMoreResults, summary.resultsAtMostP, kFewerResults) + "\n";
    text += "Smallest span: real " + SpanText(run.real.smallestSpan) + "; controls " +
            SummaryText(spans) + " (" + std::to_string(spans.samples) + " of " +
            std::to_string(run.controls.size()) + " with a result); " +
            TailsText(summary.spanP, kSmallerSpan, summary.spanAtLeastP, kWiderSpan) + "\n";
    if (ShowsExpected(run)) text += "Expected results: " + ExpectedText(run) + "\n";
    for (const std::string& note : summary.notes)
        text += "Note: " + note + "\n";
    return text;
}

std::string ControlsJson(const ControlRun& run) {
    return ControlsJson(run, SummariseControlRun(run));
}

std::string ControlsJson(const ControlRun& run, const ControlSummary& summary) {
    CJsonWriter json;
    json.BeginObject().Key("kind").String(ControlKindName(run.kind)).Key("seed").Unsigned(run.seed);
    json.Key("alphabet").String(run.alphabet).Key("documentSha256").String(run.documentDigest);
    json.Key("total").Integer(run.total);
    json.Key("done").Integer(static_cast<std::int64_t>(run.controls.size()));
    json.Key("keywords").BeginArray();
    for (const std::string& keyword : run.keywords)
        json.String(keyword);
    const SearchSettings& s = run.settings;
    json.EndArray().Key("settings").BeginObject();
    json.Key("AllowReverseKeywords").Bool(s.AllowReverseKeywords);
    json.Key("ExcludeWordsDirectlyFromText").Bool(s.ExcludeWordsDirectlyFromText);
    json.Key("MinColumnWidth").Integer(s.MinColumnWidth);
    json.Key("MaxColumnWidth").Integer(s.MaxColumnWidth);
    json.Key("MaxResultLength").Integer(s.MaxResultLength);
    json.Key("MaxDistanceBetweenLetters").Integer(s.MaxDistanceBetweenLetters);
    if (s.MinSkip > 1) json.Key("MinSkip").Integer(s.MinSkip);
    json.EndObject().Key("real").BeginObject().Key("results").Integer(run.real.results);
    json.Key("smallestSpan");
    WriteSpan(json, run.real.smallestSpan);
    json.Key("plainWordResults").Integer(run.plainWordResults);
    json.EndObject().Key("results");
    WriteSummary(json, summary.results, summary.resultsP, kMoreResults, summary.resultsAtMostP,
                 kFewerResults);
    json.Key("smallestSpan");
    WriteSummary(json, summary.spans, summary.spanP, kSmallerSpan, summary.spanAtLeastP,
                 kWiderSpan);
    // The expectations are the reference of letters controls only.
    json.Key("expected");
    WriteOptionalNumber(json, ShowsExpected(run), run.expected);
    json.Key("expectedIndependent");
    WriteOptionalNumber(json, ShowsExpected(run), run.expectedIndependent);
    json.Key("notes").BeginArray();
    for (const std::string& note : summary.notes)
        json.String(note);
    json.EndArray().Key("counts").BeginArray();
    for (const SearchStatistics& control : run.controls)
        json.Integer(control.results);
    json.EndArray().Key("smallestSpans").BeginArray();
    for (const SearchStatistics& control : run.controls)
        WriteSpan(json, control.smallestSpan);
    json.EndArray().EndObject();
    return json.Text();
}

std::string ControlReportHtml(const ControlRun& run) {
    return ControlReportHtml(run, SummariseControlRun(run));
}

std::string ControlReportHtml(const ControlRun& run, const ControlSummary& summary) {
    const Summary& results = summary.results;
    const Summary& spans = summary.spans;
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Strandix! controls: " +
        HtmlEscape(KeywordsText(run.keywords)) +
        "</title>\n<style>\nbody { font-family: sans-serif; margin: 2em; color: #222; }\n"
        "table { border-collapse: collapse; margin-bottom: 1.5em; }\n"
        "th, td { text-align: left; padding: 0.2em 1em 0.2em 0; vertical-align: top; }\n"
        "th { font-weight: normal; color: #555; }\ntext { font-size: 12px; }\n</style>\n"
        "</head>\n<body>\n<h1>Controls: " +
        HtmlEscape(KeywordsText(run.keywords)) + "</h1>\n<table>\n";
    html += Row("Controls", RunHeadline(run));
    html += Row("Settings", SettingsText(run.settings));
    if (!run.documentName.empty()) html += Row("Document", run.documentName);
    html += Row("SHA-256", run.documentDigest.empty() ? "unknown" : run.documentDigest);
    html += Row("Made by", MadeText(run));
    html += "</table>\n<table>\n";
    html += Row("Results", "real " + std::to_string(run.real.results));
    html += Row("Controls' results", SummaryText(results));
    html += Row(std::string("p-value, ") + kMoreResults + " results", PValueText(summary.resultsP));
    html += Row(std::string("p-value, ") + kFewerResults + " results",
                PValueText(summary.resultsAtMostP));
    html += Row("Smallest span", "real " + SpanText(run.real.smallestSpan));
    html += Row("Controls' smallest spans",
                SummaryText(spans) + " (" + std::to_string(spans.samples) + " of " +
                    std::to_string(run.controls.size()) + " with a result)");
    html += Row(std::string("p-value, smallest span ") + kSmallerSpan, PValueText(summary.spanP));
    html +=
        Row(std::string("p-value, smallest span ") + kWiderSpan, PValueText(summary.spanAtLeastP));
    if (ShowsExpected(run)) html += Row("Expected results", ExpectedText(run));
    html += "</table>\n";
    html += Histogram(run, summary.histogram);
    html +=
        "<p>A p-value is the share of the controls, the real search counted among them, that "
        "lie in its tail: (1 + hits) / (1 + controls). Each statistic has two tails, named "
        "beside its p-value.</p>\n";
    for (const std::string& note : summary.notes)
        html += "<p>" + HtmlEscape(note) + "</p>\n";
    return html + "</body>\n</html>\n";
}
