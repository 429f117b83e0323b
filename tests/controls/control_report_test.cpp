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
    run.expectedIndependent = 5.3;
    run.documentName = "books/<genesis>.txt";
    run.documentDigest = "0a1b2c";
    run.version = "1.2.3";
    run.date = "2026-12-11";
    return run;
}

ControlRun SmallLettersRun() {
    ControlRun run = SmallRun();
    run.kind = ControlKind::Letters;
    return run;
}

const char kMultipleTestsNote[] =
    "Note: Every keyword, setting and document tried is another test: when several were tried, "
    "correct the p-values for multiple tests (for example, multiply the smallest by their "
    "number).\n"
    "Note: Runs with the same seed share their control texts, so their p-values are not "
    "independent: give each run its own --seed.\n";

TEST(ControlReportTest, TextReportShowsEveryFigureWithBothTails) {
    EXPECT_EQ(ControlReportText(SmallLettersRun()),
              "Controls: 4 letters controls, seed 42, alphabet latin\n"
              "Keywords: Moses\n"
              "Settings: right to left yes, plain words excluded no, widths 10-100, keywords "
              "within 1000, letters within 20\n"
              "Document: books/<genesis>.txt, SHA-256 0a1b2c\n"
              "Made by: strandix 1.2.3 on 2026-12-11\n"
              "Results: real 6; controls mean 4.75, sd 3.77, min 0, max 9; p(at least as many) = "
              "0.6 (3/5); p(at most as many) = 0.8 (4/5)\n"
              "Smallest span: real 3; controls mean 3.00, sd 2.00, min 1, max 5 (3 of 4 with a "
              "result); p(at most as small) = 0.6 (3/5); p(at least as wide) = 0.8 (4/5)\n"
              "Expected results: 5.125 (mean over letter shuffles); 5.300 with independent "
              "letters\n" +
                  std::string(kMultipleTestsNote));
}

TEST(ControlReportTest, ExpectedCountsBelongToLettersControlsOnly) {
    for (const ControlKind kind : {ControlKind::Words, ControlKind::Keywords}) {
        ControlRun run = SmallRun();
        run.kind = kind;
        EXPECT_EQ(ControlReportText(run).find("Expected"), std::string::npos);
        EXPECT_EQ(ControlReportHtml(run).find("Expected"), std::string::npos);
        EXPECT_NE(ControlsJson(run).find("\"expected\": null, \"expectedIndependent\": null"),
                  std::string::npos);
    }
    EXPECT_NE(
        ControlsJson(SmallLettersRun()).find("\"expected\": 5.1254, \"expectedIndependent\": 5.3"),
        std::string::npos);
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
              "{\"kind\": \"words\", \"seed\": 42, \"alphabet\": \"latin\", "
              "\"documentSha256\": \"0a1b2c\", \"total\": 4, "
              "\"done\": 4, \"keywords\": [\"Moses\"], \"settings\": {\"maxSkip\": 20, "
              "\"minSkip\": 1, \"span\": 1000, \"minWidth\": 10, \"maxWidth\": 100, "
              "\"reverse\": true, \"excludeDirect\": false, \"ignoreNumbers\": false}, "
              "\"real\": {\"results\": 6, \"smallestSpan\": 3, "
              "\"plainWordResults\": 0}, \"results\": {\"samples\": 4, "
              "\"mean\": 4.75, \"sd\": 3.774917217635375, \"min\": 0, \"max\": 9, \"hits\": 2, "
              "\"p\": 0.6, \"tail\": \"at least as many\", \"hitsAtMost\": 3, \"pAtMost\": 0.8, "
              "\"tailAtMost\": \"at most as many\"}, \"smallestSpan\": {\"samples\": 3, "
              "\"mean\": 3, \"sd\": 2, \"min\": 1, \"max\": 5, \"hits\": 2, \"p\": 0.6, "
              "\"tail\": \"at most as small\", \"hitsAtMost\": 3, \"pAtMost\": 0.8, "
              "\"tailAtMost\": \"at least as wide\"}, \"expected\": null, "
              "\"expectedIndependent\": null, \"notes\": [\"Every keyword, setting and document "
              "tried is another test: when several were tried, correct the p-values for multiple "
              "tests (for example, multiply the smallest by their number).\", \"Runs with the "
              "same seed share their control texts, so their p-values are not independent: give "
              "each run its own --seed.\"], \"counts\": [4, 6, 0, 9], \"smallestSpans\": [5, 3, "
              "null, 1]}");
}

TEST(ControlReportTest, HtmlPageStandsAloneWithTheHistogram) {
    const std::string html = ControlReportHtml(SmallLettersRun());
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    for (const char* expected :
         {"<svg", "real 6</text>", "4 letters controls, seed 42", "letters within 20",
          "<tr><th>Document</th><td>books/&lt;genesis&gt;.txt</td></tr>",
          "<tr><th>SHA-256</th><td>0a1b2c</td></tr>",
          "<tr><th>Made by</th><td>strandix 1.2.3 on 2026-12-11</td></tr>",
          "p-value, at least as many results", "p-value, at most as many results",
          "p-value, smallest span at least as wide", "5.125 (mean over letter shuffles)",
          "correct the p-values for multiple tests", "share their control texts", "</html>"})
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

TEST(ControlReportTest, ExpectationsKeepFourSignificantDigits) {
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {{456.74474474474476, "456.7"},
                          {5.799983461001003e-09, "5.8e-09"},
                          {5.798365271841693e-09, "5.798e-09"},
                          {0.1234567, "0.1235"},
                          {56.0249, "56.02"},
                          {123456.7, "123457"},
                          {0.0, "0"},
                          {1e300 * 1e10, "-"}};
    for (const Case& c : cases)
        EXPECT_EQ(FormatSignificant(c.value), c.expected) << c.value;
}

// Where the histogram draws the real count: the x of the red line and its label's anchor.
std::string RealMark(const ControlRun& run) {
    const std::string html = ControlReportHtml(run);
    const std::size_t line = html.find("stroke=\"#c00\"");
    const std::size_t x = html.rfind("<line x1=\"", line) + 10;
    const std::size_t label = html.find("text-anchor=\"", line) + 13;
    return html.substr(x, html.find('"', x) - x) + " " +
           html.substr(label, html.find('"', label) - label);
}

TEST(ControlReportTest, HistogramMarksTheRealCountOverTheBarThatHoldsIt) {
    // Counts 0..109 in bins of 3 (37 bars, 730 / 37 = 19.73 wide from x = 50): 53 lies in the
    // bin 51-53, the eighteenth bar, whose middle is at 50 + 17 * 19.73 + 0.45 * 19.73; 51 and
    // 53 share that bar and its mark.
    ControlRun run = SmallRun();
    run.controls.clear();
    for (std::int64_t count = 0; count <= 109; ++count)
        run.controls.push_back({count, 1});
    run.total = static_cast<std::int64_t>(run.controls.size());
    struct Case {
        std::int64_t real;
        const char* mark;
    };
    const Case cases[] = {
        {53, "394.3 middle"}, {51, "394.3 middle"}, {54, "414.0 middle"},
        {0, "58.9 start"},    {109, "769.1 end"},
    };
    for (const Case& c : cases) {
        run.real = {c.real, 1};
        EXPECT_EQ(RealMark(run), c.mark) << c.real;
    }
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
        run.expected = ExpectedCount(text_, keywords_, run.settings)->shuffle;
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
class CStopAfter : public CWorkReceiver {
  public:
    CStopAfter(std::atomic<bool>& stop, std::int64_t after) : stop_(stop), after_(after) {}
    void WorkDone(std::int64_t done, std::int64_t total) override {
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
