#include "controls/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "controls/control_runner.h"
#include "controls/random.h"

namespace {

// A seeded text of `length` letters drawn uniformly from `letters`.
std::string RandomText(const std::string& letters, std::size_t length, std::uint64_t seed) {
    CXoshiro256StarStar generator = CXoshiro256StarStar::FromSeed(seed);
    std::string text(length, ' ');
    for (char& c : text)
        c = letters[UniformBelow(generator, static_cast<std::uint32_t>(letters.size()))];
    return text;
}

SearchSettings Settings(bool reverse, bool excludeWords, std::int32_t minWidth,
                        std::int32_t maxWidth, std::int32_t maxLength, std::int32_t maxDistance) {
    SearchSettings settings;
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
    };
    for (const Case& c : cases) {
        const std::optional<double> expected = ExpectedCount(text, c.keywords, c.settings);
        ASSERT_TRUE(expected.has_value()) << c.name;
        EXPECT_EQ(*expected,
                  static_cast<double>(MeasureSearch(text, c.keywords, c.settings).results))
            << c.name;
    }
}

TEST(StatisticsTest, ExpectedCountNeedsASingleKeyword) {
    EXPECT_FALSE(ExpectedCount("ABAB", {"ab", "ba"}, {}).has_value());
    EXPECT_FALSE(ExpectedCount("ABAB", {}, {}).has_value());
    EXPECT_EQ(ExpectedCount("ABAB", {"abz"}, {}), 0.0);
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
        const double expected = *ExpectedCount(text, c.keywords, c.settings);
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
    };
    const Case cases[] = {
        {{5, 4}, 3, 2},    // counts 5, 5, 7; spans 4, 4
        {{8, 3}, 0, 0},    // beats every control
        {{0, 0}, 5, 5},    // no result: every control does as well
        {{1, 100}, 4, 4},  // the control without a result has no span to compare
    };
    for (const Case& c : cases) {
        const PValue results = ResultsPValue(c.real, controls);
        const PValue span = SpanPValue(c.real, controls);
        EXPECT_EQ(results.hits, c.resultHits) << c.real.results;
        EXPECT_EQ(span.hits, c.spanHits) << c.real.results;
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
    EXPECT_EQ(*ExpectedCount(text, absent, {}), 0.0);
}

}  // namespace
