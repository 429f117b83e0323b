#include "controls/statistics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

bool CCountingSink::AddResult(const char* text, std::int32_t first, std::int32_t last,
                              std::int32_t columns, const ResultPositions& positions) {
    (void)text, (void)first, (void)last, (void)columns;
    ++statistics_.results;
    // Each keyword's letters are ascending: the stretch is from the lowest first entry to the
    // highest last one.
    std::int64_t lowest = positions.front().front();
    std::int64_t highest = positions.front().back();
    for (const LetterPositions& letters : positions) {
        lowest = std::min(lowest, letters.front());
        highest = std::max(highest, letters.back());
    }
    const std::int64_t span = highest - lowest + 1;
    if (statistics_.smallestSpan == 0 || span < statistics_.smallestSpan)
        statistics_.smallestSpan = span;
    return true;
}

SearchStatistics MeasureSearch(const std::string& text, const KeywordList& keywords,
                               const SearchSettings& settings) {
    CCountingSink sink;
    std::string errorText;
    FindSequencesOnThisThread(text.c_str(), static_cast<std::int32_t>(text.size()), keywords,
                              settings, sink, errorText);
    return sink.Statistics();
}

Summary Summarise(const std::vector<std::int64_t>& values) {
    Summary summary;
    summary.samples = static_cast<std::int64_t>(values.size());
    if (values.empty()) return summary;
    // Sums in index order, so the same series gives the same bits on every platform and with
    // any number of threads.
    double sum = 0;
    for (const std::int64_t value : values)
        sum += static_cast<double>(value);
    summary.mean = sum / static_cast<double>(values.size());
    if (values.size() > 1) {
        double squares = 0;
        for (const std::int64_t value : values) {
            const double deviation = static_cast<double>(value) - summary.mean;
            squares += deviation * deviation;
        }
        summary.standardDeviation = std::sqrt(squares / static_cast<double>(values.size() - 1));
    }
    const auto [minimum, maximum] = std::minmax_element(values.begin(), values.end());
    summary.minimum = *minimum;
    summary.maximum = *maximum;
    return summary;
}

Summary SummariseResults(const std::vector<SearchStatistics>& controls) {
    std::vector<std::int64_t> counts;
    counts.reserve(controls.size());
    for (const SearchStatistics& control : controls)
        counts.push_back(control.results);
    return Summarise(counts);
}

Summary SummariseSpans(const std::vector<SearchStatistics>& controls) {
    std::vector<std::int64_t> spans;
    for (const SearchStatistics& control : controls)
        if (control.smallestSpan > 0) spans.push_back(control.smallestSpan);
    return Summarise(spans);
}

PValue ResultsPValue(const SearchStatistics& real, const std::vector<SearchStatistics>& controls) {
    PValue p{0, static_cast<std::int64_t>(controls.size())};
    for (const SearchStatistics& control : controls)
        if (control.results >= real.results) ++p.hits;
    return p;
}

PValue SpanPValue(const SearchStatistics& real, const std::vector<SearchStatistics>& controls) {
    PValue p{0, static_cast<std::int64_t>(controls.size())};
    for (const SearchStatistics& control : controls) {
        const bool hit = real.smallestSpan == 0 ||
                         (control.smallestSpan > 0 && control.smallestSpan <= real.smallestSpan);
        if (hit) ++p.hits;
    }
    return p;
}

bool SkipFitsSomeWidth(std::int64_t letters, std::int64_t skip, const SearchSettings& settings) {
    // A single keyword's grid is as wide as its extent: (n - 1) * (|skip| mod w) + 1 <= w.
    const std::int64_t distance = std::llabs(skip);
    const std::int64_t narrowest = std::max<std::int64_t>(settings.MinColumnWidth, 1);
    const std::int64_t widest = settings.MaxColumnWidth;
    if (widest < narrowest) return false;
    if (letters < 2) return true;
    // Every width above the distance leaves the distance unchanged, so the narrowest of them
    // that fits is (n - 1) * distance + 1.
    if (widest >= std::max(narrowest, (letters - 1) * distance + 1)) return true;
    for (std::int64_t w = std::min(widest, distance); w >= narrowest; --w)
        if ((letters - 1) * (distance % w) + 1 <= w) return true;
    return false;
}

std::optional<double> ExpectedCount(const std::string& text, const KeywordList& keywords,
                                    const SearchSettings& settings) {
    if (keywords.size() != 1) return std::nullopt;
    const std::string& keyword = keywords.front();
    const auto length = static_cast<std::int64_t>(text.size());
    const auto n = static_cast<std::int64_t>(keyword.size());
    if (length == 0 || n == 0 || n > settings.MaxResultLength) return 0.0;

    std::array<std::int64_t, 256> counts{};
    for (const char c : text)
        ++counts[static_cast<unsigned char>(c)];
    double chance = 1;
    for (const char c : keyword)
        chance *= static_cast<double>(counts[static_cast<unsigned char>(ToUpperAscii(c))]) /
                  static_cast<double>(length);

    if (n == 1) return SkipFitsSomeWidth(1, 0, settings) ? static_cast<double>(length) * chance : 0;

    // The largest skip the distance and the result length allow; beyond (L - 1) / (n - 1) no
    // find fits the text.
    const std::int64_t widestSkip =
        std::min({std::int64_t{settings.MaxDistanceBetweenLetters},
                  std::int64_t{settings.MaxResultLength} / (n - 1), (length - 1) / (n - 1)});
    std::int64_t places = 0;
    for (std::int64_t d = 1; d <= widestSkip; ++d) {
        if (!SkipFitsSomeWidth(n, d, settings)) continue;
        const std::int64_t starts = length - (n - 1) * d;
        const bool forward = d > 1 || !settings.ExcludeWordsDirectlyFromText;
        places += (forward ? starts : 0) + (settings.AllowReverseKeywords ? starts : 0);
    }
    return static_cast<double>(places) * chance;
}
