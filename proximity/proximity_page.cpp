#include "proximity/proximity_page.h"

#include <algorithm>
#include <cmath>

#include "proximity/proximity_report.h"
#include "proximity/shown_word.h"
#include "results/bar_chart.h"
#include "results/html_text.h"
#include "results/number_text.h"

namespace {

std::string Row(const std::string& name, const std::string& value) {
    return "<tr><th>" + HtmlEscape(name) + "</th><td>" + HtmlEscape(value) + "</td></tr>\n";
}

// The defined c in ten bins of 0.1 against the N/10 a bin that uniform c would give.
std::string CHistogram(const std::vector<ListedPair>& pairs) {
    BarChart chart;
    chart.attributes = " font-size=\"12\"";
    chart.heights.assign(10, 0);
    std::int64_t defined = 0;
    for (const ListedPair& pair : pairs) {
        if (!pair.summary->defined) continue;
        ++defined;
        ++chart.heights[std::min<std::size_t>(
            9, static_cast<std::size_t>(pair.summary->c * 10 - 1e-9))];
    }
    for (const std::int64_t count : chart.heights) {
        chart.tallest = std::max(chart.tallest, count);
        chart.titles.push_back(std::to_string(count) + " pairs");
    }
    chart.level = double(defined) / 10.0;
    chart.tallest = std::max(chart.tallest, static_cast<std::int64_t>(std::ceil(*chart.level)));
    chart.levelLabel = "uniform";
    chart.lowLabel = "0";
    chart.highLabel = "1";
    chart.axisLabel = "c of the " + std::to_string(defined) + " pairs with c defined (bins of 0.1)";
    return BarChartSvg(chart);
}

// log10 P2 of the permutations drawn, with the list's own value marked.
std::string P2Histogram(const std::vector<double>& logP2, double realLogP2) {
    BarChart chart;
    chart.attributes = " font-size=\"12\"";
    const double ln10 = std::log(10.0);
    double low = realLogP2 / ln10, high = realLogP2 / ln10;
    for (const double value : logP2) {
        low = std::min(low, value / ln10);
        high = std::max(high, value / ln10);
    }
    low = std::floor(low);
    high = std::max(std::ceil(high), low + 1);
    constexpr std::size_t kBins = 40;
    chart.heights.assign(kBins, 0);
    for (const double value : logP2) {
        const double at = (value / ln10 - low) / (high - low) * kBins;
        ++chart.heights[std::min<std::size_t>(kBins - 1,
                                              static_cast<std::size_t>(std::max(0.0, at)))];
    }
    for (const std::int64_t count : chart.heights) {
        chart.tallest = std::max(chart.tallest, count);
        chart.titles.push_back(std::to_string(count) + " permutations");
    }
    chart.lowLabel = "10^" + FormatFixed(low, 0);
    chart.highLabel = "10^" + FormatFixed(high, 0);
    chart.axisLabel = "P2 of " + std::to_string(logP2.size()) +
                      " permutations (log scale); red: the list's own pairing";
    chart.mark = (realLogP2 / ln10 - low) / (high - low) * kBins;
    chart.markLabel = "P2 = " + FormatProbability(std::exp(realLogP2), realLogP2, 4);
    return BarChartSvg(chart);
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
                    (code == '\0' ? std::string()
                     : grid.wordEnds.empty() || grid.wordEnds[cell] == 0
                         ? HtmlEscape(alphabet.Spell(code))
                         : HtmlEscape(WithFinalForm(std::string(alphabet.Spell(code))))) +
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

ProximityPageExtras PageExtras(const ProximityOutcome& outcome, const CProximityText* text,
                               const std::vector<std::int32_t>* wordLengths) {
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
    if (wordLengths == nullptr || request.alphabet != AlphabetName::Hebrew || request.keepFinals)
        return extras;
    // Which of the grids' letters end a word of the document, where the final forms stand.
    std::vector<bool> ends(static_cast<std::size_t>(text->Length()), false);
    std::size_t at = 0;
    for (const std::int32_t length : *wordLengths) {
        at += static_cast<std::size_t>(length);
        if (length > 0 && at <= ends.size()) ends[at - 1] = true;
    }
    for (auto& [i, grid] : extras.grids) {
        grid.wordEnds.assign(grid.letters.size(), 0);
        for (std::int32_t row = 0; row < grid.rowCount; ++row) {
            for (std::int32_t column = 0; column < grid.columnCount; ++column) {
                const std::int64_t position =
                    std::int64_t{grid.firstRow + row} * grid.rowLength + grid.firstColumn + column;
                if (position < static_cast<std::int64_t>(ends.size()) &&
                    ends[static_cast<std::size_t>(position)])
                    grid.wordEnds[static_cast<std::size_t>(row) * grid.columnCount + column] = 1;
            }
        }
    }
    return extras;
}

std::string ProximityPageHtml(const ProximityOutcome& outcome, const ProximityPageExtras& extras) {
    const ProximityRequest& request = outcome.request;
    const ProximitySettings& settings = request.settings;
    const CAlphabet alphabet(request.alphabet, request.keepFinals);
    std::string html =
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Word-pair proximity: " +
        HtmlEscape(DocumentFileName(request.document)) + "</title>\n<style>\n" + kStyle +
        "</style>\n</head>\n<body>\n";
    html += "<h1>Word-pair proximity: " + HtmlEscape(DocumentFileName(request.document)) +
            "</h1>\n<table>\n";
    html += Row("Document", request.document);
    html += Row("SHA-256", request.documentDigest.empty() ? "unknown" : request.documentDigest);
    html += Row("Made by", "strandix " + outcome.version + " on " + outcome.date);
    html += Row("Letters", std::to_string(request.letters));
    html += Row("Settings", "expected sequences " + SignificantNumber(settings.expectedEls) +
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
        html += Row("P1", FormatProbability(statistics.p1, statistics.logP1, 4));
        html += Row("P2", FormatProbability(statistics.p2, statistics.logP2, 4));
        html += Row("T", statistics.hasT ? SignificantNumber(statistics.t) : "undefined");
    }
    if (outcome.permutations) {
        const PermutationCounts& counts = *outcome.permutations;
        const double all = double(request.permutations) + 1;
        const auto rank = [&](std::int64_t value) {
            return std::to_string(value) + " of " + std::to_string(request.permutations + 1) +
                   " (p = " + SignificantNumber(double(value) / all) + ")";
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
        if (request.fromList) html += "<td>" + HtmlEscape(person.id) + "</td>";
        html += "<td>" + HtmlEscape(ShownWord(alphabet, person.names[pair.name])) + "</td><td>" +
                HtmlEscape(ShownWord(alphabet, person.dates[pair.date])) + "</td><td class=\"n\">" +
                std::to_string(summary.skipLimit1) + "</td><td class=\"n\">" +
                std::to_string(summary.skipLimit2) + "</td><td class=\"n\">" +
                std::to_string(summary.validTriples) + "</td><td class=\"n\">" +
                (summary.defined ? std::to_string(summary.rank) : "-") + "</td><td class=\"n\">" +
                (summary.defined ? FractionText(summary.rank, summary.validTriples) : "undefined") +
                "</td></tr>\n";
    }
    html += "</table>\n";
    for (const LeftOutWord& word : outcome.leftOut)
        html += "<p class=\"note\">Left out: " + HtmlEscape(ShownWord(alphabet, word.word)) + " " +
                HtmlEscape(word.reason) + ".</p>\n";

    html += "<h2>Close pairs (c ≤ 0.2)</h2>\n";
    if (!extras.gridNote.empty())
        html += "<p class=\"note\">" + HtmlEscape(extras.gridNote) + "</p>\n";
    html += "<div class=\"grids\">\n";
    for (const auto& [i, grid] : extras.grids) {
        const ListedPair& pair = pairs[i];
        const ProximityPerson& person = request.persons[pair.person];
        html += "<div><h3><span class=\"w1\">" +
                HtmlEscape(ShownWord(alphabet, person.names[pair.name])) +
                "</span> and <span class=\"w2\">" +
                HtmlEscape(ShownWord(alphabet, person.dates[pair.date])) +
                "</span>, c = " + FractionText(pair.summary->rank, pair.summary->validTriples) +
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
