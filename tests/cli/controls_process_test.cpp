// The tool's control runs end to end: its reports against fixtures that the Windows tree checks
// strandix.exe against too, its options, --expected, JSON and Ctrl-C.
#include <signal.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/process_watch.h"
#include "tests/support/tool_process.h"
#include "tests/support/whole_file.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::IsEmpty;

class StrandixControlsTest : public ToolProcessTest {
  protected:
    StrandixControlsTest() : ToolProcessTest("strandix-controls-test") {}
};

const std::string kSample = STRANDIX_SAMPLE;
const fs::path kFixtures = STRANDIX_FIXTURES;

// Today's date (UTC) as a report gives it.
std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &parts);
    return date;
}

// A report with what differs between machines and days as placeholders: the sample's path, the
// version and the date. The fixtures hold the placeholders.
std::string WithPlaceholders(std::string report) {
    for (std::size_t at = report.find(kSample); at != std::string::npos;
         at = report.find(kSample, at))
        report.replace(at, kSample.size(), "SAMPLE");
    static const std::regex kMade("strandix [^ <\n]+ on [0-9]{4}-[0-9]{2}-[0-9]{2}");
    return std::regex_replace(report, kMade, "strandix VERSION on DATE");
}

TEST_F(StrandixControlsTest, ReportsMatchTheFixturesEveryPlatformMatches) {
    const std::string page = (Root() / "report.html").string();
    const struct {
        std::vector<std::string> arguments;
        const char* text;
        const char* html;
    } cases[] = {
        {{"-q", "--controls", "40", "--seed", "7", "--report", page, kSample, "moses"},
         "controls-letters.txt",
         "controls-letters.html"},
        {{"-q", "--controls", "30", "--seed", "3", "--control-kind", "words", kSample, "moses",
          "aaron"},
         "controls-words.txt",
         nullptr},
        {{"-q", "--controls", "30", "--seed", "3", "--control-kind", "keywords", "--max-skip",
          "1000", "--no-reverse", kSample, "moses"},
         "controls-keywords.txt",
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        for (const char* threads : {"1", "3"}) {
            std::vector<std::string> arguments = c.arguments;
            arguments.insert(arguments.begin(), {"--threads", threads});
            const Outcome outcome = Run(arguments);
            EXPECT_EQ(outcome.status, 0);
            EXPECT_THAT(outcome.err, IsEmpty());
            EXPECT_EQ(WithPlaceholders(outcome.out), ReadWholeFile(kFixtures / c.text));
            if (c.html) {
                EXPECT_EQ(WithPlaceholders(ReadWholeFile(page)), ReadWholeFile(kFixtures / c.html));
            }
        }
    }
}

TEST_F(StrandixControlsTest, OptionsAreChecked) {
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"--controls", "0", kSample, "moses"},
         "strandix: --controls: Please enter an integer between 1 and 100000000.\n"},
        {{"--controls", "100000001", kSample, "moses"}, "between 1 and 100000000."},
        {{"--controls", "-3", kSample, "moses"}, "between 1 and 100000000."},
        {{"--controls=1e3", kSample, "moses"}, "between 1 and 100000000."},
        {{"--controls", "5", "--control-kind", "vowels", kSample, "moses"},
         "--control-kind: Please choose letters, words or keywords."},
        {{"--controls", "5", "--seed", "18446744073709551616", kSample, "moses"},
         "--seed: Please enter an integer between 0 and 18446744073709551615."},
        {{"--controls", "5", "--threads", "0", kSample, "moses"},
         "--threads: Please enter an integer between 1 and 1024."},
        {{"--seed", "5", kSample, "moses"}, "need --controls."},
        {{"--report", "r.html", kSample, "moses"}, "need --controls."},
        {{"--controls", "5", "-o", "x.htm", kSample, "moses"}, "cannot be combined with -o"},
        {{"--controls", "5", "--report", kSample}, "Please name a document"},
        {{"--expected", kSample, "moses", "aaron"}, "--expected needs exactly one keyword."},
        {{"--controls", "5", "--expected", kSample, "moses", "aaron"},
         "--expected needs exactly one keyword."},
        {{"--controls", "5", "--report", (fs::path(kSample) / "r.html").string(), kSample, "moses"},
         "r.html: the file cannot be written.  Not a directory."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const Outcome outcome = Run(c.arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_THAT(outcome.err, HasSubstr(c.message));
        EXPECT_THAT(outcome.out, IsEmpty());
    }
}

TEST_F(StrandixControlsTest, WordControlsShuffleTheWordsOfEveryScript) {
    const std::string torah = (fs::path(kSample).parent_path() / "torah-wlc.txt").string();
    const std::string john = (fs::path(kSample).parent_path() / "john-byz.txt").string();
    const struct {
        std::vector<std::string> arguments;
        const char* headline;
    } cases[] = {
        {{"--alphabet", "hebrew", "--max-skip", "2", torah, "תורה"},
         "Controls: 3 words controls, seed 5, alphabet hebrew\nKeywords: תורה\n"},
        {{"--alphabet", "greek", "--max-skip", "20", john, "ιησους"},
         "Controls: 3 words controls, seed 5, alphabet greek\nKeywords: ΙΗΣΟΥΣ\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.headline);
        std::vector<std::string> arguments = {"-q", "--controls",     "3",    "--seed",
                                              "5",  "--control-kind", "words"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_THAT(outcome.err, IsEmpty());
        EXPECT_THAT(outcome.out, testing::StartsWith(c.headline));
        EXPECT_THAT(outcome.out, HasSubstr("; controls mean "));
    }
}

TEST_F(StrandixControlsTest, ExpectedCountOnItsOwnAndInJson) {
    const struct {
        std::vector<std::string> arguments;
        const char* out;
    } cases[] = {
        {{"--expected", kSample, "moses"},
         "Expected results: 56.01 (mean over letter shuffles); 56.02 with independent letters\n"},
        {{"--json", "--expected", kSample, "moses"},
         "{\"expected\": 56.01371171047341, \"expectedIndependent\": 56.01646080628467}\n"},
        // Far below one: the digits that matter are printed, not 0.000000.
        {{"--json", "--expected", kSample, "jerusalemite"},
         "{\"expected\": 5.799983461001003e-09, \"expectedIndependent\": "
         "5.798365271841693e-09}\n"},
        {{"--expected", kSample, "jerusalemite"},
         "Expected results: 5.8e-09 (mean over letter shuffles); 5.798e-09 with independent "
         "letters\n"},
        // --min-skip 2 leaves out the skips -1 and +1: one of the 250 skips MOSES can have.
        {{"--expected", "--min-skip", "2", kSample, "moses"},
         "Expected results: 55.79 (mean over letter shuffles); 55.79 with independent letters\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Run(c.arguments);
        EXPECT_EQ(outcome.status, 0) << c.out;
        EXPECT_EQ(outcome.out, c.out);
    }
}

TEST_F(StrandixControlsTest, PlainWordsAreCountedAndMinSkipLeavesThemOut) {
    const Outcome plain = Run({"-q", "--controls", "20", kSample, "abraham"});
    EXPECT_EQ(plain.status, 0);
    EXPECT_THAT(plain.out, HasSubstr("Results: real 134;"));
    EXPECT_THAT(plain.out, HasSubstr("Note: 134 of the 134 real results hold a keyword at skip "
                                     "+1 or -1, as plain text; --min-skip 2 leaves them out.\n"));
    const Outcome skipped = Run({"-q", "--controls", "20", "--min-skip", "2", kSample, "abraham"});
    EXPECT_EQ(skipped.status, 1);
    EXPECT_THAT(skipped.out, HasSubstr("Results: real 0;"));
    EXPECT_THAT(skipped.out, HasSubstr("letters within 500, smallest skip 2\n"));
    EXPECT_THAT(skipped.out, testing::Not(HasSubstr("plain text")));
    // --exclude-direct keeps its meaning, skip +1 only: MAHARBA, ABRAHAM spelled backwards,
    // still counts where the text has it, and only --min-skip 2 leaves it out.
    const fs::path backwards = Root() / "backwards.txt";
    std::ofstream(backwards, std::ios::binary) << "abraham and maharba";
    for (const auto& [option, count] :
         {std::pair{"--exclude-direct", "1"}, std::pair{"--min-skip=2", "0"}}) {
        const Outcome outcome = Run({"-q", "--json", option, backwards.string(), "abraham"});
        EXPECT_THAT(outcome.out, HasSubstr(std::string("\"count\": ") + count + ",")) << option;
    }
}

TEST_F(StrandixControlsTest, AReportNamesBothTailsAndWhatAReaderMustKnow) {
    // LEVEL reads the same both ways; MOSES's skip is capped by the span.
    const fs::path document = Root() / "level.txt";
    std::ofstream(document, std::ios::binary) << "xxlevelxx moses and level again";
    const Outcome outcome =
        Run({"-q", "--controls", "5", "--span", "40", document.string(), "level", "moses"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    for (const char* line :
         {"p(at least as many) = ", "; p(at most as many) = ", "p(at most as small) = ",
          "; p(at least as wide) = ",
          "Note: 4 of the 4 real results hold a keyword at skip +1 or -1, as plain text; "
          "--min-skip 2 leaves them out.\n",
          "Note: --span 40 caps the skip of level at 10, below --max-skip 500.\n",
          "Note: --span 40 caps the skip of moses at 10, below --max-skip 500.\n",
          "Note: level reads the same both ways: each of its finds is counted once in each "
          "direction.\n",
          "correct the p-values for multiple tests", "share their control texts"})
        EXPECT_THAT(outcome.out, HasSubstr(line));
    // A typed word with no letter of the alphabet is left out, and the report says so.
    const Outcome leftOut = Run({"-q", "--controls", "3", "--span", "40", document.string(),
                                 "level", "\xD7\xAA\xD7\x95\xD7\xA8\xD7\x94"});
    EXPECT_EQ(leftOut.status, 0) << leftOut.err;
    EXPECT_THAT(leftOut.out,
                HasSubstr("Note: The keyword \"\xD7\xAA\xD7\x95\xD7\xA8\xD7\x94\" has no letter of "
                          "the Latin alphabet and is left out; try --alphabet hebrew.\n"));
    // Word controls have no expected count as their reference.
    const Outcome words =
        Run({"-q", "--controls", "5", "--control-kind", "words", kSample, "moses"});
    EXPECT_THAT(words.out, testing::Not(HasSubstr("Expected")));
}

TEST_F(StrandixControlsTest, JsonCarriesTheResultsAndTheControls) {
    const Outcome outcome =
        Run({"-q", "--json", "--controls", "5", "--seed", "7", kSample, "moses"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_THAT(outcome.out, HasSubstr("\"results\": [\n{\"first\": "));
    EXPECT_THAT(outcome.out, HasSubstr("], \"count\": 53, \"canceled\": false, \"controls\": "
                                       "{\"kind\": \"letters\", \"seed\": 7,"));
    EXPECT_THAT(outcome.out, testing::EndsWith("]}}\n"));
    // Control i is the same in a run of 5 and in a run of 40.
    const Outcome forty =
        Run({"-q", "--json", "--controls", "40", "--seed", "7", kSample, "moses"});
    auto counts = [](const std::string& json) {
        const std::size_t from = json.find("\"counts\": [") + 11;
        std::vector<std::string> values;
        std::istringstream list(json.substr(from, json.find(']', from) - from));
        for (std::string value; std::getline(list, value, ',');)
            values.push_back(value);
        return values;
    };
    std::vector<std::string> firstFive = counts(forty.out);
    ASSERT_EQ(firstFive.size(), 40u);
    firstFive.resize(5);
    EXPECT_EQ(counts(outcome.out), firstFive);
    const Outcome five = Run({"-q", "--controls", "5", "--seed", "7", kSample, "moses"});
    EXPECT_THAT(five.out, HasSubstr("Controls: 5 letters controls, seed 7"));
}

TEST_F(StrandixControlsTest, CtrlCStopsAfterTheRunningControlsAndReportsThem) {
    // Long enough that the run is far from its end when the signal comes.
    const fs::path document = Root() / "a.txt";
    std::ofstream(document, std::ios::binary) << std::string(200000, 'a') + "b";
    // Ctrl-C, and SIGTERM as a scheduler or kill sends it, stop the run alike; the status is
    // the shells' 128 + the signal's number.
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const pid_t child = Start({"-q", "--threads", "1", "--controls", "100000", "--max-skip",
                                   "50", document.string(), "aab"});
        // The signal comes once the tool catches it and has worked for half a second of its own
        // processor time (the real search is long over by then), however busy the machine is.
        ASSERT_TRUE(WaitUntilCatching(child, signal));
        ASSERT_TRUE(WaitForProcessorTime(child, 0.5));
        ASSERT_EQ(kill(child, signal), 0);
        const Outcome outcome = Wait(child);
        EXPECT_EQ(outcome.status, 128 + signal);
        EXPECT_THAT(outcome.err,
                    testing::ContainsRegex("Stopped after [0-9]+ of 100000 controls\\."));
        EXPECT_THAT(outcome.out,
                    testing::ContainsRegex("Controls: [0-9]+ of 100000 letters controls "
                                           "done \\(stopped\\), seed 20261210"));
    }
}

TEST_F(StrandixControlsTest, HelpNamesTheControlOptions) {
    const Outcome help = Run({"--help"});
    for (const char* option : {"--controls N", "--control-kind K", "--seed S", "--threads T",
                               "--report FILE", "--expected"})
        EXPECT_THAT(help.out, HasSubstr(option));
}

}  // namespace

namespace {

TEST_F(StrandixControlsTest, AnOutputThatIsAnInputIsRefusedBeforeAnyWork) {
    // The document, a symbolic link to it, and two partials of one run.
    const fs::path document = Root() / "doc.txt";
    const fs::path link = Root() / "link.txt";
    const std::string original = ReadWholeFile(kSample).substr(0, 20000);
    std::ofstream(document, std::ios::binary) << original;
    fs::create_symlink(document, link);
    const std::string doc = document.string(), linked = link.string();
    const std::string part0 = (Root() / "part-0.json").string();
    const std::string part1 = (Root() / "part-1.json").string();
    ASSERT_EQ(Run({"-q", "--controls", "4", "--shard", "0/2", "-o", part0, doc, "moses"}).status,
              0);
    ASSERT_EQ(Run({"-q", "--controls", "4", "--shard", "1/2", "-o", part1, doc, "moses"}).status,
              0);
    const std::string partial = ReadWholeFile(part1);
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"-o", doc, doc, "moses"},
         doc + ": this output is the same file as the document (" + doc + ")"},
        {{"-o", linked, doc, "moses"},
         linked + ": this output is the same file as the document (" + doc + ")"},
        {{"-o", doc, linked, "moses"},
         doc + ": this output is the same file as the document (" + linked + ")"},
        {{"--controls", "3", "--report", doc, doc, "moses"},
         doc + ": this output is the same file as the document"},
        {{"--controls", "4", "--shard", "0/2", "-o", linked, doc, "moses"},
         linked + ": this output is the same file as the document"},
        {{"merge", "--report", part1, part0, part1},
         part1 + ": this output is the same file as a partial being merged (" + part1 + ")"},
        // An output that cannot be written is found before the controls run, not after.
        {{"--controls", "100000", "--report", (Root() / "missing" / "r.html").string(), doc,
          "moses"},
         (Root() / "missing" / "r.html").string() +
             ": the file cannot be written.  No such file or directory."},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Run(c.arguments);
        EXPECT_EQ(outcome.status, 2) << c.message;
        EXPECT_EQ(outcome.err.rfind("strandix: " + c.message, 0), 0u) << outcome.err;
        EXPECT_THAT(outcome.out, IsEmpty());
        EXPECT_EQ(ReadWholeFile(document), original) << c.message;
        EXPECT_EQ(ReadWholeFile(part1), partial) << c.message;
    }
}

TEST_F(StrandixControlsTest, MergeSaysWhatIsWrongWithEachFile) {
    const fs::path folder = Root() / "folder";
    fs::create_directories(folder);
    const fs::path damaged = Root() / "damaged.json";
    std::ofstream(damaged, std::ios::binary) << "x{}";
    // Larger than a partial of the largest run can be; sparse, so it takes no room on disk.
    const fs::path huge = Root() / "huge.json";
    std::ofstream(huge, std::ios::binary) << "{";
    fs::resize_file(huge, 7'000'000'000);
    const std::string missing = (Root() / "missing.json").string();
    const struct {
        std::string file;
        std::string message;
    } cases[] = {
        {folder.string(), folder.string() + ": this is a folder, not a file.\n"},
        {missing, missing + ": the file could not be opened.  No such file or directory.\n"},
        {"/dev/zero", "/dev/zero: this is a device, not a file.\n"},
        {damaged.string(),
         damaged.string() + ": the file is not valid JSON at byte 0: it is damaged.\n"},
        {huge.string(), huge.string() +
                            ": the file is not a partial: at 7000000000 bytes it is larger than "
                            "a partial can be (6416777216 bytes).\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Run({"merge", c.file});
        EXPECT_EQ(outcome.status, 2) << c.file;
        EXPECT_EQ(outcome.err, "strandix: " + c.message);
        EXPECT_THAT(outcome.out, IsEmpty());
    }
}

TEST_F(StrandixControlsTest, EveryReportNamesItsDocumentVersionAndDate) {
    const std::string version = Run({"--version"}).out.substr(9);  // "strandix 1.0.0\n"
    const std::string made = "strandix " + version.substr(0, version.size() - 1) + " on ";
    const std::string page = (Root() / "report.html").string();
    const std::string part0 = (Root() / "part-0.json").string();
    const std::string part1 = (Root() / "part-1.json").string();
    const std::string before = Today();
    const Outcome single =
        Run({"-q", "--controls", "4", "--seed", "7", "--report", page, kSample, "moses"});
    ASSERT_EQ(Run({"-q", "--controls", "4", "--seed", "7", "--shard", "0/2", "-o", part0, kSample,
                   "MOSES"})
                  .status,
              0);
    ASSERT_EQ(Run({"-q", "--controls", "4", "--seed", "7", "--shard", "1/2", "-o", part1, kSample,
                   "moses"})
                  .status,
              0);
    const Outcome merged = Run({"merge", part0, part1});
    const Outcome json = Run({"merge", "--json", part0, part1});
    const std::string after = Today();
    // The SHA-256 of the sample's bytes, as the partials carry it.
    const std::string partial = ReadWholeFile(part0);
    const std::size_t at = partial.find("\"document\": \"") + 13;
    const std::string sha = partial.substr(at, 64);
    ASSERT_EQ(sha.find_first_not_of("0123456789abcdef"), std::string::npos) << sha;
    const std::string html = ReadWholeFile(page);
    for (const std::string& expected :
         {"Document: " + kSample + ", SHA-256 " + sha + "\n", "Made by: " + made})
        EXPECT_THAT(single.out, HasSubstr(expected));
    for (const std::string& expected :
         {"<tr><th>Document</th><td>" + kSample + "</td></tr>",
          "<tr><th>SHA-256</th><td>" + sha + "</td></tr>", "<tr><th>Made by</th><td>" + made})
        EXPECT_THAT(html, HasSubstr(expected));
    // A merge names the document as the partials carry it; MOSES and moses are one run.
    EXPECT_EQ(merged.status, 0) << merged.err;
    EXPECT_THAT(merged.out, HasSubstr("Document: " + kSample + ", SHA-256 " + sha + "\n"));
    EXPECT_THAT(merged.out, HasSubstr("Made by: " + made));
    EXPECT_THAT(json.out, HasSubstr("\"documentSha256\": \"" + sha + "\""));
    for (const std::string* report : {&single.out, &merged.out}) {
        const bool dated = report->find(made + before + "\n") != std::string::npos ||
                           report->find(made + after + "\n") != std::string::npos;
        EXPECT_TRUE(dated) << *report;
    }
}

// The merge's text and page are the single run's, byte for byte: the partials carry the
// document's name as given.
TEST_F(StrandixControlsTest, MergedReportsAreTheSingleRunsByteForByte) {
    const std::string single = (Root() / "single.html").string();
    const std::string merged = (Root() / "merged.html").string();
    const std::vector<std::string> run = {"-q", "--controls", "6", "--seed", "9", kSample, "moses"};
    std::vector<std::string> whole = run;
    whole.insert(whole.begin(), {"--report", single});
    const Outcome text = Run(whole);
    ASSERT_EQ(text.status, 0) << text.err;
    std::vector<std::string> merge = {"merge", "--report", merged};
    for (const std::string shard : {"1/3", "0/3", "2/3"}) {
        const std::string partial = (Root() / ("part-" + shard.substr(0, 1))).string();
        std::vector<std::string> one = run;
        one.insert(one.begin(), {"--shard", shard, "-o", partial});
        ASSERT_EQ(Run(one).status, 0);
        merge.push_back(partial);
    }
    const Outcome joined = Run(merge);
    EXPECT_EQ(joined.status, 0) << joined.err;
    EXPECT_EQ(joined.out, text.out);
    EXPECT_EQ(ReadWholeFile(merged), ReadWholeFile(single));
}

TEST_F(StrandixControlsTest, AFailedWriteNamesTheFileAndTheSystemsReason) {
    const std::string part0 = (Root() / "part-0.json").string();
    const std::string part1 = (Root() / "part-1.json").string();
    for (const std::string shard : {"0/2", "1/2"}) {
        ASSERT_EQ(Run({"-q", "--controls", "4", "--shard", shard, "-o",
                       shard == "0/2" ? part0 : part1, kSample, "moses"})
                      .status,
                  0);
    }
    // /dev/full opens for writing, so the check before the work passes, and every write fails.
    const std::string message =
        "strandix: /dev/full: the output could not be written.  No space left on device.";
    const std::vector<std::string> cases[] = {
        {"-q", "--controls", "2", "--report", "/dev/full", kSample, "moses"},
        {"-q", "--controls", "4", "--shard", "0/2", "-o", "/dev/full", kSample, "moses"},
        {"merge", "--report", "/dev/full", part0, part1},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_THAT(outcome.err, testing::StartsWith(message));
    }
    // The page that could not be written loses nothing else: the text report is written.
    const Outcome report = Run(cases[0]);
    EXPECT_THAT(report.out, HasSubstr("Note: Runs with the same seed"));
    EXPECT_THAT(report.err, HasSubstr("  The report's text went to standard output.\n"));
}

}  // namespace
