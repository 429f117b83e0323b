#include "search/find_sequences.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/search/engines.h"
#include "tests/support/recording_sink.h"

namespace {

using Calls = std::vector<std::string>;

class FindSequencesTest : public testing::TestWithParam<Engine> {
  protected:
    // Runs a search with a clock that never moves, so the only Progress is the final one.
    Calls Run(const std::string& text, const KeywordList& keywords,
              const SearchSettings& settings = {}) {
        CManualClock clock;
        return RunWith(sink, clock, text, keywords, settings);
    }
    Calls RunWith(CRecordingSink& recorder, CTickClock& clock, const std::string& text,
                  const KeywordList& keywords, const SearchSettings& settings = {}) {
        std::string errorText = "stale";
        outcome = GetParam().search(text.c_str(), static_cast<std::int32_t>(text.size()), keywords,
                                    settings, recorder, errorText, clock);
        EXPECT_EQ(errorText, "");
        return recorder.calls;
    }

    CRecordingSink sink;
    bool outcome = false;
};

SearchSettings With(void (*change)(SearchSettings&)) {
    SearchSettings settings;
    change(settings);
    return settings;
}

TEST_P(FindSequencesTest, ResultsInSearchOrderWithTheirGrids) {
    const struct {
        const char* what;
        std::string text;
        KeywordList keywords;
        SearchSettings settings;
        Calls expected;
    } cases[] = {
        {"skips +2, +5, then -1 before +2 at the next A",
         "ABCABC",
         {"ac"},
         {},
         {"AddResult 0 5 100 [0,2]", "AddResult 0 5 100 [0,5]", "AddResult 2 5 100 [2,3]",
          "AddResult 3 5 100 [3,5]"}},
        {"right to left not allowed",
         "ABCABC",
         {"ac"},
         With([](SearchSettings& s) { s.AllowReverseKeywords = false; }),
         {"AddResult 0 5 100 [0,2]", "AddResult 0 5 100 [0,5]", "AddResult 3 5 100 [3,5]"}},
        {"plain words of the text allowed",
         "ACAC",
         {"AC"},
         {},
         {"AddResult 0 3 100 [0,1]", "AddResult 0 3 100 [0,3]", "AddResult 1 3 100 [1,2]",
          "AddResult 2 3 100 [2,3]"}},
        {"skip +1 excluded everywhere, -1 kept",
         "ACAC",
         {"AC"},
         With([](SearchSettings& s) { s.ExcludeWordsDirectlyFromText = true; }),
         {"AddResult 0 3 100 [0,3]", "AddResult 1 3 100 [1,2]"}},
        {"two keywords combined", "ABXXCD", {"ab", "cd"}, {}, {"AddResult 0 5 100 [0,1] [4,5]"}},
        {"span exactly MaxResultLength",
         "ABXXCD",
         {"ab", "cd"},
         With([](SearchSettings& s) { s.MaxResultLength = 5; }),
         {"AddResult 0 5 100 [0,1] [4,5]"}},
        {"span one more than MaxResultLength",
         "ABXXCD",
         {"ab", "cd"},
         With([](SearchSettings& s) { s.MaxResultLength = 4; }),
         {}},
        {"both keywords are plain words",
         "ABXXCD",
         {"ab", "cd"},
         With([](SearchSettings& s) { s.ExcludeWordsDirectlyFromText = true; }),
         {}},
        {"longest keyword first, equal lengths in typed order",
         "ABXYZCD",
         {"ab", "xyz", "cd"},
         {},
         {"AddResult 0 6 100 [2,3,4] [0,1] [5,6]"}},
        {"one-letter keyword: one result per occurrence, first is the letter",
         "ABAB",
         {"a"},
         {},
         {"AddResult 0 3 100 [0]", "AddResult 2 3 100 [2]"}},
        {"a keyword given twice may use the same letters",
         "AB",
         {"ab", "AB"},
         {},
         {"AddResult 0 1 100 [0,1] [0,1]"}},
        {"MaxResultLength 0 never reports",
         "AAAA",
         {"a"},
         With([](SearchSettings& s) { s.MaxResultLength = 0; }),
         {}},
        {"skip 3 at widths 5 and 4 fails, width 3 is a vertical line",
         "AXXBXXC",
         {"abc"},
         With([](SearchSettings& s) {
             s.MinColumnWidth = 3;
             s.MaxColumnWidth = 5;
         }),
         {"AddResult 0 6 3 [0,3,6]"}},
        {"no width fits: dropped without a word",
         "AXXBXXC",
         {"abc"},
         With([](SearchSettings& s) {
             s.MinColumnWidth = 4;
             s.MaxColumnWidth = 5;
         }),
         {}},
        {"a diagonal down and to the right, grid shifted so no keyword wraps",
         "XXXXXXXXAXXXXBXXXXC",
         {"abc"},
         With([](SearchSettings& s) {
             s.MinColumnWidth = 4;
             s.MaxColumnWidth = 4;
         }),
         {"AddResult 8 18 4 [8,13,18]"}},
        {"the largest settings need 64-bit bounds",
         "ABXXCD",
         {"ab", "cd"},
         With([](SearchSettings& s) {
             s.MaxResultLength = INT32_MAX;
             s.MaxDistanceBetweenLetters = INT32_MAX;
             s.MaxColumnWidth = 100;
         }),
         {"AddResult 0 5 100 [0,1] [4,5]"}},
    };
    for (const auto& c : cases) {
        sink.calls.clear();
        Calls expected = {"Begin"};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        const std::string length = std::to_string(c.text.size());
        expected.push_back("Progress " + length + " " + length);
        expected.push_back("End");
        EXPECT_EQ(Run(c.text, c.keywords, c.settings), expected) << c.what;
        EXPECT_TRUE(outcome) << c.what;
    }
}

TEST_P(FindSequencesTest, SettingsThatLeaveNothingToFindReportNothing) {
    const SearchSettings cases[] = {
        With([](SearchSettings& s) { s.MaxColumnWidth = 5, s.MinColumnWidth = 6; }),
        With([](SearchSettings& s) { s.MaxColumnWidth = 0, s.MinColumnWidth = -5; }),
        With([](SearchSettings& s) { s.MaxColumnWidth = -1, s.MinColumnWidth = -9; }),
        With([](SearchSettings& s) { s.MaxResultLength = 1; }),
        With([](SearchSettings& s) { s.MaxResultLength = -7; }),
        With([](SearchSettings& s) { s.MaxDistanceBetweenLetters = 0; }),
        With([](SearchSettings& s) { s.MaxDistanceBetweenLetters = INT32_MIN; }),
        With([](SearchSettings& s) { s.MaxResultLength = INT32_MIN; }),
    };
    for (const SearchSettings& settings : cases) {
        sink.calls.clear();
        EXPECT_EQ(Run("ABABAB", {"ab"}, settings), (Calls{"Begin", "Progress 6 6", "End"}));
        EXPECT_TRUE(outcome);
    }
}

TEST_P(FindSequencesTest, NothingToSearch) {
    EXPECT_EQ(Run("ABC", {}), Calls{}) << "an empty keyword list calls no sink operation";
    EXPECT_TRUE(outcome);
    EXPECT_EQ(Run("", {"a"}), (Calls{"Begin", "Progress 0 0", "End"}));
    sink.calls.clear();
    EXPECT_EQ(Run("AB", {"abc"}), (Calls{"Begin", "Progress 2 2", "End"}))
        << "the longest keyword does not fit the text";
    sink.calls.clear();
    EXPECT_EQ(Run("AB", {"a", ""}), (Calls{"Begin", "Progress 2 2", "End"}))
        << "an empty keyword is never found";
}

TEST_P(FindSequencesTest, SinkAnswersStopTheSearch) {
    sink.beginAnswers = {false};
    EXPECT_EQ(Run("ABCABC", {"ac"}), Calls{"Begin"});
    EXPECT_FALSE(outcome);

    CRecordingSink addStops;
    addStops.addAnswers = {true, false};
    CManualClock clock;
    EXPECT_EQ(RunWith(addStops, clock, "ABCABC", {"ac"}),
              (Calls{"Begin", "AddResult 0 5 100 [0,2]", "AddResult 0 5 100 [0,5]"}));
    EXPECT_FALSE(outcome) << "no End after a refused result";

    CRecordingSink endFails;
    endFails.endAnswers = {false};
    RunWith(endFails, clock, "ABCABC", {"ac"});
    EXPECT_FALSE(outcome) << "End's answer is the outcome";

    CRecordingSink lastProgressCancels;
    lastProgressCancels.progressAnswers = {false};
    EXPECT_EQ(RunWith(lastProgressCancels, clock, "AB", {"b"}),
              (Calls{"Begin", "AddResult 1 1 100 [1]", "Progress 2 2", "End canceled"}));
    EXPECT_TRUE(outcome);
}

TEST_P(FindSequencesTest, ProgressReportsRiseAndNeverChangeTheResults) {
    CManualClock frozen;
    CRecordingSink quiet;
    RunWith(quiet, frozen, "ABCABCABCABC", {"ac", "b"});

    // 21 ms per reading: a report at every step of the loop, positions of keyword 0 rising.
    CSteppingClock everyStep(21);
    CRecordingSink busy;
    RunWith(busy, everyStep, "ABCABCABCABC", {"ac", "b"});
    int reports = 0;
    int lastPosition = 0;
    for (const std::string& call : busy.calls) {
        if (call.rfind("Progress ", 0) == 0 && call != "Progress 12 12") {
            const int position = std::stoi(call.substr(9));
            EXPECT_GE(position, lastPosition);
            EXPECT_LT(position, 12);
            lastPosition = position;
            ++reports;
        }
    }
    EXPECT_GT(reports, 5);
    EXPECT_EQ(busy.Results(), quiet.Results());
    EXPECT_EQ(busy.calls.back(), "End");
}

TEST_P(FindSequencesTest, ProgressAnsweringFalseCancelsWithEnd) {
    CSteppingClock everyStep(21);
    CRecordingSink canceling;
    canceling.progressAnswers = {true, false};
    RunWith(canceling, everyStep, "ABCABCABCABC", {"ac"});
    ASSERT_GE(canceling.calls.size(), 3u);
    EXPECT_EQ(canceling.calls.back(), "End canceled");
    EXPECT_EQ(canceling.calls[canceling.calls.size() - 2].rfind("Progress", 0), 0u);
    EXPECT_TRUE(outcome);
    int progressCalls = 0;
    for (const auto& call : canceling.calls)
        progressCalls += call.rfind("Progress", 0) == 0;
    EXPECT_EQ(progressCalls, 2) << "no further Progress after the refusal";
}

INSTANTIATE_TEST_SUITE_P(Engines, FindSequencesTest, testing::ValuesIn(kEngines), EngineName);

TEST(FindSequences, BaseSinkRunsToTheEndAndSucceeds) {
    CResultSink nothing;
    std::string errorText;
    const std::string text = "ABCABC";
    EXPECT_TRUE(FindSequences(text.c_str(), 6, {"ac", "b"}, {}, nothing, errorText));
}

// The literal engine's clock readings follow its steps exactly, so its reports can be pinned.
TEST(FindSequencesLiteral, ReportsOnlyAfterMoreThanTwentyMilliseconds) {
    CScriptedClock clock({0, 20, 21});  // start, step 1 (not more than 20), step 2 (reports)
    CRecordingSink sink;
    std::string errorText;
    EXPECT_TRUE(FindSequencesLiteral("ABAB", 4, {"ab"}, {}, sink, errorText, clock));
    EXPECT_EQ(sink.calls,
              (Calls{"Begin", "AddResult 0 3 100 [0,1]", "Progress 0 4", "AddResult 0 3 100 [0,3]",
                     "AddResult 1 3 100 [1,2]", "AddResult 2 3 100 [2,3]", "Progress 4 4", "End"}));
}

TEST(FindSequencesLiteral, ATickCounterThatWrapsDoesNotReportEarly) {
    CSteppingClock nearWrap(3, 0xFFFFFFF0u);  // wraps at the fifth step, 15 ms after the start
    CRecordingSink sink;
    std::string errorText;
    EXPECT_TRUE(FindSequencesLiteral("ABAB", 4, {"ab"}, {}, sink, errorText, nearWrap));
    EXPECT_EQ(sink.calls.size(), 7u);
    EXPECT_EQ(sink.calls[5], "Progress 4 4");
}

}  // namespace
