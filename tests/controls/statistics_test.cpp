#include "controls/statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/random.h"
#include "controls/control_runner.h"
#include "text/latin_text.h"

namespace {

constexpr std::uint64_t kSeedForGenesis = 11;

// A seeded text of `length` letters drawn uniformly from `letters`.
std::string RandomText(const std::string& letters, std::size_t length, std::uint64_t seed) {
    CXoshiro256StarStar generator = CXoshiro256StarStar::FromSeed(seed);
    std::string text(length, ' ');
    for (char& c : text)
        c = letters[UniformBelow(generator, static_cast<std::uint32_t>(letters.size()))];
    return text;
}

SearchSettings Settings(bool reverse, bool excludeWords, std::int32_t minWidth,
                        std::int32_t maxWidth, std::int32_t maxLength, std::int32_t maxDistance,
                        std::int32_t minSkip = 1) {
    SearchSettings settings;
    settings.MinSkip = minSkip;
    settings.AllowReverseKeywords = reverse;
    settings.ExcludeWordsDirectlyFromText = excludeWords;
    settings.MinColumnWidth = minWidth;
    settings.MaxColumnWidth = maxWidth;
    settings.MaxResultLength = maxLength;
    settings.MaxDistanceBetweenLetters = maxDistance;
    return settings;
}

TEST(StatisticsTest, CountingSinkCountsResultsAndTheirSmallestStretch) {
    struct Case {
        std::string text;
        KeywordList keywords;
        SearchStatistics expected;
    };
    const Case cases[] = {
        // [0, 2], [0, 5], [2, 3], [3, 5]: the tightest covers 2 positions.
        {"ABCABC", {"ac"}, {4, 2}},
        // AB at [0, 1] and CD at [4, 5]: one result covering 6 positions.
        {"ABXXCD", {"ab", "cd"}, {1, 6}},
        {"ABXXCD", {"zz"}, {0, 0}},
        {"", {"a"}, {0, 0}},
        {"AXA", {"a"}, {2, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MeasureSearch(c.text, c.keywords, {}), c.expected) << c.text;
}

TEST(StatisticsTest, RealSearchCountsTheResultsThatHoldAPlainWord) {
    struct Case {
        std::string text;
        KeywordList keywords;
        SearchSettings settings;
        std::int64_t results, plainWordResults;
    };
    const Case cases[] = {
        // AC at [0, 2], [0, 5], [3, 5] and CA at skip -1, [2, 3].
        {"ABCABC", {"ac"}, {}, 4, 1},
        {"ABCABC", {"ac"}, Settings(true, false, 10, 100, 1000, 500, 2), 3, 0},
        // LEVEL as a plain word is found twice, once in each direction.
        {"XXLEVELXX", {"level"}, {}, 2, 2},
        {"XXLEVELXX", {"level"}, Settings(true, true, 10, 100, 1000, 500), 1, 1},
        // Two keywords: every result holding AB at skip 1 counts once.
        {"ABXXCXD", {"ab", "cd"}, {}, 1, 1},
        // One-letter keywords have no skip.
        {"AXA", {"a"}, {}, 2, 0},
    };
    for (const Case& c : cases) {
        const RealSearchStatistics real = MeasureRealSearch(c.text, c.keywords, c.settings);
        EXPECT_EQ(real.statistics.results, c.results) << c.text << " " << c.keywords[0];
        EXPECT_EQ(real.plainWordResults, c.plainWordResults) << c.text << " " << c.keywords[0];
    }
}

TEST(StatisticsTest, ExpectedCountIsExactWhereEveryLetterMatches) {
    // In a text of one letter every allowed skip at every place that holds the keyword is a
    // result, so the expected count must equal the count the search finds.
    const std::string text(300, 'A');
    struct Case {
        const char* name;
        KeywordList keywords;
        SearchSettings settings;
    };
    const Case cases[] = {
        {"defaults", {"aaa"}, {}},
        {"forward only", {"AAA"}, Settings(false, false, 10, 100, 1000, 500)},
        {"no plain words", {"AAA"}, Settings(true, true, 10, 100, 1000, 500)},
        {"plain words, forward only", {"AAAA"}, Settings(false, true, 10, 100, 1000, 500)},
        {"narrow widths", {"AAAA"}, Settings(true, false, 3, 5, 1000, 500)},
        {"one width", {"AAA"}, Settings(true, false, 7, 7, 1000, 500)},
        {"wide grid", {"AAA"}, Settings(true, false, 1, 10000, 1000, 500)},
        {"short span", {"AAAAA"}, Settings(true, false, 10, 100, 37, 500)},
        {"short skips", {"AA"}, Settings(true, false, 10, 100, 1000, 7)},
        {"span below the keyword", {"AAAA"}, Settings(true, false, 10, 100, 3, 500)},
        {"no width", {"AAA"}, Settings(true, false, 50, 20, 1000, 500)},
        {"one letter", {"a"}, {}},
        {"one letter, no width", {"a"}, Settings(true, false, 50, 20, 1000, 500)},
        {"longer than the text",
         {std::string(301, 'A')},
         Settings(true, false, 1, 500, 500000, 50000)},
        {"smallest skip 2", {"AAA"}, Settings(true, false, 10, 100, 1000, 500, 2)},
        {"smallest skip 7, forward only", {"AAAA"}, Settings(false, false, 1, 300, 1000, 50, 7)},
        {"smallest skip 3, no plain words", {"AAA"}, Settings(true, true, 10, 100, 1000, 500, 3)},
        {"smallest skip above the span", {"AAA"}, Settings(true, false, 1, 300, 10, 500, 6)},
    };
    for (const Case& c : cases) {
        const std::optional<ExpectedCounts> expected = ExpectedCount(text, c.keywords, c.settings);
        ASSERT_TRUE(expected.has_value()) << c.name;
        const auto found = static_cast<double>(MeasureSearch(text, c.keywords, c.settings).results);
        EXPECT_EQ(expected->shuffle, found) << c.name;
        EXPECT_EQ(expected->independent, found) << c.name;
    }
}

// Every distinct order of `letters`, each once.
std::vector<std::string> AllOrders(std::string letters) {
    std::sort(letters.begin(), letters.end());
    std::vector<std::string> orders;
    do {
        orders.push_back(letters);
    } while (std::next_permutation(letters.begin(), letters.end()));
    return orders;
}

TEST(StatisticsTest, ShuffleExpectationIsTheMeanOverEveryOrderOfTheLetters) {
    // Small texts, all of their orders searched: the mean result count is the shuffle value
    // exactly (up to rounding), while the independent-letters value differs.
    struct Case {
        std::string text;
        KeywordList keywords;
        SearchSettings settings;
    };
    const Case cases[] = {
        {"AABBBCCA", {"aba"}, Settings(true, false, 1, 20, 1000, 500)},
        {"AAABBBBC", {"bbb"}, Settings(true, false, 1, 20, 1000, 500)},
        {"ABABCCAB", {"abc"}, Settings(false, true, 1, 20, 1000, 500)},
        {"AAAABBCD", {"aaa"}, Settings(true, false, 1, 20, 1000, 500, 2)},
        {"AABBCCDD", {"ad"}, Settings(true, false, 3, 5, 1000, 500)},
        {"AAB", {"aaaa"}, {}},  // more A's than the text holds
    };
    for (const Case& c : cases) {
        double sum = 0;
        const std::vector<std::string> orders = AllOrders(c.text);
        for (const std::string& order : orders)
            sum += static_cast<double>(MeasureSearch(order, c.keywords, c.settings).results);
        const double mean = sum / static_cast<double>(orders.size());
        const ExpectedCounts expected = *ExpectedCount(c.text, c.keywords, c.settings);
        EXPECT_NEAR(expected.shuffle, mean, 1e-9 * std::max(1.0, mean)) << c.text;
        if (mean > 0) {
            EXPECT_GT(std::fabs(expected.independent - mean), 1e-3) << c.text;
        }
    }
}

TEST(StatisticsTest, ShuffleAndIndependentExpectationsOnTheStartOfGenesis) {
    std::ifstream file(STRANDIX_SAMPLES "/genesis.txt", std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    NormaliseText(text, false);
    text.resize(1000);
    const KeywordList keywords = {"aaa"};
    const ExpectedCounts expected = *ExpectedCount(text, keywords, {});
    EXPECT_NEAR(expected.shuffle, 456.74, 0.005);
    EXPECT_NEAR(expected.independent, 469.65, 0.005);

    // 2,000 seeded letters controls: their mean lies within three standard errors of the
    // shuffle value and more than ten away from the independent-letters value.
    ControlRunOptions options;
    options.seed = kSeedForGenesis;
    const Summary summary =
        SummariseResults(RunControls({text, keywords, {}}, AllControls(2000), options));
    const double standardError = summary.standardDeviation / std::sqrt(2000.0);
    EXPECT_LT(std::fabs(summary.mean - expected.shuffle), 3 * standardError) << summary.mean;
    EXPECT_GT(std::fabs(summary.mean - expected.independent), 10 * standardError) << summary.mean;
}

TEST(StatisticsTest, ExpectedCountNeedsASingleKeyword) {
    EXPECT_FALSE(ExpectedCount("ABAB", {"ab", "ba"}, {}).has_value());
    EXPECT_FALSE(ExpectedCount("ABAB", {}, {}).has_value());
    EXPECT_EQ(ExpectedCount("ABAB", {"abz"}, {})->shuffle, 0.0);
    EXPECT_EQ(ExpectedCount("ABAB", {"abz"}, {})->independent, 0.0);
}

TEST(StatisticsTest, LetterControlsAverageTheExpectedCount) {
    // Texts of 20,000 seeded letters; the controls' mean must lie within four standard errors of
    // the expected count, whether results are plentiful or rare.
    struct Case {
        const char* name;
        std::string letters;
        KeywordList keywords;
        SearchSettings settings;
        std::int64_t controls;
    };
    const Case cases[] = {
        {"plentiful", "ABCD", {"abc"}, Settings(true, false, 10, 100, 1000, 50), 60},
        {"repeated letters, narrow grid",
         "AB",
         {"ABBA"},
         Settings(false, true, 3, 7, 1000, 30),
         60},
        {"rare", "ABCDEFGHIJ", {"abcde"}, Settings(true, false, 10, 100, 1000, 20), 300},
    };
    for (const Case& c : cases) {
        const std::string text = RandomText(c.letters, 20000, 99);
        const double expected = ExpectedCount(text, c.keywords, c.settings)->shuffle;
        const ControlInput input{text, c.keywords, c.settings};
        ControlRunOptions options;
        options.seed = 5;
        const Summary summary =
            SummariseResults(RunControls(input, AllControls(c.controls), options));
        const double standardError =
            summary.standardDeviation / std::sqrt(static_cast<double>(summary.samples));
        EXPECT_GT(standardError, 0) << c.name;
        EXPECT_NEAR(summary.mean, expected, 4 * standardError) << c.name << ": " << expected;
    }
}

TEST(StatisticsTest, SummaryUsesTheSampleStandardDeviation) {
    struct Case {
        std::vector<std::int64_t> values;
        double mean;
        double standardDeviation;
        std::int64_t minimum, maximum;
    };
    const Case cases[] = {
        {{2, 4, 4, 4, 5, 5, 7, 9}, 5.0, std::sqrt(32.0 / 7), 2, 9},
        {{3}, 3.0, 0.0, 3, 3},
        {{-1, 1}, 0.0, std::sqrt(2.0), -1, 1},
        {{}, 0.0, 0.0, 0, 0},
    };
    for (const Case& c : cases) {
        const Summary summary = Summarise(c.values);
        EXPECT_EQ(summary.samples, static_cast<std::int64_t>(c.values.size()));
        EXPECT_DOUBLE_EQ(summary.mean, c.mean);
        EXPECT_DOUBLE_EQ(summary.standardDeviation, c.standardDeviation);
        EXPECT_EQ(summary.minimum, c.minimum);
        EXPECT_EQ(summary.maximum, c.maximum);
    }
}

TEST(StatisticsTest, PValuesCountTiesAndSearchesWithoutResult) {
    const std::vector<SearchStatistics> controls = {{0, 0}, {3, 9}, {5, 4}, {5, 12}, {7, 4}};
    struct Case {
        SearchStatistics real;
        std::int64_t resultHits, spanHits;
        std::int64_t fewerResultHits, widerSpanHits;  // the other tails
    };
    const Case cases[] = {
        {{5, 4}, 3, 2, 4, 5},    // counts 5, 5, 7 and 0, 3, 5, 5; spans 4, 4 and 0, 9, 4, 12, 4
        {{8, 3}, 0, 0, 5, 5},    // beats every control
        {{0, 0}, 5, 5, 1, 1},    // no result: only the control without one is as wide
        {{1, 100}, 4, 4, 1, 1},  // the control without a result has no span to compare
        {{7, 12}, 1, 4, 5, 2},
    };
    for (const Case& c : cases) {
        const PValue results = ResultsPValue(c.real, controls);
        const PValue span = SpanPValue(c.real, controls);
        EXPECT_EQ(results.hits, c.resultHits) << c.real.results;
        EXPECT_EQ(span.hits, c.spanHits) << c.real.results;
        EXPECT_EQ(ResultsAtMostPValue(c.real, controls).hits, c.fewerResultHits) << c.real.results;
        EXPECT_EQ(SpanAtLeastPValue(c.real, controls).hits, c.widerSpanHits) << c.real.results;
        EXPECT_EQ(results.controls, 5);
        EXPECT_DOUBLE_EQ(results.Value(), static_cast<double>(1 + c.resultHits) / 6.0);
    }
}

TEST(StatisticsTest, PValuesOfAPlantedSequenceAndOfAKeywordThatCannotOccur) {
    std::string text = RandomText("ABCDEFGH", 3000, 17);
    const std::int32_t skip = 37;
    for (int i = 0; i < 4; ++i)
        text[static_cast<std::size_t>(1000 + i * skip)] = "QZXJ"[i];
    ControlRunOptions options;
    options.seed = 8;
    const std::int64_t n = 99;

    const KeywordList planted = {"qzxj"};
    const SearchStatistics real = MeasureSearch(text, planted, {});
    EXPECT_EQ(real, (SearchStatistics{1, 3 * skip + 1}));
    const auto controls = RunControls({text, planted, {}}, AllControls(n), options);
    EXPECT_EQ(ResultsPValue(real, controls).hits, 0);
    EXPECT_DOUBLE_EQ(ResultsPValue(real, controls).Value(), 1.0 / (n + 1));
    EXPECT_DOUBLE_EQ(SpanPValue(real, controls).Value(), 1.0 / (n + 1));

    const KeywordList absent = {"wvw"};
    const SearchStatistics none = MeasureSearch(text, absent, {});
    EXPECT_EQ(none, (SearchStatistics{0, 0}));
    const auto noneControls = RunControls({text, absent, {}}, AllControls(n), options);
    EXPECT_DOUBLE_EQ(ResultsPValue(none, noneControls).Value(), 1.0);
    EXPECT_DOUBLE_EQ(SpanPValue(none, noneControls).Value(), 1.0);
    EXPECT_EQ(ExpectedCount(text, absent, {})->shuffle, 0.0);
}

}  // namespace
