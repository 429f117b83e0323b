#include "proximity/proximity_page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "proximity/proximity_report.h"

namespace {

constexpr int kWidth = 640, kHeight = 240, kLeft = 50, kRight = 20, kTop = 24, kBottom = 40;

std::string Escape(const std::string& text) {
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

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Row(const std::string& name, const std::string& value) {
    return "<tr><th>" + Escape(name) + "</th><td>" + Escape(value) + "</td></tr>\n";
}

// Bars of `counts` over [low, high), each labelled, with an optional dashed level line and an
// optional marked value.
struct Bars {
    std::vector<std::int64_t> counts;
    double low = 0, high = 1;
    std::string lowLabel, highLabel, axisLabel, unit;
    double level = -1;    // the uniform line, in counts; below 0: none
    double marked = NAN;  // x value of the red mark
    std::string markLabel;
};

std::string BarChart(const Bars& bars) {
    const double plotWidth = kWidth - kLeft - kRight, plotHeight = kHeight - kTop - kBottom;
    double tallest = std::max(1.0, bars.level);
    for (const std::int64_t count : bars.counts)
        tallest = std::max(tallest, double(count));
    const double barWidth = plotWidth / double(bars.counts.size());
    const auto y = [&](double count) { return kTop + plotHeight - plotHeight * count / tallest; };
    const auto x = [&](double value) {
        return kLeft + plotWidth * (value - bars.low) / (bars.high - bars.low);
    };
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      std::to_string(kWidth) + "\" height=\"" + std::to_string(kHeight) +
                      "\" font-size=\"12\">\n";
    for (std::size_t bin = 0; bin < bars.counts.size(); ++bin) {
        const double top = y(double(bars.counts[bin]));
        svg += "<rect x=\"" + Fixed(kLeft + double(bin) * barWidth, 1) + "\" y=\"" + Fixed(top, 1) +
               "\" width=\"" + Fixed(barWidth * 0.9, 1) + "\" height=\"" +
               Fixed(kTop + plotHeight - top, 1) + "\" fill=\"#6a8fc7\"><title>" +
               std::to_string(bars.counts[bin]) + " " + bars.unit + "</title></rect>\n";
    }
    const std::string axisY = Fixed(kTop + plotHeight, 1);
    svg += "<line x1=\"" + std::to_string(kLeft) + "\" y1=\"" + axisY + "\" x2=\"" +
           std::to_string(kWidth - kRight) + "\" y2=\"" + axisY + "\" stroke=\"#333\"/>\n";
    if (bars.level >= 0) {
        const std::string levelY = Fixed(y(bars.level), 1);
        svg += "<line x1=\"" + std::to_string(kLeft) + "\" y1=\"" + levelY + "\" x2=\"" +
               std::to_string(kWidth - kRight) + "\" y2=\"" + levelY +
               "\" stroke=\"#2a2\" stroke-width=\"2\" stroke-dasharray=\"6 4\"/>\n";
        svg += "<text x=\"" + std::to_string(kWidth - kRight) + "\" y=\"" +
               Fixed(y(bars.level) - 4, 1) +
               "\" text-anchor=\"end\" fill=\"#2a2\">uniform</text>\n";
    }
    const std::string labelY = std::to_string(kHeight - kBottom + 16);
    svg += "<text x=\"" + std::to_string(kLeft) + "\" y=\"" + labelY + "\">" +
           Escape(bars.lowLabel) + "</text>\n";
    svg += "<text x=\"" + std::to_string(kWidth - kRight) + "\" y=\"" + labelY +
           "\" text-anchor=\"end\">" + Escape(bars.highLabel) + "</text>\n";
    svg += "<text x=\"" + std::to_string(kLeft - 6) + "\" y=\"" + std::to_string(kTop + 10) +
           "\" text-anchor=\"end\">" + std::to_string(static_cast<long long>(tallest)) +
           "</text>\n";
    svg += "<text x=\"" + std::to_string(kWidth / 2) + "\" y=\"" + std::to_string(kHeight - 6) +
           "\" text-anchor=\"middle\">" + Escape(bars.axisLabel) + "</text>\n";
    if (std::isfinite(bars.marked)) {
        const std::string markX =
            Fixed(std::clamp(x(bars.marked), double(kLeft), double(kWidth - kRight)), 1);
        svg += "<line x1=\"" + markX + "\" y1=\"" + std::to_string(kTop) + "\" x2=\"" + markX +
               "\" y2=\"" + axisY + "\" stroke=\"#c00\" stroke-width=\"2\"/>\n";
        svg += "<text x=\"" + markX + "\" y=\"" + std::to_string(kTop - 6) +
               "\" text-anchor=\"middle\" fill=\"#c00\">" + Escape(bars.markLabel) + "</text>\n";
    }
    return svg + "</svg>\n";
}

// The defined c in ten bins of 0.1 against the N/10 a bin that uniform c would give.
std::string CHistogram(const std::vector<ListedPair>& pairs) {
    Bars bars;
    bars.counts.assign(10, 0);
    std::int64_t defined = 0;
    for (const ListedPair& pair : pairs) {
        if (!pair.summary->defined) continue;
        ++defined;
        ++bars.counts[std::min<std::size_t>(9,
                                            static_cast<std::size_t>(pair.summary->c * 10 - 1e-9))];
    }
    bars.lowLabel = "0";
    bars.highLabel = "1";
    bars.axisLabel = "c of the " + std::to_string(defined) + " pairs with c defined (bins of 0.1)";
    bars.unit = "pairs";
    bars.level = double(defined) / 10.0;
    return BarChart(bars);
}

// log10 P2 of the permutations drawn, with the list's own value marked.
std::string P2Histogram(const std::vector<double>& logP2, double realLogP2) {
    Bars bars;
    const double ln10 = std::log(10.0);
    double low = realLogP2 / ln10, high = realLogP2 / ln10;
    for (const double value : logP2) {
        low = std::min(low, value / ln10);
        high = std::max(high, value / ln10);
    }
    low = std::floor(low);
    high = std::max(std::ceil(high), low + 1);
    constexpr std::size_t kBins = 40;
    bars.counts.assign(kBins, 0);
    for (const double value : logP2) {
        const double at = (value / ln10 - low) / (high - low) * kBins;
        ++bars.counts[std::min<std::size_t>(kBins - 1,
                                            static_cast<std::size_t>(std::max(0.0, at)))];
    }
    bars.low = low;
    bars.high = high;
    bars.lowLabel = "10^" + Fixed(low, 0);
    bars.highLabel = "10^" + Fixed(high, 0);
    bars.axisLabel = "P2 of " + std::to_string(logP2.size()) +
                     " permutations (log scale); red: the list's own pairing";
    bars.unit = "permutations";
    bars.marked = realLogP2 / ln10;
    bars.markLabel = "P2 = " + FormatProbability(std::exp(realLogP2), realLogP2);
    return BarChart(bars);
}

std::string GridTable(const ProximityGrid& grid, const CAlphabet& alphabet) {
    std::string html = std::string("<table class=\"grid\"") +
                       (alphabet.Name() == AlphabetName::Hebrew ? " dir=\"rtl\"" : "") + ">\n";
    for (std::int32_t row = 0; row < grid.rowCount; ++row) {
        html += "<tr>";
        for (std::int32_t column = 0; column < grid.columnCount; ++column) {
            const std::size_t cell = static_cast<std::size_t>(row) * grid.columnCount + column;
            static const char* const kClasses[] = {"", " class=\"w1\"", " class=\"w2\"",
                                                   " class=\"both\""};
            const char code = grid.letters[cell];
            html += std::string("<td") + kClasses[grid.marks[cell]] + ">" +
                    (code == '\0' ? std::string() : Escape(std::string(alphabet.Spell(code)))) +
                    "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

std::string ElsText(const Els& els) {
    return "start " + std::to_string(els.start) + ", skip " + std::to_string(els.skip);
}

const char kStyle[] =
    "body { font-family: sans-serif; margin: 2em; color: #222; max-width: 70em; }\n"
    "table { border-collapse: collapse; margin: 0.5em 0 1.5em; }\n"
    "th, td { padding: 2px 8px; text-align: left; }\n"
    "table.pairs td, table.pairs th { border-bottom: 1px solid #ddd; }\n"
    "table.pairs td.n { text-align: right; font-variant-numeric: tabular-nums; }\n"
    "tr.close td { background: #fff4d6; }\n"
    "table.grid td { width: 1.4em; height: 1.4em; padding: 0; text-align: center; "
    "font-family: monospace; font-size: 15px; border: 1px solid #eee; }\n"
    "td.w1 { background: #c7dbff; color: #003; font-weight: bold; }\n"
    "td.w2 { background: #ffd0c2; color: #300; font-weight: bold; }\n"
    "td.both { background: #d9c2ff; font-weight: bold; }\n"
    ".grids { display: flex; flex-wrap: wrap; gap: 2em; }\n"
    ".note { color: #555; }\n";

}  // namespace

ProximityPageExtras PageExtras(const ProximityOutcome& outcome, const CProximityText* text) {
    ProximityPageExtras extras;
    const ProximityRequest& request = outcome.request;
    if (request.fromList && outcome.statistics) {
        const CellMatrix cells = CellMatrixOfRows(request, outcome.rows);
        const std::uint64_t drawn = std::min(request.permutations, kDrawnPermutations);
        std::vector<const CellSums*> chosen(cells.persons);
        for (std::uint64_t index = 1; index <= drawn; ++index) {
            const std::vector<std::uint32_t> permutation =
                PersonPermutation(cells.persons, request.seed, index);
            for (std::size_t i = 0; i < cells.persons; ++i)
                chosen[i] = &cells.At(i, permutation[i]);
            extras.permutationLogP2.push_back(StatisticsOfCells(chosen).logP2);
        }
    }
    if (text == nullptr) {
        extras.gridNote = "The letter grids need the document's letters, which were not at hand.";
        return extras;
    }
    const std::vector<ListedPair> pairs = ListedPairs(request, outcome.rows);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const PairSummary& summary = *pairs[i].summary;
        if (!summary.defined || 5 * summary.rank > summary.validTriples) continue;
        const ProximityPerson& person = request.persons[pairs[i].person];
        if (auto grid = StrongestGrid(*text, person.names[pairs[i].name],
                                      person.dates[pairs[i].date], request.settings))
            extras.grids.emplace(i, std::move(*grid));
    }
    return extras;
}

std::string ProximityPageHtml(const ProximityOutcome& outcome, const ProximityPageExtras& extras) {
    const ProximityRequest& request = outcome.request;
    const ProximitySettings& settings = request.settings;
    const CAlphabet alphabet(request.alphabet, request.keepFinals);
    std::string html =
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Word-pair proximity: " +
        Escape(request.document) + "</title>\n<style>\n" + kStyle + "</style>\n</head>\n<body>\n";
    html += "<h1>Word-pair proximity: " + Escape(request.document) + "</h1>\n<table>\n";
    html += Row("Letters", std::to_string(request.letters));
    html += Row("Settings", "expected sequences " + FormatProbability(settings.expectedEls, 0) +
                                ", words of " + std::to_string(settings.minLetters) + " to " +
                                std::to_string(settings.maxLetters) + " letters, delta constant " +
                                std::to_string(settings.deltaConstant) + ", at least " +
                                std::to_string(settings.minTriples) + " valid triples");
    if (request.controlText)
        html += Row("Control text", std::string(ControlTextKindName(*request.controlText)) +
                                        " shuffled, seed " + std::to_string(request.seed));
    if (outcome.statistics) {
        const ProximityStatistics& statistics = *outcome.statistics;
        html += Row("Pairs with c defined (N)", std::to_string(statistics.pairs) + ", " +
                                                    std::to_string(statistics.close) +
                                                    " of them with c ≤ 0.2");
        html += Row("P1", FormatProbability(statistics.p1, statistics.logP1));
        html += Row("P2", FormatProbability(statistics.p2, statistics.logP2));
        html += Row("T", statistics.hasT ? FormatProbability(statistics.t, 0) : "undefined");
    }
    if (outcome.permutations) {
        const PermutationCounts& counts = *outcome.permutations;
        const double all = double(request.permutations) + 1;
        const auto rank = [&](std::int64_t value) {
            return std::to_string(value) + " of " + std::to_string(request.permutations + 1) +
                   " (p = " + FormatProbability(double(value) / all, 0) + ")";
        };
        html += Row("Rank of P1", rank(counts.atMostP1));
        html += Row("Rank of P2", rank(counts.atMostP2));
        html += Row("Rank of T", rank(counts.atMostT));
        html += Row("Permutations", std::to_string(request.permutations) + ", seed " +
                                        std::to_string(request.seed));
    }
    html += "</table>\n";

    const std::vector<ListedPair> pairs = ListedPairs(request, outcome.rows);
    html += "<h2>The corrected distance c</h2>\n" + CHistogram(pairs);
    html +=
        "<p class=\"note\">Were the words' places unrelated, c would be spread evenly over 0 to "
        "1 (the dashed line).</p>\n";
    if (outcome.statistics && !extras.permutationLogP2.empty()) {
        html += "<h2>P2 under permutations of the persons</h2>\n" +
                P2Histogram(extras.permutationLogP2, outcome.statistics->logP2);
        html += "<p class=\"note\">The first " + std::to_string(extras.permutationLogP2.size()) +
                " permutations of the test are drawn; the rank counts all of them.</p>\n";
    }

    std::vector<std::size_t> order(pairs.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const PairSummary &x = *pairs[a].summary, &y = *pairs[b].summary;
        if (x.defined != y.defined) return x.defined;
        return x.defined && x.c < y.c;
    });
    html += "<h2>Pairs by c</h2>\n<table class=\"pairs\">\n<tr>";
    if (request.fromList) html += "<th>Person</th>";
    html +=
        "<th>Word 1</th><th>Word 2</th><th>D1</th><th>D2</th><th>m</th><th>v</th><th>c</th></tr>\n";
    for (const std::size_t i : order) {
        const ListedPair& pair = pairs[i];
        const ProximityPerson& person = request.persons[pair.person];
        const PairSummary& summary = *pair.summary;
        const bool close = summary.defined && 5 * summary.rank <= summary.validTriples;
        html += close ? "<tr class=\"close\">" : "<tr>";
        if (request.fromList) html += "<td>" + Escape(person.id) + "</td>";
        html += "<td>" + Escape(alphabet.Spell(person.names[pair.name])) + "</td><td>" +
                Escape(alphabet.Spell(person.dates[pair.date])) + "</td><td class=\"n\">" +
                std::to_string(summary.skipLimit1) + "</td><td class=\"n\">" +
                std::to_string(summary.skipLimit2) + "</td><td class=\"n\">" +
                std::to_string(summary.validTriples) + "</td><td class=\"n\">" +
                (summary.defined ? std::to_string(summary.rank) : "-") + "</td><td class=\"n\">" +
                (summary.defined ? FormatProbability(summary.c, 0) : "undefined") + "</td></tr>\n";
    }
    html += "</table>\n";
    for (const LeftOutWord& word : outcome.leftOut)
        html += "<p class=\"note\">Left out: " + Escape(alphabet.Spell(word.word)) + " " +
                Escape(word.reason) + ".</p>\n";

    html += "<h2>Close pairs (c ≤ 0.2)</h2>\n";
    if (!extras.gridNote.empty()) html += "<p class=\"note\">" + Escape(extras.gridNote) + "</p>\n";
    html += "<div class=\"grids\">\n";
    for (const auto& [i, grid] : extras.grids) {
        const ListedPair& pair = pairs[i];
        const ProximityPerson& person = request.persons[pair.person];
        html += "<div><h3><span class=\"w1\">" + Escape(alphabet.Spell(person.names[pair.name])) +
                "</span> and <span class=\"w2\">" +
                Escape(alphabet.Spell(person.dates[pair.date])) +
                "</span>, c = " + FormatProbability(pair.summary->c, 0) +
                "</h3>\n<p class=\"note\">Rows of " + std::to_string(grid.rowLength) +
                " letters; word 1 (blue) " + ElsText(grid.first) + ", word 2 (red) " +
                ElsText(grid.second) + "</p>\n" + GridTable(grid, alphabet) + "</div>\n";
    }
    html += "</div>\n";
    if (extras.grids.empty() && extras.gridNote.empty())
        html += "<p class=\"note\">No pair has c ≤ 0.2.</p>\n";
    html +=
        "<p class=\"note\">c = v/m: v is 1 + the number of perturbed spellings whose proximity "
        "beats the real one, m the number of perturbations with sequences of both words. The "
        "statistics and their ranks measure how the list's pairs stand in this text; they are "
        "not probabilities of anything about the text.</p>\n";
    return html + "</body>\n</html>\n";
}
