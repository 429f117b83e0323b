// strandix proximity end to end: the published pair figures through the tool, the list's errors,
// shards and their merge, threads, Ctrl-C and the report.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/pseudo_terminal.h"
#include "tests/support/tool_process.h"
#include "tests/support/whole_file.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::IsEmpty;

class StrandixProximityTest : public ToolProcessTest {
  protected:
    StrandixProximityTest() : ToolProcessTest("strandix-proximity-test") {}
};

const std::string kKoren = std::string(STRANDIX_SAMPLES) + "/genesis-koren.txt";
const std::string kDemoList = std::string(STRANDIX_SAMPLES) + "/genesis-demo-list.txt";

std::vector<std::string> Joined(std::vector<std::string> first,
                                const std::vector<std::string>& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

TEST_F(StrandixProximityTest, PublishedPairFigures) {
    struct Case {
        const char* word1;
        const char* word2;
        int rank, triples;
    };
    const Case cases[] = {{"צדקיהו", "מתניה", 2, 125}, {"בנבנשת", "הורוויץ", 68, 125}};
    for (const Case& pair : cases) {
        SCOPED_TRACE(pair.word1);
        const Outcome outcome =
            Run({"proximity", "--json", "--alphabet", "hebrew", kKoren, pair.word1, pair.word2});
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        const nlohmann::json json = nlohmann::json::parse(outcome.out);
        EXPECT_EQ(json["letters"], 78064);
        ASSERT_EQ(json["pairs"].size(), 1u);
        const nlohmann::json& result = json["pairs"][0];
        EXPECT_TRUE(result["person"].is_null());
        EXPECT_EQ(result["rank"], pair.rank);
        EXPECT_EQ(result["validTriples"], pair.triples);
        EXPECT_EQ(result["c"].get<double>(), double(pair.rank) / pair.triples);
        EXPECT_EQ(json["settings"]["deltaConstant"], 0);
    }
    // The same pair as a text line: word1, word2, D1, D2, m, v, c as v/m with four digits.
    const Outcome text = Run({"proximity", "--alphabet", "hebrew", kKoren, "צדקיהו", "מתניה"});
    EXPECT_THAT(text.out,
                testing::ContainsRegex("\nצדקיהו\tמתניה\t[0-9]+\t36\t125\t2\t2/125 = 0\\.016\n"));
}

TEST_F(StrandixProximityTest, BadListLinesNameTheFileAndLine) {
    const struct {
        const char* list;
        const char* message;
    } cases[] = {
        {"a\tname\tאברהם\na\tdate\tהמכפלה\nb\tnom\tישמעאל\n",
         ", line 3: the second field is \"nom\"; it must be name or date.\n"},
        {"# people\n\na\tname\n",
         ", line 3: it has 2 fields; a line is ID<TAB>name<TAB>WORD or "
         "ID<TAB>date<TAB>WORD.\n"},
        {"a\tname\tאברהם\n",
         ": no person has both a name and a date, so the list makes no pair.\n"},
        {"a\tname\tאברהם\na\tdate\tמכפלהx\n",
         ", line 2: the word \"מכפלהx\" holds \"x\", no letter of the hebrew alphabet.\n"},
    };
    const std::string list = (Root() / "list.txt").string();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        std::ofstream(list, std::ios::binary) << c.list;
        const Outcome outcome = Run({"proximity", "--alphabet", "hebrew", kKoren, "--list", list});
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.err, "strandix: " + list + c.message);
        EXPECT_THAT(outcome.out, IsEmpty());
    }
}

TEST_F(StrandixProximityTest, AListRunsWithPersonsWithoutADateAndShowsInfluence) {
    // The demonstration list with a person of names only: it takes part in the permutation test.
    std::ifstream demo(kDemoList, std::ios::binary);
    std::stringstream text;
    text << demo.rdbuf() << "nodate\tname\tאברהם\n";
    const std::string list = (Root() / "list.txt").string();
    std::ofstream(list, std::ios::binary) << text.str();
    const Outcome outcome = Run({"proximity", "--json", "--influence", "--permutations", "99",
                                 "--alphabet", "hebrew", kKoren, "--list", list});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_THAT(outcome.err, testing::HasSubstr("strandix: Note: " + list +
                                                ": nodate has names but no date: no pair of "
                                                "their own"));
    EXPECT_THAT(outcome.err, testing::HasSubstr("strandix: c matrix: 9 persons, "));
    const nlohmann::json json = nlohmann::json::parse(outcome.out);
    const nlohmann::json& influence = json["influence"];
    ASSERT_EQ(influence["persons"].size(), 9u);
    ASSERT_FALSE(influence["words"].empty());
    for (const nlohmann::json& row : influence["persons"]) {
        EXPECT_TRUE(row["person"].is_string());
        EXPECT_GE(row["rankP2"].get<int>(), 1);
        EXPECT_LE(row["rankP2"].get<int>(), 100);
        EXPECT_TRUE(row["pairs"].is_number_integer());
        EXPECT_TRUE(row["rankP1"].is_number_integer());
        EXPECT_TRUE(row["rankT"].is_number_integer());
    }
    EXPECT_TRUE(influence["words"][0]["word"].is_string());
    EXPECT_TRUE(json["statistics"]["log10P2"].is_number());
    // Leaving out the person without a date leaves N as it is.
    for (const nlohmann::json& row : influence["persons"]) {
        if (row["person"] == "nodate") {
            EXPECT_EQ(row["pairs"], json["statistics"]["pairs"]);
        }
    }
}

TEST_F(StrandixProximityTest, AListTooLargeForAnHourIsRefusedUnlessYes) {
    const std::string list = (Root() / "large.txt").string();
    {
        std::ofstream file(list, std::ios::binary);
        for (int p = 0; p < 3000; ++p)
            file << p << "\tname\tצדקיהו\n" << p << "\tdate\tמתניה\n";
    }
    const Outcome outcome =
        Run({"proximity", "--threads", "2", "--alphabet", "hebrew", kKoren, "--list", list});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_THAT(outcome.err, testing::StartsWith("strandix: The c matrix of 3000 persons, 9000000 "
                                                 "cells (name x date), 2 words: about "));
    EXPECT_THAT(outcome.err, testing::HasSubstr("--shard K/N"));
    EXPECT_THAT(outcome.err, testing::HasSubstr("--yes"));
    EXPECT_THAT(outcome.out, IsEmpty());
}

TEST_F(StrandixProximityTest, ShardsMergedGiveTheSingleRun) {
    const std::vector<std::string> run = {"--alphabet", "hebrew", "--permutations",
                                          "999",        "--seed", "5",
                                          kKoren,       "--list", kDemoList};
    for (const bool json : {true, false}) {
        SCOPED_TRACE(json);
        std::vector<std::string> single = {"proximity", "-q"};
        if (json) single.push_back("--json");
        const Outcome whole = Run(Joined(single, run));
        ASSERT_EQ(whole.status, 0) << whole.err;
        std::vector<std::string> merge = {"merge"};
        if (json) merge.push_back("--json");
        for (const char* shard : {"2/3", "0/3", "1/3"}) {
            const std::string partial = (Root() / (std::string("part-") + shard[0])).string();
            const Outcome written =
                Run(Joined({"proximity", "-q", "--shard", shard, "-o", partial}, run));
            ASSERT_EQ(written.status, 0) << written.err;
            merge.push_back(partial);
        }
        const Outcome merged = Run(merge);
        EXPECT_EQ(merged.status, whole.status) << merged.err;
        EXPECT_EQ(merged.out, whole.out);
    }
}

TEST_F(StrandixProximityTest, MergeRefusesAMissingShard) {
    const std::string partial = (Root() / "part-0").string();
    ASSERT_EQ(Run({"proximity", "-q", "--alphabet", "hebrew", "--shard", "0/2", "-o", partial,
                   kKoren, "--list", kDemoList})
                  .status,
              0);
    const Outcome merged = Run({"merge", partial});
    EXPECT_EQ(merged.status, 2);
    EXPECT_EQ(merged.err, "strandix: Shard 1/2 is missing: no partial holds its persons' rows.\n");
}

// The merge reads each file once and takes its kind from "format": a partial saved with a
// byte-order mark or blank lines first is read, one of the other kind is refused by name, and a
// moved document is named in a note, or given with --document (refused when it is another).
TEST_F(StrandixProximityTest, MergeTakesEditedPartialsAndAMovedDocument) {
    const std::string document = (Root() / "genesis.txt").string();
    const std::string moved = (Root() / "moved.txt").string();
    fs::copy_file(kKoren, document);
    const std::string part0 = (Root() / "part-0").string();
    const std::string part1 = (Root() / "part-1").string();
    for (const char* shard : {"0/2", "1/2"}) {
        ASSERT_EQ(Run({"proximity", "-q", "--alphabet", "hebrew", "--permutations", "99", "--shard",
                       shard, "-o", shard[0] == '0' ? part0 : part1, document, "--list", kDemoList})
                      .status,
                  0);
    }
    fs::rename(document, moved);
    const std::string edited = (Root() / "edited").string();
    std::ofstream(edited, std::ios::binary) << "\xEF\xBB\xBF\r\n\n" << ReadWholeFile(part1);
    const std::string controls = (Root() / "controls").string();
    ASSERT_EQ(
        Run({"-q", "--controls", "4", "--shard", "0/1", "-o", controls, kKoren, "abc"}).status, 0);
    const std::string page = (Root() / "page.html").string();
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string err;     // the whole of standard error, or its start when it ends in "..."
        bool grids = false;  // the page shows letter grids
    } cases[] = {
        {{"merge", "--report", page, part0, edited},
         0,
         "strandix: Note: the report has no letter grids, which need the document the shards "
         "read: " +
             document + " was tried, and the document could not be opened..."},
        {{"merge", "--report", page, "--document", moved, part0, edited}, 0, "", true},
        {{"merge", "--report", page, "--document", kDemoList, part0, part1},
         2,
         "strandix: " + kDemoList + " is not the document the shards read: its SHA-256 is ..."},
        {{"merge", part0, controls},
         2,
         "strandix: " + controls + ": it is a partial of a control run, while " + part0 +
             " is a partial of a proximity run, so the two are not parts of the same run.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        fs::remove(page);
        const Outcome outcome = Run(c.arguments);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        if (c.err.size() > 3 && c.err.substr(c.err.size() - 3) == "...")
            EXPECT_THAT(outcome.err, testing::StartsWith(c.err.substr(0, c.err.size() - 3)));
        else
            EXPECT_EQ(outcome.err, c.err);
        if (c.status != 0) continue;
        EXPECT_EQ(ReadWholeFile(page).find("<table class=\"grid\"") != std::string::npos, c.grids);
    }
}

// ... and --alphabet auto reads the list in the document's alphabet, Hebrew here.
TEST_F(StrandixProximityTest, OneAndTwoThreadsGiveTheSameJson) {
    std::string first;
    const std::pair<const char*, const char*> runs[] = {
        {"1", "hebrew"}, {"2", "hebrew"}, {"2", "auto"}};
    for (const auto& [threads, alphabet] : runs) {
        SCOPED_TRACE(std::string(threads) + " " + alphabet);
        const Outcome outcome =
            Run({"proximity", "-q", "--json", "--triples", "--threads", threads, "--alphabet",
                 alphabet, "--permutations", "9999", kKoren, "--list", kDemoList});
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_THAT(outcome.out, HasSubstr("\"triples\": [{\"t\": [-2, -2, -2], \"omega\": "));
        if (first.empty())
            first = outcome.out;
        else
            EXPECT_EQ(outcome.out, first);
    }
}

TEST_F(StrandixProximityTest, WordsLeftOutAreNamedWithTheReason) {
    const Outcome outcome = Run({"proximity", "--alphabet", "hebrew", kKoren, "משה", "מתניה"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out,
              "word1\tword2\tD1\tD2\tm\tv\tc\nLeft out: משה (word1) has 3 letters, fewer than "
              "5.\n");
}

TEST_F(StrandixProximityTest, ADocumentOfAnotherAlphabetIsNamed) {
    const Outcome outcome = Run({"proximity", kKoren, "abcde", "fghij"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err,
              "strandix: Note: the document has no letter of the Latin alphabet; it looks "
              "Hebrew: try --alphabet hebrew.\n");
    EXPECT_THAT(outcome.out, HasSubstr("ABCDE\tFGHIJ\t0\t0\t0\t-\tundefined\n"));
}

TEST_F(StrandixProximityTest, CtrlCSaysWhatIsDoneAndWritesNothing) {
    // Interrupted once the permutation test shows its progress: the matrix is then complete.
    const Outcome outcome =
        InterruptAt({"proximity", "--threads", "1", "--alphabet", "hebrew", "--permutations",
                     "1000000000", kKoren, "--list", kDemoList},
                    "Permutation test");
    EXPECT_EQ(outcome.status, 130);
    EXPECT_THAT(outcome.err,
                testing::ContainsRegex("strandix: Stopped during the permutation test: the c "
                                       "matrix was complete and [0-9]+ of 1000000001 "
                                       "permutations were counted"));
    EXPECT_THAT(outcome.out, IsEmpty());
}

// The demonstration list with every person given `copies` times under new IDs: a c matrix of
// copies^2 times as many pairs.
std::string CopiedList(int copies) {
    std::istringstream lines(ReadWholeFile(kDemoList));
    std::string list, line;
    for (int copy = 0; copy < copies; ++copy) {
        lines.clear();
        lines.seekg(0);
        while (std::getline(lines, line)) {
            if (!line.empty() && line[0] != '#') list += std::to_string(copy) + "-" + line + "\n";
        }
    }
    return list;
}

TEST_F(StrandixProximityTest, CtrlCInTheMatrixSaysWhatWasFinishedAndLeavesTheOutput) {
    const std::string list = (Root() / "list.txt").string();
    std::ofstream(list, std::ios::binary) << CopiedList(12);
    const std::string output = (Root() / "out.json").string();
    const std::string kept = "; nothing was written (" + output + " is as it was)";
    const struct {
        std::vector<std::string> shard;
        std::string rows, end;
    } cases[] = {
        {{}, "", kept + ".\r\n"},
        {{"--shard", "1/3"},
         "shard's ",
         kept + ", and shard 1/3 must be run again: a partial holds the whole of its shard.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.end);
        std::ofstream(output, std::ios::binary) << "an older output";
        const Outcome outcome = InterruptAt(
            Joined(Joined({"proximity", "--threads", "2", "--alphabet", "hebrew", "-o", output},
                          c.shard),
                   {kKoren, "--list", list}),
            "c matrix");
        EXPECT_EQ(outcome.status, 130);
        EXPECT_THAT(outcome.err,
                    testing::ContainsRegex(
                        "strandix: Stopped while computing the c matrix: [0-9]+ of its [0-9]+ "
                        "steps were done \\(the families of [0-9]+ of the [0-9]+ words, then "
                        "[0-9]+ of the [0-9]+ pairs\\), which finish the rows of [0-9]+ of the " +
                        c.rows + "[0-9]+ persons;"));
        EXPECT_THAT(outcome.err, HasSubstr("persons" + c.end));
        EXPECT_EQ(ReadWholeFile(output), "an older output");
        EXPECT_THAT(outcome.out, IsEmpty());
    }
}

TEST_F(StrandixProximityTest, AnOutputThatIsAnInputIsRefusedBeforeTheWork) {
    const std::string document = (Root() / "genesis.txt").string();
    const std::string list = (Root() / "list.txt").string();
    fs::copy_file(kKoren, document);
    fs::copy_file(kDemoList, list);
    const std::string link = (Root() / "link.txt").string();
    fs::create_symlink(list, link);
    const struct {
        std::vector<std::string> outputs;
        std::string message;
    } cases[] = {
        {{"-o", document},
         document + ": this output is the same file as the document (" + document + ")"},
        {{"--report", list}, list + ": this output is the same file as the list (" + list + ")"},
        {{"-o", link}, link + ": this output is the same file as the list (" + list + ")"},
        {{"-o", (Root() / "same").string(), "--report", (Root() / "same").string()},
         (Root() / "same").string() + ": -o and --report name the same file."},
        // A new file under two spellings: one folder, one name.
        {{"-o", (Root() / "." / "same").string(), "--report", (Root() / "same").string()},
         (Root() / "same").string() + ": -o and --report name the same file."},
        {{"--report", (Root() / "same").string(), "-o", (Root() / "tmp" / ".." / "same").string()},
         (Root() / "same").string() + ": -o and --report name the same file."},
    };
    fs::create_directory(Root() / "tmp");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome outcome =
            Run(Joined(Joined({"proximity", "-q", "--alphabet", "hebrew"}, c.outputs),
                       {document, "--list", list}));
        EXPECT_EQ(outcome.status, 2);
        EXPECT_THAT(outcome.err, HasSubstr("strandix: " + c.message));
        EXPECT_THAT(outcome.out, IsEmpty());
        EXPECT_EQ(ReadWholeFile(document), ReadWholeFile(kKoren));
        EXPECT_EQ(ReadWholeFile(list), ReadWholeFile(kDemoList));
        EXPECT_FALSE(fs::exists(Root() / "same"));
    }
}

TEST_F(StrandixProximityTest, OutputsTakeHebrewNames) {
    const std::string output = (Root() / "תוצאה.json").string();
    const std::string report = (Root() / "דוח.html").string();
    const Outcome written = Run({"proximity", "-q", "--json", "--alphabet", "hebrew", "-o", output,
                                 "--report", report, kKoren, "צדקיהו", "מתניה"});
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_THAT(written.out, IsEmpty());
    const Outcome shown =
        Run({"proximity", "-q", "--json", "--alphabet", "hebrew", kKoren, "צדקיהו", "מתניה"});
    EXPECT_EQ(ReadWholeFile(output), shown.out);
    EXPECT_THAT(ReadWholeFile(report), HasSubstr("<html"));
}

TEST_F(StrandixProximityTest, ReportShowsTheCloseGridsRightToLeft) {
    const std::string page = (Root() / "report.html").string();
    const Outcome outcome = Run({"proximity", "-q", "--alphabet", "hebrew", "--permutations", "99",
                                 "--report", page, kKoren, "--list", kDemoList});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string html = ReadWholeFile(page);
    EXPECT_THAT(html, HasSubstr("<table class=\"grid\" dir=\"rtl\">"));
    EXPECT_THAT(html, HasSubstr("<td class=\"w1\">"));
    EXPECT_THAT(html, HasSubstr("<td class=\"w2\">"));
    EXPECT_THAT(html, HasSubstr("P2 of 99 permutations (log scale)"));
}

TEST_F(StrandixProximityTest, OptionsAreRefusedWithWhatIsExpected) {
    const std::string missing = (Root() / "people.txt").string();
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--expected-els", "0x10", kKoren, "a", "b"},
         "strandix: --expected-els: Please enter a number greater than 0, such as 10, 2.5 or "
         "1e3.\n"},
        {{"--expected-els", "-1", kKoren, "a", "b"}, "greater than 0, such as 10, 2.5 or 1e3."},
        {{"--expected-els", "1e400", kKoren, "a", "b"}, "greater than 0, such as 10, 2.5 or 1e3."},
        {{"--expected-els", "0e5", kKoren, "a", "b"}, "greater than 0, such as 10, 2.5 or 1e3."},
        {{"--list", kDemoList},
         "strandix: Please name the document to search for the list's words."},
        {{"--list", missing, kKoren},
         "strandix: " + missing + ": The list could not be opened.  No such file or directory.\n"},
        {{"--list", "-", "-"},
         "strandix: The document and the list cannot both be read from standard input (-)."},
        {{"-o", "a.txt", "-o", "b.txt", kKoren, "a", "b"},
         "strandix: -o: given twice, so it is not clear which file to write; please give it "
         "once.\n"},
        {{"--report", "a.html", "--report", "a.html", kKoren, "a", "b"},
         "strandix: --report: given twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const Outcome outcome = Run(Joined({"proximity", "--alphabet", "hebrew"}, c.arguments));
        EXPECT_EQ(outcome.status, 2);
        EXPECT_THAT(outcome.err, HasSubstr(c.message));
        EXPECT_THAT(outcome.out, IsEmpty());
    }
    // Exponent notation is the number it writes; the list may come from standard input.
    const std::vector<std::string> pair = {"proximity", "--json", "--alphabet", "hebrew",
                                           kKoren,      "צדקיהו", "מתניה"};
    const Outcome plain = Run(pair);
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(Run(Joined(pair, {"--expected-els", "1e1"})).out, plain.out);
    EXPECT_EQ(Run(Joined(pair, {"--expected-els", "100E-1"})).out, plain.out);
    const std::vector<std::string> list = {"proximity",      "-q", "--alphabet", "hebrew",
                                           "--permutations", "9",  kKoren,       "--list"};
    Streams fromInput;
    fromInput.input = kDemoList;
    const Outcome piped = Run(Joined(list, {"-"}), fromInput);
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, Run(Joined(list, {kDemoList})).out);
}

TEST_F(StrandixProximityTest, AFailedReportStillWritesTheOutput) {
    // The page goes first to the temporary folder, where it is kept when the copy fails.
    const fs::path temporary = Root() / "tmp";
    fs::create_directory(temporary);
    SetToolEnvironment("TMPDIR", temporary.string());
    const std::string output = (Root() / "good.txt").string();
    const std::vector<std::string> run = {"proximity", "-q",   "--alphabet", "hebrew", "--report",
                                          "/dev/full", kKoren, "צדקיהו",     "מתניה"};
    const Outcome written = Run(Joined(run, {"-o", output}));
    EXPECT_EQ(written.status, 2);
    ASSERT_EQ(std::distance(fs::directory_iterator(temporary), fs::directory_iterator()), 1);
    const fs::path kept = fs::directory_iterator(temporary)->path();
    EXPECT_EQ(written.err,
              "strandix: /dev/full: the output could not be written.  No space left "
              "on device.  It is kept in " +
                  kept.string() + ".  The outcome was written to " + output + ".\n");
    EXPECT_THAT(ReadWholeFile(kept), HasSubstr("<html"));
    const Outcome plain =
        Run({"proximity", "-q", "--alphabet", "hebrew", kKoren, "צדקיהו", "מתניה"});
    EXPECT_EQ(ReadWholeFile(output), plain.out);
    // Without -o the outcome goes to standard output all the same.
    const Outcome toOutput = Run(run);
    EXPECT_EQ(toOutput.status, 2);
    EXPECT_EQ(toOutput.out, plain.out);
    EXPECT_THAT(toOutput.err, testing::EndsWith("  The outcome went to standard output.\n"));
}

// The progress line shows whenever standard error is a terminal, also when the outcome goes to
// the same terminal: it is cleared before the outcome is written.
TEST_F(StrandixProximityTest, ProgressShowsOnATerminalSharedWithTheOutcome) {
    CPseudoTerminal terminal;
    ASSERT_TRUE(terminal.IsOpen());
    Streams streams;
    streams.terminal = terminal.FarEnd();
    streams.outputOnTerminal = true;
    const Outcome outcome =
        Wait(Start({"proximity", "--alphabet", "hebrew", kKoren, "צדקיהו", "מתניה"}, streams));
    EXPECT_EQ(outcome.status, 0);
    const std::string& shown = terminal.ReadToEnd();
    const std::size_t progress = shown.find("\rc matrix: 100%");
    const std::size_t line = shown.find("צדקיהו\tמתניה\t");
    EXPECT_NE(progress, std::string::npos) << shown;
    EXPECT_NE(line, std::string::npos) << shown;
    EXPECT_LT(progress, line);
}

// What a researcher quotes: the title names the file, the page and the text give the SHA-256 or
// c as v/m with four digits, and Hebrew words end in their final forms in every display while
// the JSON keeps the letters the measure reads.
TEST_F(StrandixProximityTest, ReportsNameTheDocumentAndShowFinalForms) {
    const std::string page = (Root() / "report.html").string();
    const std::vector<std::string> run = {"--alphabet", "hebrew", "--permutations", "99",
                                          kKoren,       "--list", kDemoList};
    const Outcome text = Run(Joined({"proximity", "-q", "--report", page}, run));
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_THAT(text.out, testing::StartsWith("person\tword1\tword2\tD1\tD2\tm\tv\tc\n"));
    EXPECT_THAT(text.out, HasSubstr("\nabraham\tאברהם\tהמכפלה\t32\t3903\t125\t106\t106/125 = "
                                    "0.848\n"));
    EXPECT_THAT(text.out, testing::ContainsRegex("\nP1 = 0\\.[0-9]{4}\n"));
    const std::string html = ReadWholeFile(page);
    EXPECT_THAT(html, HasSubstr("<h1>Word-pair proximity: genesis-koren.txt</h1>"));
    EXPECT_THAT(html,
                HasSubstr("<tr><th>SHA-256</th><td>"
                          "a04e9029a3a1eafd99af23648e81a6c3f7daff1c9138abdabcda6db647e8ad48"));
    EXPECT_THAT(html, HasSubstr("<td>אברהם</td>"));
    EXPECT_THAT(html, HasSubstr("106/125 = 0.848"));
    EXPECT_THAT(html, testing::Not(HasSubstr("אברהמ<")));
    // A grid's letter at the end of one of the document's words is a final form.
    EXPECT_THAT(html, HasSubstr("<td>ם</td>"));

    const Outcome json = Run(Joined({"proximity", "-q", "--json"}, run));
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json read = nlohmann::json::parse(json.out);
    EXPECT_EQ(read["pairs"][0]["word1"], "אברהמ");
    EXPECT_EQ(read["documentSha256"],
              "a04e9029a3a1eafd99af23648e81a6c3f7daff1c9138abdabcda6db647e8ad48");
    EXPECT_FALSE(read["version"].get<std::string>().empty());
    EXPECT_EQ(read["permutations"]["rankP1"].get<std::int64_t>() > 0, true);
}

}  // namespace
