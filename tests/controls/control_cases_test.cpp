#include "controls/control_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <string>
#include <vector>

namespace {

double ChiSquare(const std::map<std::string, int>& seen, std::size_t outcomes, int draws) {
    const double each = static_cast<double>(draws) / static_cast<double>(outcomes);
    double chiSquare = 0;
    for (const auto& [outcome, count] : seen)
        chiSquare += (count - each) * (count - each) / each;
    // Outcomes never seen add their whole expectation.
    chiSquare += static_cast<double>(outcomes - seen.size()) * each;
    return chiSquare;
}

TEST(ControlCasesTest, KindNamesReadBack) {
    for (const ControlKind kind :
         {ControlKind::Letters, ControlKind::Words, ControlKind::Keywords}) {
        ControlKind read = ControlKind::Letters;
        ASSERT_TRUE(ParseControlKind(ControlKindName(kind), read));
        EXPECT_EQ(read, kind);
    }
    ControlKind unchanged = ControlKind::Words;
    for (const char* wrong : {"", "Letters", "letter", "word", "keywords "})
        EXPECT_FALSE(ParseControlKind(wrong, unchanged)) << wrong;
    EXPECT_EQ(unchanged, ControlKind::Words);
}

TEST(ControlCasesTest, LetterShuffleGivesEveryOrderEquallyOften) {
    // 24 orders of ABCD, one control stream each time as the runner draws them; 99.9 % point of
    // chi-square with 23 degrees of freedom.
    const int draws = 24000;
    std::map<std::string, int> seen;
    for (int i = 0; i < draws; ++i) {
        std::string letters = "ABCD";
        CXoshiro256StarStar generator = ControlStream(11, static_cast<std::uint64_t>(i));
        ShuffleLetters(letters, generator);
        ++seen[letters];
    }
    EXPECT_EQ(seen.size(), 24u);
    EXPECT_LT(ChiSquare(seen, 24, draws), 49.73);
}

TEST(ControlCasesTest, LetterShuffleKeepsEveryLetter) {
    std::string text = "INTHEBEGINNINGGODCREATEDTHEHEAVENANDTHEEARTH0123";
    std::string shuffled = text;
    CXoshiro256StarStar generator = ControlStream(1, 0);
    ShuffleLetters(shuffled, generator);
    EXPECT_NE(shuffled, text);
    std::sort(text.begin(), text.end());
    std::sort(shuffled.begin(), shuffled.end());
    EXPECT_EQ(shuffled, text);
}

TEST(ControlCasesTest, WordLengthsAreTheRunsNormalisationKeeps) {
    struct Case {
        std::string document;
        bool ignoreNumbers;
        std::vector<std::int32_t> expected;
    };
    const Case cases[] = {
        {"Hello, World! 42", false, {5, 5, 2}},
        {"Hello, World! 42", true, {5, 5}},
        {"a1b", false, {3}},
        {"a1b", true, {1, 1}},
        {"it's re-read", false, {2, 1, 2, 4}},
        {std::string("ab\xE9"
                     "cd\n\nef",
                     9),
         false,
         {2, 2, 2}},
        {std::string("ab\0cd", 5), false, {2, 2}},
        {"  ,;  ", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CAlphabet().WordLengths(c.document, c.ignoreNumbers), c.expected) << c.document;
        std::string normalised = c.document;
        NormaliseText(normalised, c.ignoreNumbers);
        const auto lengths = CAlphabet().WordLengths(c.document, c.ignoreNumbers);
        EXPECT_EQ(std::accumulate(lengths.begin(), lengths.end(), std::size_t{0}),
                  normalised.size())
            << c.document;
    }
}

TEST(ControlCasesTest, WordShuffleGivesEveryOrderEquallyOften) {
    const std::string text = "ABBCCC";
    const std::vector<std::int32_t> lengths = {1, 2, 3};
    const CWordShuffler shuffler(text, lengths);
    const int draws = 6000;
    std::map<std::string, int> seen;
    std::vector<std::int32_t> order;
    std::string out;
    for (int i = 0; i < draws; ++i) {
        CXoshiro256StarStar generator = ControlStream(3, static_cast<std::uint64_t>(i));
        shuffler.Shuffle(generator, order, out);
        ++seen[out];
    }
    const std::vector<std::string> orders = {"ABBCCC", "ACCCBB", "BBACCC",
                                             "BBCCCA", "CCCABB", "CCCBBA"};
    for (const std::string& expected : orders)
        EXPECT_GT(seen[expected], 0) << expected;
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_LT(ChiSquare(seen, 6, draws), 20.52);  // 99.9 % point, 5 degrees of freedom
}

TEST(ControlCasesTest, WordShuffleKeepsEveryWordWhole) {
    const std::string document =
        "In the beginning God created the heaven and the earth.  And the earth was without "
        "form, and void; and darkness was upon the face of the deep 1:2.";
    std::string text = document;
    NormaliseText(text, false);
    const std::vector<std::int32_t> lengths = CAlphabet().WordLengths(document, false);
    std::vector<std::string> words;
    for (std::size_t i = 0, at = 0; i < lengths.size(); at += lengths[i], ++i)
        words.push_back(text.substr(at, lengths[i]));

    const CWordShuffler shuffler(text, lengths);
    std::vector<std::int32_t> order = {99, 98};  // stale scratch must not matter
    std::string out = "stale";
    CXoshiro256StarStar generator = ControlStream(9, 2);
    shuffler.Shuffle(generator, order, out);

    std::vector<std::int32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::int32_t> identity(lengths.size());
    std::iota(identity.begin(), identity.end(), 0);
    ASSERT_EQ(sorted, identity);
    EXPECT_NE(order, identity);
    std::string joined;
    for (const std::int32_t word : order)
        joined += words[word];
    EXPECT_EQ(out, joined);

    // The same stream gives the same text whatever the scratch held.
    std::vector<std::int32_t> freshOrder;
    std::string again;
    CXoshiro256StarStar same = ControlStream(9, 2);
    shuffler.Shuffle(same, freshOrder, again);
    EXPECT_EQ(again, out);
}

TEST(ControlCasesTest, DrawnLettersFollowTheTextsFrequenciesAndAreNeverDigits) {
    // A: 4/7, B: 2/7, C: 1/7; the digits are no letters of a keyword.
    const std::string text = "AAAA7BB77C0";
    const CLetterDrawer drawer(text);
    CXoshiro256StarStar generator = ControlStream(4, 0);
    const int draws = 16000;
    const std::string word = drawer.Draw(draws, generator);
    ASSERT_EQ(word.size(), static_cast<std::size_t>(draws));
    const std::map<char, double> share = {{'A', 4.0 / 7}, {'B', 2.0 / 7}, {'C', 1.0 / 7}};
    double chiSquare = 0;
    for (const auto& [letter, p] : share) {
        const double expected = p * draws;
        const auto seen = static_cast<double>(std::count(word.begin(), word.end(), letter));
        chiSquare += (seen - expected) * (seen - expected) / expected;
    }
    EXPECT_EQ(word.find_first_not_of("ABC"), std::string::npos);
    EXPECT_LT(chiSquare, 13.82);  // 99.9 % point, 2 degrees of freedom
    EXPECT_EQ(CLetterDrawer("2026").Draw(3, generator), "AAA");
}

TEST(ControlCasesTest, DrawnKeywordsKeepTheirLengths) {
    const CLetterDrawer drawer("XYZ");
    CXoshiro256StarStar generator = ControlStream(1, 1);
    const KeywordList drawn = DrawKeywords({"moses", "a", "aaron"}, drawer, generator);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].size(), 5u);
    EXPECT_EQ(drawn[1].size(), 1u);
    EXPECT_EQ(drawn[2].size(), 5u);
    for (const std::string& keyword : drawn)
        EXPECT_EQ(keyword.find_first_not_of("XYZ"), std::string::npos) << keyword;
}

}  // namespace
