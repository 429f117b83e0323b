#include "controls/control_report.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "controls/control_runner.h"

namespace {

ControlRun SmallRun() {
    ControlRun run;
    run.settings.MaxDistanceBetweenLetters = 20;
    run.keywords = {"Moses"};
    run.kind = ControlKind::Words;
    run.seed = 42;
    run.total = 4;
    run.real = {6, 3};
    run.controls = {{4, 5}, {6, 3}, {0, 0}, {9, 1}};
    run.expected = 5.1254;
    return run;
}

TEST(ControlReportTest, TextReportShowsEveryFigure) {
    EXPECT_EQ(ControlReportText(SmallRun()),
              "Controls: 4 words controls, seed 42, alphabet latin\n"
              "Keywords: Moses\n"
              "Settings: right to left yes, plain words excluded no, widths 10-100, keywords "
              "within 1000, letters within 20\n"
              "Results: real 6; controls mean 4.75, sd 3.77, min 0, max 9; p = 0.6 (3/5)\n"
              "Smallest span: real 3; controls mean 3.00, sd 2.00, min 1, max 5 (3 of 4 with a "
              "result); p = 0.6 (3/5)\n"
              "Expected results with independent letters: 5.13\n");
}

TEST(ControlReportTest, TextReportSaysWhenTheRunWasStoppedOrHasNoExpectation) {
    ControlRun run = SmallRun();
    run.total = 10;
    run.expected.reset();
    run.real = {0, 0};
    const std::string text = ControlReportText(run);
    EXPECT_NE(text.find("Controls: 4 of 10 words controls done (stopped), seed 42"),
              std::string::npos);
    EXPECT_NE(text.find("Smallest span: real none;"), std::string::npos);
    EXPECT_EQ(text.find("Expected"), std::string::npos);
}

TEST(ControlReportTest, JsonHoldsTheSummaryAndEveryControl) {
    EXPECT_EQ(ControlsJson(SmallRun()),
              "{\"kind\": \"words\", \"seed\": 42, \"alphabet\": \"latin\", \"total\": 4, "
              "\"done\": 4, \"keywords\": [\"Moses\"], \"settings\": {\"AllowReverseKeywords\": "
              "true, \"ExcludeWordsDirectlyFromText\": false, \"MinColumnWidth\": 10, "
              "\"MaxColumnWidth\": 100, \"MaxResultLength\": 1000, \"MaxDistanceBetweenLetters\": "
              "20}, \"real\": {\"results\": 6, \"smallestSpan\": 3}, \"results\": {\"samples\": 4, "
              "\"mean\": 4.75, \"sd\": 3.774917217635375, \"min\": 0, \"max\": 9, \"hits\": 2, "
              "\"p\": 0.6}, \"smallestSpan\": {\"samples\": 3, \"mean\": 3, "
              "\"sd\": 2, \"min\": 1, \"max\": 5, \"hits\": 2, \"p\": 0.6}, "
              "\"expected\": 5.1254, \"counts\": [4, 6, 0, 9], \"smallestSpans\": [5, 3, null, "
              "1]}");
}

TEST(ControlReportTest, HtmlPageStandsAloneWithTheHistogram) {
    const std::string html = ControlReportHtml(SmallRun());
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    for (const char* expected : {"<svg", "real 6</text>", "4 words controls, seed 42",
                                 "letters within 20", "p-value (results)", "5.13", "</html>"})
        EXPECT_NE(html.find(expected), std::string::npos) << expected;
    // Nothing runs and nothing is fetched: the only address is the SVG namespace.
    for (const char* forbidden : {"<script", "src=", "href=", "url(", "@import",
                                  "on"
                                  "load="})
        EXPECT_EQ(html.find(forbidden), std::string::npos) << forbidden;
    EXPECT_EQ(html.find("http"), html.find("http://www.w3.org/2000/svg"));
    // One bar per count from 0 to 9.
    std::size_t bars = 0;
    for (std::size_t at = html.find("<rect"); at != std::string::npos;
         at = html.find("<rect", at + 1))
        ++bars;
    EXPECT_EQ(bars, 10u);
    EXPECT_NE(html.find("<title>9: 1 controls</title>"), std::string::npos);
}

TEST(ControlReportTest, FixedFormatRoundsTheSameEverywhere) {
    struct Case {
        double value;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {{5.1254, 2, "5.13"},   {5.125, 2, "5.12"},      {0.005, 2, "0.01"},
                          {-0.001, 2, "0.00"},   {53067.0, 1, "53067.0"}, {2.5, 0, "2"},
                          {1e300 * 1e10, 2, "-"}};
    for (const Case& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected) << c.value;
}

// A sample of text with plenty of finds, its run and its report, with the given threads.
class ControlRunTest : public testing::Test {
  protected:
    ControlRun Run(ControlKind kind, std::uint64_t seed, unsigned threads,
                   std::int64_t count = 24) {
        ControlRun run;
        run.keywords = keywords_;
        run.settings.MaxDistanceBetweenLetters = 60;
        run.kind = kind;
        run.seed = seed;
        run.total = count;
        run.real = MeasureSearch(text_, keywords_, run.settings);
        ControlRunOptions options;
        options.kind = kind;
        options.seed = seed;
        options.threads = threads;
        run.controls =
            RunControls({text_, keywords_, run.settings, &words_}, AllControls(count), options);
        run.expected = ExpectedCount(text_, keywords_, run.settings);
        return run;
    }

    void SetUp() override {
        document_ =
            "In the beginning God created the heaven and the earth.  And the earth was without "
            "form, and void; and darkness was upon the face of the deep.  And the Spirit of God "
            "moved upon the face of the waters.  And God said, Let there be light: and there was "
            "light.  And God saw the light, that it was good: and God divided the light from the "
            "darkness.";
        text_ = document_;
        NormaliseText(text_, false);
        words_ = CAlphabet().WordLengths(document_, false);
    }

    std::string document_;
    std::string text_;
    std::vector<std::int32_t> words_;
    KeywordList keywords_ = {"god"};
};

TEST_F(ControlRunTest, SameSeedSameReportWhateverTheThreads) {
    for (const ControlKind kind :
         {ControlKind::Letters, ControlKind::Words, ControlKind::Keywords}) {
        const ControlRun one = Run(kind, 7, 1);
        const std::string text = ControlReportText(one);
        const std::string json = ControlsJson(one);
        for (const unsigned threads : {2u, 3u, 8u}) {
            const ControlRun many = Run(kind, 7, threads);
            EXPECT_EQ(ControlReportText(many), text) << ControlKindName(kind) << threads;
            EXPECT_EQ(ControlsJson(many), json) << ControlKindName(kind) << threads;
            EXPECT_EQ(ControlReportHtml(many), ControlReportHtml(one));
        }
        // The controls really vary, and another seed gives other controls.
        const Summary summary = SummariseResults(one.controls);
        EXPECT_LT(summary.minimum, summary.maximum) << ControlKindName(kind);
        EXPECT_NE(ControlsJson(Run(kind, 8, 2)), json) << ControlKindName(kind);
    }
}

TEST_F(ControlRunTest, AnySubsetOfControlsGivesTheSameFiguresAsTheWholeRun) {
    const ControlRun whole = Run(ControlKind::Letters, 3, 2);
    ControlRunOptions options;
    options.seed = 3;
    const std::vector<std::int64_t> odd = {23, 1, 5, 17};
    const auto some = RunControls({text_, keywords_, whole.settings}, odd, options);
    ASSERT_EQ(some.size(), odd.size());
    for (std::size_t i = 0; i < odd.size(); ++i)
        EXPECT_EQ(some[i], whole.controls[static_cast<std::size_t>(odd[i])]) << odd[i];
}

// Asks the run to stop once `after` controls are done.
class CStopAfter : public CControlReceiver {
  public:
    CStopAfter(std::atomic<bool>& stop, std::int64_t after) : stop_(stop), after_(after) {}
    void ControlsDone(std::int64_t done, std::int64_t total) override {
        EXPECT_EQ(total, 40);
        EXPECT_EQ(done, ++calls_);
        if (done >= after_) stop_ = true;
    }

  private:
    std::atomic<bool>& stop_;
    std::int64_t after_;
    std::int64_t calls_ = 0;
};

TEST_F(ControlRunTest, StopFinishesTheRunningControlsAndKeepsTheFirstOnes) {
    const ControlRun whole = Run(ControlKind::Letters, 3, 1, 40);
    for (const unsigned threads : {1u, 2u}) {
        std::atomic<bool> stop{false};
        CStopAfter receiver(stop, 5);
        ControlRunOptions options;
        options.seed = 3;
        options.threads = threads;
        options.receiver = &receiver;
        options.stop = &stop;
        const auto done = RunControls({text_, keywords_, whole.settings}, AllControls(40), options);
        // The control that asked for the stop and those already running are finished.
        EXPECT_GE(done.size(), 5u);
        EXPECT_LE(done.size(), 5u + threads - 1);
        for (std::size_t i = 0; i < done.size(); ++i)
            EXPECT_EQ(done[i], whole.controls[i]) << i;
    }
}

}  // namespace
