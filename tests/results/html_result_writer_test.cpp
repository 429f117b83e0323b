#include "results/html_result_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "search/find_sequences.h"
#include "tests/support/fakes.h"
#include "tests/support/recording_sink.h"

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::StartsWith;

const std::string kHeader =
    "<html>\r\n<head>\r\n   <title>Equidistant Letter Sequences</title>\r\n   <style>\r\n"
    "      hr { color: #000000 }\r\n"
    "      .text { color: #C0C0C0; font-family: Courier New }\r\n"
    "      .keyword1 { color: #FF00FF; font-weight: bold; border-style: solid; border-width: 0 "
    "}\r\n"
    "      .keyword2 { color: #008000; font-weight: bold; border-style: solid; border-width: 0 "
    "}\r\n"
    "      .keyword3 { color: #808000; font-weight: bold; border-style: solid; border-width: 0 "
    "}\r\n"
    "      .keyword4 { color: #800000; font-weight: bold; border-style: solid; border-width: 0 "
    "}\r\n"
    "      .keyword5 { color: #000080; font-weight: bold; border-style: solid; border-width: 0 "
    "}\r\n"
    "      .keyword6 { color: #FF0000; font-weight: bold; border-style: solid; border-width: 0 "
    "}\r\n"
    "      .keyword7 { color: #0000FF; font-weight: bold; border-style: solid; border-width: 0 "
    "}\r\n"
    "      .keyword8 { color: #800080; font-weight: bold; border-style: solid; border-width: 0 "
    "}\r\n"
    "      .keyword9 { color: #008080; font-weight: bold; border-style: solid; border-width: 0 "
    "}\r\n"
    "      .keyword10 { color: #808080; font-weight: bold; border-style: solid; border-width: 0 "
    "}\r\n"
    "      .keyword11 { color: #000000; font-weight: bold; border-style: solid; border-width: 0 "
    "}\r\n"
    "   </style>\r\n</head>\r\n<body>\r\n<h1>Strandix!</h1>\r\n"
    "<h2>Equidistant Letter Sequences</h2>\r\n";

const std::string kFooterStart = "<hr>\r\n<font face=\"Arial\" size=\"2\">\r\n<b>";
const std::string kFooterEnd = ".</i>\r\n</body>\r\n</html>\r\n";
const std::string kCanceled = "<hr>\r\n<h3>The search was canceled.</h3>\r\n";
const std::string kNoResults = "No Results Found.\r\n";

const std::string kSizeQuestion =
    "YesNo The results file has exceeded 5 MB.  Most web browsers cannot efficiently\n"
    "open a file that large.  If you continue, your computer may freeze when\n"
    "you view the results.  Do you wish to continue?";

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

struct Find {
    std::int32_t first, last, columns;
    ResultPositions positions;
    std::string markup;  // as it stands in the page after an earlier find
};

// Rows of `columns`, the last one shorter or not; a letter shared by two keywords; more
// keywords than colours; a grid narrower than its width.
const Find kFinds[] = {
    {2,
     9,
     4,
     {{3, 6, 9}, {6, 7}},
     "<hr>\r\n<span class=\"text\">C<span class=\"keyword1\">D</span>EF<br>\r\n"
     "<span class=\"keyword2\">G</span><span class=\"keyword2\">H</span>I"
     "<span class=\"keyword1\">J</span>\r\n</span>\r\n"},
    {0,
     6,
     3,
     {{6}},
     "<hr>\r\n<span class=\"text\">ABC<br>\r\nDEF<br>\r\n<span class=\"keyword1\">G</span>"
     "\r\n</span>\r\n"},
    {0,
     4,
     10,
     {{3}, {3}, {3}, {3}, {3}, {3}, {3}, {3}, {3}, {3}, {2}, {0}, {1}},
     "<hr>\r\n<span class=\"text\"><span class=\"keyword1\">A</span>"
     "<span class=\"keyword2\">B</span><span class=\"keyword11\">C</span>"
     "<span class=\"keyword10\">D</span>E\r\n</span>\r\n"},
    {20,
     20,
     1,
     {{20}},
     "<hr>\r\n<span class=\"text\"><span class=\"keyword1\">U</span>\r\n</span>\r\n"},
};

// The page up to the footer, and checks on the footer's fixed parts and its link.
void ExpectPage(const std::string& page, const std::string& beforeFooter) {
    ASSERT_THAT(page, StartsWith(beforeFooter + kFooterStart));
    const std::string footer = page.substr(beforeFooter.size());
    EXPECT_THAT(footer.substr(footer.size() - kFooterEnd.size()), kFooterEnd);
    EXPECT_THAT(footer, HasSubstr("</b>&nbsp;&nbsp;<i>&quot;Strandix!&quot;"));
    EXPECT_TRUE(std::regex_search(
        footer, std::regex("<a href=\"https?://(www\\.)?example\\.(com|org|net)/")))
        << footer;
    // The footer is one paragraph of fixed lines: nothing of it repeats or precedes.
    EXPECT_EQ(footer.find(kFooterStart, 1), std::string::npos);
}

std::string WithoutLeadingRule(const std::string& markup) {
    return markup.substr(std::string("<hr>\r\n").size());
}

TEST(HtmlResultWriterTest, WritesPagesByteForByte) {
    const struct {
        const char* what;
        std::vector<int> finds;
        bool canceled;
        std::string tail;
    } pages[] = {
        {"all finds, run to the end", {0, 1, 2, 3}, false, ""},
        {"one find, canceled", {1}, true, kCanceled},
        {"no find, run to the end", {}, false, kNoResults},
        {"no find, canceled: the canceled line alone", {}, true, kCanceled},
    };
    for (const auto& page : pages) {
        SCOPED_TRACE(page.what);
        CPrivateTempFileSystem folder;
        CScriptedReceiver receiver;
        std::string expected = kHeader;
        {
            CHtmlResultWriter writer(receiver, folder);
            std::string errorText = "stale";
            ASSERT_TRUE(writer.Begin(errorText));
            EXPECT_EQ(writer.GetFilePath(), (folder.Folder() / "els000000.htm").string());
            for (std::size_t i = 0; i < page.finds.size(); ++i) {
                const Find& find = kFinds[page.finds[i]];
                ASSERT_TRUE(writer.AddResult(kAlphabet, find.first, find.last, find.columns,
                                             find.positions));
                expected += i == 0 ? WithoutLeadingRule(find.markup) : find.markup;
            }
            ASSERT_TRUE(writer.End(page.canceled));
        }
        expected += page.tail;
        ExpectPage(ReadWholeFile(folder.Folder() / "els000000.htm"), expected);
        EXPECT_THAT(receiver.calls, IsEmpty());
    }
}

// A page in another script: the header declares UTF-8, every cell holds the letter's text, and
// right-to-left rows are wrapped so that the browser lays each row out from the right.
TEST(HtmlResultWriterTest, ScriptPagesSpellTheLettersAndMayRunRightToLeft) {
    PageScript script;
    for (std::size_t code = 0; code < script.letters.size(); ++code)
        script.letters[code] = "<" + std::to_string(code) + ">";
    const std::string find0 =
        "<span class=\"text\"><67><span class=\"keyword1\"><68></span><69><70><br>\r\n"
        "<span class=\"keyword2\"><71></span><span class=\"keyword2\"><72></span><73>"
        "<span class=\"keyword1\"><74></span>\r\n</span>";
    const std::string find1 =
        "<span class=\"text\"><65><66><67><br>\r\n<68><69><70><br>\r\n"
        "<span class=\"keyword1\"><71></span>\r\n</span>";
    const std::string charset = "<head>\r\n   <meta charset=\"utf-8\">\r\n   <title>";
    const std::string header =
        std::regex_replace(kHeader, std::regex("<head>\r\n   <title>"), charset);
    for (const bool rightToLeft : {false, true}) {
        SCOPED_TRACE(rightToLeft ? "right to left" : "left to right");
        script.rightToLeft = rightToLeft;
        const std::string open = rightToLeft ? "<div dir=\"rtl\"><bdo dir=\"rtl\">" : "";
        const std::string close = rightToLeft ? "</bdo></div>" : "";
        CPrivateTempFileSystem folder;
        CScriptedReceiver receiver;
        {
            CHtmlResultWriter writer(receiver, folder);
            writer.SetScript(script);
            std::string errorText;
            ASSERT_TRUE(writer.Begin(errorText));
            for (const int i : {0, 1}) {
                ASSERT_TRUE(writer.AddResult(kAlphabet, kFinds[i].first, kFinds[i].last,
                                             kFinds[i].columns, kFinds[i].positions));
            }
            ASSERT_TRUE(writer.End(false));
        }
        ExpectPage(ReadWholeFile(folder.Folder() / "els000000.htm"),
                   header + open + find0 + close + "\r\n<hr>\r\n" + open + find1 + close + "\r\n");
    }
}

TEST(HtmlResultWriterTest, PageOfARealSearch) {
    CPrivateTempFileSystem folder;
    CScriptedReceiver receiver;
    CHtmlResultWriter writer(receiver, folder);
    SearchSettings settings;
    settings.AllowReverseKeywords = false;
    std::string errorText;
    CManualClock clock;
    const std::string text = "ABCABC";
    ASSERT_TRUE(FindSequences(text.c_str(), 6, {"ac"}, settings, writer, errorText, clock));
    const std::string a = "<span class=\"keyword1\">A</span>";
    const std::string c = "<span class=\"keyword1\">C</span>";
    const std::string close = "\r\n</span>\r\n<hr>\r\n<span class=\"text\">";
    ExpectPage(ReadWholeFile(writer.GetFilePath()), kHeader + "<span class=\"text\">" + a + "B" +
                                                        c + "ABC" + close + a + "BCAB" + c + close +
                                                        a + "B" + c + "\r\n</span>\r\n");
    EXPECT_THAT(receiver.calls, ElementsAre("Progress 6 6 3"));
}

// With a legend the page names each keyword in its colour, in the order typed (here not the
// search's order), and puts above each grid what the grid shows; without, nothing of it.
TEST(HtmlResultWriterTest, ALegendSaysWhatThePageShows) {
    PageLegend legend;
    legend.keywords = {"dc", "abx"};
    legend.names = {"d&c", "abx"};
    // Four letters a line, for the test.
    legend.placeOf = [](std::int64_t index) { return PagePlace{index / 4 + 1, index % 4 + 1}; };
    CPrivateTempFileSystem folder;
    CScriptedReceiver receiver;
    CHtmlResultWriter writer(receiver, folder);
    writer.SetLegend(legend);
    SearchSettings settings;
    std::string errorText;
    CManualClock clock;
    const std::string text = "ABXXCDA";
    ASSERT_TRUE(
        FindSequences(text.c_str(), 7, legend.keywords, settings, writer, errorText, clock));

    const std::string style =
        "      .legend { font-family: Arial }\r\n"
        "      .caption { font-family: Arial; font-size: small }\r\n   </style>";
    const std::string header = std::regex_replace(kHeader, std::regex("   </style>"), style);
    const std::string dc = "<bdi class=\"keyword2\">d&amp;c</bdi>";
    const std::string abx = "<bdi class=\"keyword1\">abx</bdi>";
    const std::string key =
        "<p class=\"legend\">Keywords in the order typed, each in its colour: " + dc + ", " + abx +
        ".<br>\r\nAbove each grid, every keyword's skip, its direction (forward: in the "
        "document's reading order, a positive skip; backward: against it, a negative skip) and "
        "where its first letter stands in the document: lines count from 1, columns count the "
        "characters of the line from 1 (a vowel point or accent is a character of its own).</p>"
        "\r\n<hr>\r\n";
    const std::string caption = "<p class=\"caption\">" + dc +
                                ": skip -1, backward, first letter at line 2, column 2<br>\r\n" +
                                abx +
                                ": skip +1, forward, first letter at line 1, column 1</p>\r\n";
    const std::string grid =
        "<span class=\"text\"><span class=\"keyword1\">A</span><span class=\"keyword1\">B</span>"
        "<span class=\"keyword1\">X</span>X<span class=\"keyword2\">C</span>"
        "<span class=\"keyword2\">D</span>A\r\n</span>\r\n";
    ExpectPage(ReadWholeFile(writer.GetFilePath()), header + key + caption + grid);
}

TEST(HtmlResultWriterTest, ProgressCarriesTheCountAndTheAnswer) {
    CMemoryFileSystem files;
    CScriptedReceiver receiver;
    receiver.progressAnswers = {true, false};
    CHtmlResultWriter writer(receiver, files);
    std::string errorText;
    ASSERT_TRUE(writer.Begin(errorText));
    EXPECT_TRUE(writer.Progress(0, 26));
    ASSERT_TRUE(writer.AddResult(kAlphabet, 0, 6, 3, {{6}}));
    EXPECT_FALSE(writer.Progress(7, 26));
    EXPECT_THAT(receiver.calls, ElementsAre("Progress 0 26 0", "Progress 7 26 1"));
}

TEST(HtmlResultWriterTest, NeverReusesAnExistingName) {
    CPrivateTempFileSystem folder;
    const auto taken = folder.Folder() / "els000000.htm";
    std::ofstream(taken, std::ios::binary) << "left by something else";
    CScriptedReceiver receiver;
    {
        CHtmlResultWriter writer(receiver, folder);
        std::string errorText;
        ASSERT_TRUE(writer.Begin(errorText));
        EXPECT_EQ(writer.GetFilePath(), (folder.Folder() / "els000001.htm").string());
        ASSERT_TRUE(writer.End(false));
    }
    EXPECT_EQ(ReadWholeFile(taken), "left by something else");
    ExpectPage(ReadWholeFile(folder.Folder() / "els000001.htm"), kHeader + kNoResults);
}

TEST(HtmlResultWriterTest, NamesCountInSixDigits) {
    CMemoryFileSystem files;
    for (const char* name :
         {"els000000.htm", "els000001.htm", "els000002.htm", "els000003.htm", "els000004.htm",
          "els000005.htm", "els000006.htm", "els000007.htm", "els000008.htm", "els000009.htm"}) {
        files.files[files.tempFolder + name];
    }
    CScriptedReceiver receiver;
    CHtmlResultWriter writer(receiver, files);
    std::string errorText;
    ASSERT_TRUE(writer.Begin(errorText));
    EXPECT_EQ(writer.GetFilePath(), "T:/tmp/els000010.htm");
}

TEST(HtmlResultWriterTest, BeginFailsWithoutAFolderOrAFreeName) {
    {
        CMemoryFileSystem files;
        files.hasTempFolder = false;
        CScriptedReceiver receiver;
        CHtmlResultWriter writer(receiver, files);
        std::string errorText;
        EXPECT_FALSE(writer.Begin(errorText));
        EXPECT_EQ(errorText, "Unable to save the results.  Could not locate the temporary folder.");
        EXPECT_EQ(files.creations, 0);
        EXPECT_EQ(writer.GetFilePath(), "");
    }
    {
        CMemoryFileSystem files;
        char name[32];
        for (int i = 0; i <= 99998; ++i) {
            std::snprintf(name, sizeof name, "els%06d.htm", i);
            files.files[files.tempFolder + name];
        }
        CScriptedReceiver receiver;
        CHtmlResultWriter writer(receiver, files);
        std::string errorText;
        EXPECT_FALSE(writer.Begin(errorText));
        EXPECT_EQ(errorText, "Unable to save the results.  Could not create the temporary file.");
        EXPECT_EQ(files.creations, 99999);
        EXPECT_EQ(writer.GetFilePath(), "");
        EXPECT_FALSE(writer.End(false)) << "nothing to write to";
        EXPECT_THAT(receiver.calls, IsEmpty());
    }
}

// The whole page of one find, written with no failure.
std::string CleanPage() {
    CMemoryFileSystem files;
    CScriptedReceiver receiver;
    CHtmlResultWriter writer(receiver, files);
    std::string errorText;
    writer.Begin(errorText);
    writer.AddResult(kAlphabet, 2, 9, 4, kFinds[0].positions);
    writer.End(false);
    return files.files.begin()->second.contents;
}

const std::string kRetryQuestion =
    "Retry Encountered an error when saving the results:\nthe disk is full (28)\n"
    "Do you want to retry or cancel?";

TEST(HtmlResultWriterTest, RetriedWritesGoOnWhereTheyStopped) {
    // Writes 1-13 are the header, 14 the find, 15 the footer. Fail some part-way, once or twice.
    const struct {
        const char* what;
        std::deque<long> script;
        int retries;
    } cases[] = {
        {"first header chunk, nothing written", {0}, 1},
        {"a palette line, part written", {-1, -1, -1, 17}, 1},
        {"the find, twice", {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 40, 3}, 2},
        {"the footer", {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 5}, 1},
    };
    const std::string clean = CleanPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CMemoryFileSystem files;
        files.writeScript = c.script;
        CScriptedReceiver receiver;
        receiver.retryAnswers.assign(static_cast<std::size_t>(c.retries), true);
        {
            CHtmlResultWriter writer(receiver, files);
            std::string errorText;
            ASSERT_TRUE(writer.Begin(errorText));
            ASSERT_TRUE(writer.AddResult(kAlphabet, 2, 9, 4, kFinds[0].positions));
            ASSERT_TRUE(writer.End(false));
            EXPECT_EQ(writer.GetResultsWritten(), 1);
        }
        EXPECT_EQ(files.files.begin()->second.contents, clean);
        EXPECT_EQ(receiver.calls, std::vector<std::string>(c.retries, kRetryQuestion));
    }
}

TEST(HtmlResultWriterTest, CancelInTheRetryPromptStopsWithoutErrorText) {
    const std::string clean = CleanPage();
    const std::size_t headerSize = kHeader.size();
    const std::size_t findSize = WithoutLeadingRule(kFinds[0].markup).size();
    const struct {
        const char* what;
        long failingWrite;  // 1-based
        bool beginOk, addOk, endOk;
        std::size_t kept;  // bytes of the clean page that stay
    } cases[] = {
        {"third header chunk", 3, false, false, false, kHeader.find("      .keyword2")},
        {"last header chunk", 13, false, false, false, kHeader.rfind("   </style>")},
        {"the find", 14, true, false, false, headerSize},
        {"the footer", 15, true, true, false, headerSize + findSize},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CMemoryFileSystem files;
        files.writeScript.assign(static_cast<std::size_t>(c.failingWrite - 1), -1);
        files.writeScript.push_back(0);
        CScriptedReceiver receiver;  // answers Cancel
        const CMemoryFileSystem::File* page = nullptr;
        {
            CHtmlResultWriter writer(receiver, files);
            std::string errorText = "stale";
            EXPECT_EQ(writer.Begin(errorText), c.beginOk);
            page = &files.files.begin()->second;
            if (c.beginOk) {
                EXPECT_EQ(writer.AddResult(kAlphabet, 2, 9, 4, kFinds[0].positions), c.addOk);
                EXPECT_EQ(writer.GetResultsWritten(), c.addOk ? 1 : 0);
                if (c.addOk) {
                    EXPECT_EQ(writer.End(false), c.endOk);
                }
            } else {
                EXPECT_EQ(errorText, "");
            }
            EXPECT_EQ(writer.GetFilePath(), "T:/tmp/els000000.htm");
            EXPECT_TRUE(page->open) << "a failed page stays open until the writer goes";
        }
        EXPECT_FALSE(page->open);
        EXPECT_EQ(receiver.calls, std::vector<std::string>{kRetryQuestion});
        EXPECT_EQ(page->contents, clean.substr(0, c.kept));
    }
}

TEST(HtmlResultWriterTest, AClosedPageTakesNoMoreWrites) {
    CMemoryFileSystem files;
    CScriptedReceiver receiver;
    CHtmlResultWriter writer(receiver, files);
    std::string errorText;
    ASSERT_TRUE(writer.Begin(errorText));
    ASSERT_TRUE(writer.End(false));
    EXPECT_FALSE(files.files.begin()->second.open);
    const std::string page = files.files.begin()->second.contents;
    EXPECT_FALSE(writer.AddResult(kAlphabet, 0, 6, 3, {{6}}));
    EXPECT_FALSE(writer.End(true));
    EXPECT_EQ(files.files.begin()->second.contents, page);
    EXPECT_THAT(receiver.calls, IsEmpty());
}

TEST(HtmlResultWriterTest, AnErrorAtTheFinalCloseIsNoSuccess) {
    for (const SystemErrorCode closeError : {SystemErrorCode{0}, SystemErrorCode{5}}) {
        SCOPED_TRACE(closeError);
        CMemoryFileSystem files;
        files.closeError = closeError;
        CScriptedReceiver receiver;
        CHtmlResultWriter writer(receiver, files);
        std::string errorText;
        ASSERT_TRUE(writer.Begin(errorText));
        EXPECT_EQ(writer.End(false), closeError == 0);
        EXPECT_EQ(writer.GetCloseError(), closeError == 0 ? "" : files.DescribeError(closeError));
        EXPECT_FALSE(files.files.begin()->second.open);
        EXPECT_THAT(receiver.calls, IsEmpty()) << "a close cannot be retried";
    }
}

TEST(HtmlResultWriterTest, AsksOnceWhenAFindArrivesPastFiveMegabytes) {
    const std::string find = WithoutLeadingRule(kFinds[1].markup);
    const std::string later = kFinds[1].markup;
    const struct {
        const char* what;
        std::int64_t biasOverLimit;  // size the page reports after its header, minus the limit
        int finds;
        std::deque<bool> answers;
        bool unknownSizeFirst;
        std::vector<bool> added;
        int questions;
    } cases[] = {
        {"at the limit exactly: no question", 0, 1, {}, false, {true}, 0},
        {"the first find pushes past, the second asks; Yes goes on, asked once",
         0,
         3,
         {true},
         false,
         {true, true, true},
         1},
        {"past the limit after the header: No writes nothing", 1, 1, {false}, false, {false}, 1},
        {"passing the limit with the last find asks nothing", -1, 1, {}, false, {true}, 0},
        {"unknown size: asked at the first find whose size is known",
         1,
         2,
         {true},
         true,
         {true, true},
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CMemoryFileSystem files;
        files.sizeBias = kResultsSizeWarningBytes - kHeader.size() + c.biasOverLimit;
        files.sizeKnown = !c.unknownSizeFirst;
        CScriptedReceiver receiver;
        receiver.yesNoAnswers = c.answers;
        CHtmlResultWriter writer(receiver, files);
        std::string errorText;
        ASSERT_TRUE(writer.Begin(errorText));
        std::string expected = kHeader;
        for (int i = 0; i < c.finds; ++i) {
            EXPECT_EQ(writer.AddResult(kAlphabet, 0, 6, 3, {{6}}), c.added[i]) << i;
            if (c.added[i]) expected += expected == kHeader ? find : later;
            files.sizeKnown = true;
        }
        if (c.added.back()) {
            // Ending a page, however large, asks nothing.
            ASSERT_TRUE(writer.End(false));
            EXPECT_THAT(files.files.begin()->second.contents, StartsWith(expected + kFooterStart));
        } else {
            EXPECT_EQ(files.files.begin()->second.contents, expected);
        }
        EXPECT_EQ(receiver.calls, std::vector<std::string>(c.questions, kSizeQuestion));
    }
}

TEST(HtmlResultWriterTest, NoToTheSizeQuestionFailsTheSearchQuietly) {
    CMemoryFileSystem files;
    CScriptedReceiver receiver;
    CHtmlResultWriter writer(receiver, files);
    // The page reports the limit once the header is in: the first find passes it.
    files.sizeBias = kResultsSizeWarningBytes - kHeader.size();
    std::string errorText = "stale";
    CManualClock clock;
    const std::string text = "ABCABC";
    EXPECT_FALSE(FindSequences(text.c_str(), 6, {"ac"}, {}, writer, errorText, clock));
    EXPECT_EQ(errorText, "");
    EXPECT_EQ(writer.GetResultsWritten(), 1);
    const std::string& page = files.files.begin()->second.contents;
    EXPECT_EQ(page.find("</html>"), std::string::npos) << "no footer";
    EXPECT_EQ(page.find("<hr>"), std::string::npos) << "one find only";
    EXPECT_EQ(receiver.calls, std::vector<std::string>{kSizeQuestion});
}

}  // namespace
