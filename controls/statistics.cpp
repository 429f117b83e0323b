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
    // A keyword's letters at |skip| 1 are consecutive text positions.
    for (const LetterPositions& letters : positions) {
        if (letters.size() >= 2 && letters[1] - letters[0] == 1) {
            ++plainWordResults_;
            break;
        }
    }
    return true;
}

namespace {

void Measure(const std::string& text, const KeywordList& keywords, const SearchSettings& settings,
             CCountingSink& sink) {
    std::string errorText;
    FindSequencesOnThisThread(text.c_str(), static_cast<std::int32_t>(text.size()), keywords,
                              settings, sink, errorText);
}

}  // namespace

SearchStatistics MeasureSearch(const std::string& text, const KeywordList& keywords,
                               const SearchSettings& settings) {
    CCountingSink sink;
    Measure(text, keywords, settings, sink);
    return sink.Statistics();
}

RealSearchStatistics MeasureRealSearch(const std::string& text, const KeywordList& keywords,
                                       const SearchSettings& settings) {
    CCountingSink sink;
    Measure(text, keywords, settings, sink);
    return {sink.Statistics(), sink.PlainWordResults()};
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

PValue ResultsAtMostPValue(const SearchStatistics& real,
                           const std::vector<SearchStatistics>& controls) {
    PValue p{0, static_cast<std::int64_t>(controls.size())};
    for (const SearchStatistics& control : controls)
        if (control.results <= real.results) ++p.hits;
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

PValue SpanAtLeastPValue(const SearchStatistics& real,
                         const std::vector<SearchStatistics>& controls) {
    PValue p{0, static_cast<std::int64_t>(controls.size())};
    for (const SearchStatistics& control : controls) {
        const bool hit = control.smallestSpan == 0 ||
                         (real.smallestSpan > 0 && control.smallestSpan >= real.smallestSpan);
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

std::int64_t GreatestSkip(std::int64_t letters, const SearchSettings& settings) {
    if (letters < 2) return 0;
    return std::min(std::int64_t{settings.MaxDistanceBetweenLetters},
                    std::int64_t{settings.MaxResultLength} / (letters - 1));
}

std::int64_t KeywordPlacements(std::int64_t textLength, std::int64_t letters,
                               const SearchSettings& settings) {
    if (textLength == 0 || letters == 0 || letters > settings.MaxResultLength ||
        letters > textLength)
        return 0;
    if (letters == 1) return SkipFitsSomeWidth(1, 0, settings) ? textLength : 0;

    // Beyond (L - 1) / (n - 1) no find fits the text.
    const std::int64_t widestSkip =
        std::min(GreatestSkip(letters, settings), (textLength - 1) / (letters - 1));
    const std::int64_t smallestSkip = MinAbsoluteSkip(settings);
    const std::int64_t smallestForward =
        std::max<std::int64_t>(smallestSkip, settings.ExcludeWordsDirectlyFromText ? 2 : 1);
    std::int64_t places = 0;
    for (std::int64_t d = smallestSkip; d <= widestSkip; ++d) {
        if (!SkipFitsSomeWidth(letters, d, settings)) continue;
        const std::int64_t starts = textLength - (letters - 1) * d;
        places +=
            (d >= smallestForward ? starts : 0) + (settings.AllowReverseKeywords ? starts : 0);
    }
    return places;
}

std::optional<ExpectedCounts> ExpectedCount(const std::string& text, const KeywordList& keywords,
                                            const SearchSettings& settings) {
    if (keywords.size() != 1) return std::nullopt;
    const std::string& keyword = keywords.front();
    const auto length = static_cast<std::int64_t>(text.size());
    const auto n = static_cast<std::int64_t>(keyword.size());
    const std::int64_t places = KeywordPlacements(length, n, settings);
    if (places == 0) return ExpectedCounts{};

    std::array<std::int64_t, 256> counts{};
    for (const char c : text)
        ++counts[static_cast<unsigned char>(c)];
    double chance = 1;
    for (const char c : keyword)
        chance *= static_cast<double>(counts[static_cast<unsigned char>(ToUpperAscii(c))]) /
                  static_cast<double>(length);

    // The chance that n given places of a uniformly shuffled text hold the keyword's letters:
    // each letter's falling factorial over (L)_n, one factor of each at a time, so that neither
    // side overflows. The k-th time a letter comes up in the keyword it has k fewer copies left.
    std::array<std::int64_t, 256> used{};
    double shuffleChance = 1;
    for (std::int64_t i = 0; i < n; ++i) {
        const auto letter = static_cast<unsigned char>(ToUpperAscii(keyword[i]));
        const std::int64_t left = counts[letter] - used[letter]++;
        shuffleChance *=
            static_cast<double>(std::max<std::int64_t>(left, 0)) / static_cast<double>(length - i);
    }
    return ExpectedCounts{static_cast<double>(places) * shuffleChance,
                          static_cast<double>(places) * chance};
}
