#include "controls/control_report.h"

#include <algorithm>
#include <cmath>

#include "results/bar_chart.h"
#include "results/html_text.h"
#include "results/json_writer.h"

namespace {

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
    return SignificantNumber(p.Value()) + " (" + std::to_string(1 + p.hits) + "/" +
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

std::string Row(const std::string& name, const std::string& value) {
    return "<tr><th>" + HtmlEscape(name) + "</th><td>" + HtmlEscape(value) + "</td></tr>\n";
}

// The histogram of the controls' counts, with a red line over the bar that holds the real count.
std::string Histogram(const ControlRun& run, const ResultHistogram& histogram) {
    BarChart chart;
    chart.width = 800;
    chart.height = 300;
    chart.top = 20;
    chart.attributes = " role=\"img\" aria-label=\"Histogram of the controls' result counts\"";
    chart.heights = histogram.heights;
    chart.tallest = histogram.tallest;
    const std::int64_t binWidth = histogram.binWidth;
    for (std::size_t bin = 0; bin < histogram.heights.size(); ++bin) {
        const std::int64_t from = histogram.low + static_cast<std::int64_t>(bin) * binWidth;
        chart.titles.push_back(std::to_string(from) +
                               (binWidth > 1 ? "-" + std::to_string(from + binWidth - 1) : "") +
                               ": " + std::to_string(histogram.heights[bin]) + " controls");
    }
    const auto bins = static_cast<std::int64_t>(histogram.heights.size());
    chart.lowLabel = std::to_string(histogram.low);
    chart.highLabel = std::to_string(histogram.low + bins * binWidth - 1);
    chart.axisLabel = "results per control (bins of " + std::to_string(binWidth) + ")";
    chart.mark = static_cast<double>(histogram.realBin) + 0.45;
    chart.markLabel = "real " + std::to_string(run.real.results);
    return BarChartSvg(chart);
}

}  // namespace

void WriteSearchSettings(CJsonWriter& json, const SearchSettings& settings, bool ignoreNumbers) {
    const char* const* key = kSearchSettingsKeys;
    json.BeginObject();
    json.Key(*key++).Integer(settings.MaxDistanceBetweenLetters);
    json.Key(*key++).Integer(MinAbsoluteSkip(settings));
    json.Key(*key++).Integer(settings.MaxResultLength);
    json.Key(*key++).Integer(settings.MinColumnWidth);
    json.Key(*key++).Integer(settings.MaxColumnWidth);
    json.Key(*key++).Bool(settings.AllowReverseKeywords);
    json.Key(*key++).Bool(settings.ExcludeWordsDirectlyFromText);
    json.Key(*key).Bool(ignoreNumbers);
    json.EndObject();
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
    json.EndArray().Key("settings");
    WriteSearchSettings(json, s, run.ignoreNumbers);
    json.Key("real").BeginObject().Key("results").Integer(run.real.results);
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
    json.OptionalNumber(ShowsExpected(run) ? run.expected : std::nullopt);
    json.Key("expectedIndependent");
    json.OptionalNumber(ShowsExpected(run) ? run.expectedIndependent : std::nullopt);
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
