// The strandix tool end to end: started as a process with its own temporary folder, standard
// input not a terminal, its exit status, output and page checked.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::StartsWith;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

struct Outcome {
    int status = -1;  // exit status; 1000 + n when ended by signal n
    std::string out, err;
};

class StrandixTest : public testing::Test {
  protected:
    StrandixTest() {
        static int serial = 0;
        root_ = fs::temp_directory_path() / ("strandix-cli-test-" + std::to_string(::getpid()) +
                                             "-" + std::to_string(serial++));
        fs::create_directories(root_ / "tmp");
    }
    ~StrandixTest() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path Temp() const { return root_ / "tmp"; }
    fs::path Page() const { return Temp() / "els000000.htm"; }

    fs::path Document(const std::string& name, const std::string& bytes) {
        const fs::path path = root_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Starts the tool with TMPDIR set to this test's folder; output goes to files.
    pid_t Start(const std::vector<std::string>& arguments) {
        std::vector<std::string> words = {STRANDIX_TOOL};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);

        std::vector<std::string> variables = {"TMPDIR=" + Temp().string()};
        for (char** entry = environ; *entry; ++entry) {
            if (std::string(*entry).rfind("TMPDIR=", 0) != 0) variables.push_back(*entry);
        }
        std::vector<char*> envp;
        for (std::string& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);

        const std::string out = (root_ / "stdout").string(), err = (root_ / "stderr").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t child = -1;
        const int failed =
            posix_spawn(&child, words[0].c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(failed, 0) << words[0];
        return child;
    }

    Outcome Wait(pid_t child) {
        Outcome outcome;
        int status = 0;
        if (waitpid(child, &status, 0) == child) {
            outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
        }
        outcome.out = ReadAll(root_ / "stdout");
        outcome.err = ReadAll(root_ / "stderr");
        return outcome;
    }

    Outcome Run(const std::vector<std::string>& arguments) { return Wait(Start(arguments)); }

    std::vector<std::string> PagesLeft() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(Temp()))
            names.push_back(entry.path().filename().string());
        return names;
    }

  private:
    fs::path root_;
};

const char kPageStart[] = "<html>\r\n<head>\r\n   <title>Equidistant Letter Sequences</title>";
const char kPageEnd[] = "</body>\r\n</html>\r\n";
const char kSample[] = "In the beginning God created the heaven and the earth.";

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(StrandixTest, OptionsAreCheckedLikeTheDialogsFields) {
    const std::string document = Document("d.txt", kSample).string();
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* message;  // on standard error
    } cases[] = {
        {{"--max-skip", "0", document, "god"},
         2,
         "strandix: --max-skip: Please enter an integer between 1 and 50000.\n"},
        {{"--max-skip", "50001", document, "god"}, 2, "between 1 and 50000."},
        {{"--span", "-1", document, "god"},
         2,
         "--span: Please enter an integer between 0 and 500000."},
        {{"--span=500001", document, "god"}, 2, "between 0 and 500000."},
        {{"--min-width", "10001", document, "god"},
         2,
         "--min-width: Please enter an integer between 1 and 10000."},
        {{"--max-width", "501", document, "god"},
         2,
         "--max-width: Please enter an integer between 1 and 500."},
        {{"--max-width", "0", document, "god"}, 2, "between 1 and 500."},
        {{"--span", "12x", document, "god"}, 2, "strandix: --span: Please enter an integer.\n"},
        {{"--span", "", document, "god"}, 2, "--span: Please enter an integer."},
        {{"--span", "+0", document, "god"}, 2, "--span: Please enter an integer."},
        {{"--span", "1 000", document, "god"}, 2, "--span: Please enter an integer."},
        {{document, "god", "--span"}, 2, "--span: a value must follow."},
        {{"--frobnicate", document, "god"}, 2, "Unknown option --frobnicate."},
        {{"--json", "-o", "x.htm", document, "god"}, 2, "cannot be combined"},
        {{}, 2, "Please name a document"},
        {{document, ",;", " "},
         2,
         "strandix: Please enter one or more keywords separated by spaces, commas, or "
         "semicolons.\n"},
        // Accepted at their bounds, blanks around a number, and a zero for the span.
        {{"-q", "--max-skip", "50000", "--span", " 0 ", "--min-width", "10000", "--max-width",
          "500", document, "god"},
         1,
         ""},
        {{"-q", "--max-skip", "1", "--span", "500000", "--min-width", "1", "--max-width", "1",
          document, "god"},
         0,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const Outcome outcome = Run(c.arguments);
        EXPECT_EQ(outcome.status, c.status);
        if (*c.message) {
            EXPECT_THAT(outcome.err, HasSubstr(c.message));
            EXPECT_THAT(outcome.out, IsEmpty());
        } else {
            EXPECT_THAT(outcome.err, IsEmpty());
        }
    }
}

TEST_F(StrandixTest, WidthsArePutInOrder) {
    const std::string document = Document("d.txt", kSample).string();
    const Outcome reversed =
        Run({"--json", "--min-width", "40", "--max-width", "3", document, "god"});
    const Outcome ordered =
        Run({"--json", "--min-width", "3", "--max-width", "40", document, "god"});
    EXPECT_EQ(reversed.status, 0);
    EXPECT_EQ(reversed.out, ordered.out);
    const std::regex columns("\"columns\": (\\d+)");
    int seen = 0;
    for (auto it = std::sregex_iterator(ordered.out.begin(), ordered.out.end(), columns);
         it != std::sregex_iterator(); ++it, ++seen) {
        const int width = std::stoi((*it)[1]);
        EXPECT_GE(width, 3);
        EXPECT_LE(width, 40);
    }
    EXPECT_GT(seen, 0);
}

TEST_F(StrandixTest, PageInTheTemporaryFolderAndGrepsExitStatus) {
    const std::string document = Document("d.txt", kSample).string();
    const struct {
        std::vector<std::string> keywords;
        int status;
        std::string count;
        const char* body;  // in the page
    } cases[] = {
        {{"god", "heaven"}, 0, "", "<span class=\"keyword"},
        {{"qqqq"}, 1, "No results found.", "No Results Found.\r\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {document};
        arguments.insert(arguments.end(), c.keywords.begin(), c.keywords.end());
        const Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_THAT(outcome.err, IsEmpty());
        const std::string page = ReadAll(Page());
        EXPECT_THAT(page, StartsWith(kPageStart));
        EXPECT_TRUE(EndsWith(page, kPageEnd));
        EXPECT_THAT(page, HasSubstr(c.body));
        // The count line as the dialog words it, then the page's path.
        const std::smatch found = [&] {
            std::smatch m;
            std::regex_match(outcome.out, m,
                             std::regex("(No results found\\.|1 result found\\.|"
                                        "(\\d+) results found\\.)\n(.*)\n"));
            return m;
        }();
        ASSERT_FALSE(found.empty()) << outcome.out;
        EXPECT_EQ(found[3], Page().string());
        if (!c.count.empty()) {
            EXPECT_EQ(found[1], c.count);
        }
        // The page holds as many finds as the count says.
        const std::size_t finds = [&] {
            std::size_t n = 0;
            for (std::size_t at = 0;
                 (at = page.find("<span class=\"text\">", at)) != std::string::npos; ++at)
                ++n;
            return n;
        }();
        EXPECT_EQ(finds, found[2].matched ? std::stoul(found[2]) : (c.status == 0 ? 1u : 0u));
        fs::remove(Page());
    }
}

TEST_F(StrandixTest, JsonDocumentStreamsEveryResult) {
    const std::string document = Document("say \"abc\".txt", "ABCabc").string();
    const Outcome outcome = Run({"--json", document, "ac"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out,
              "{\"document\": \"" + std::regex_replace(document, std::regex("\""), "\\\"") +
                  "\", \"letters\": 6, \"keywords\": [\"AC\"], \"results\": [\n"
                  "{\"first\": 0, \"last\": 5, \"columns\": 100, \"positions\": [[0, 2]]},\n"
                  "{\"first\": 0, \"last\": 5, \"columns\": 100, \"positions\": [[0, 5]]},\n"
                  "{\"first\": 2, \"last\": 5, \"columns\": 100, \"positions\": [[2, 3]]},\n"
                  "{\"first\": 3, \"last\": 5, \"columns\": 100, \"positions\": [[3, 5]]}\n"
                  "], \"count\": 4, \"canceled\": false}\n");
    EXPECT_THAT(PagesLeft(), IsEmpty()) << "no page in JSON mode";

    // Keywords in search order, longest first; nothing found.
    const Outcome none = Run({"--json", "--no-reverse", document, "x,yz;", "wvu", "t"});
    EXPECT_EQ(none.status, 1);
    EXPECT_THAT(none.out, HasSubstr("\"keywords\": [\"WVU\", \"YZ\", \"X\", \"T\"], \"results\": "
                                    "[\n], \"count\": 0, \"canceled\": false}\n"));
}

TEST_F(StrandixTest, OutputFileReplacesAndTheTemporaryPageGoes) {
    const std::string document = Document("d.txt", kSample).string();
    const fs::path output = Document("out.htm", "an older, longer page to be replaced entirely");
    const Outcome outcome = Run({"-q", "-o", output.string(), document, "god"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_THAT(outcome.out, testing::EndsWith("\n" + output.string() + "\n"));
    const std::string page = ReadAll(output);
    EXPECT_THAT(page, StartsWith(kPageStart));
    EXPECT_TRUE(EndsWith(page, kPageEnd));
    EXPECT_THAT(PagesLeft(), IsEmpty());

    const Outcome unwritable =
        Run({"-o", (fs::path(document) / "no.htm").string(), document, "god"});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_THAT(unwritable.err, HasSubstr("could not be copied"));
    EXPECT_THAT(PagesLeft(), testing::ElementsAre("els000000.htm")) << "kept when the copy fails";
}

TEST_F(StrandixTest, DocumentsThatAreMissingEmptyOrBinary) {
    std::string binary;
    for (int round = 0; round < 3; ++round)
        for (int byte = 0; byte < 256; ++byte)
            binary.push_back(static_cast<char>(byte));
    const std::string empty = Document("empty.txt", "").string();
    const std::string bytes = Document("bytes.bin", binary).string();
    const std::string missing = (Temp() / "missing.txt").string();

    const Outcome notThere = Run({missing, "god"});
    EXPECT_EQ(notThere.status, 2);
    EXPECT_EQ(notThere.err, "strandix: " + missing + ": The document could not be opened.\n");
    EXPECT_THAT(PagesLeft(), IsEmpty());

    const Outcome folder = Run({Temp().string(), "god"});
    EXPECT_EQ(folder.status, 2);
    EXPECT_THAT(folder.err, HasSubstr("The document could not be opened."));

    const Outcome nothing = Run({empty, "god"});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_EQ(nothing.out, "No results found.\n" + Page().string() + "\n");
    EXPECT_THAT(ReadAll(Page()), HasSubstr("No Results Found.\r\n"));

    // Every byte value thrice: the letters become 10 digits and 26 + 26 capitals a round.
    const Outcome json = Run({"--json", bytes, "za"});
    EXPECT_EQ(json.status, 0);
    EXPECT_THAT(json.out, HasSubstr("\"letters\": 186, \"keywords\": [\"ZA\"]"));
    const Outcome ignoring = Run({"--json", "--ignore-numbers", bytes, "za"});
    EXPECT_THAT(ignoring.out, HasSubstr("\"letters\": 156,"));
}

TEST_F(StrandixTest, PastFiveMegabytesOnlyWithYes) {
    // Every pair of neighbouring letters is a find, each drawn as a row of 100 letters.
    const std::string document = Document("a.txt", std::string(15000, 'a')).string();
    const std::vector<std::string> search = {"--max-skip", "1", "--span", "5", document, "aa"};

    std::vector<std::string> arguments = search;
    const Outcome stopped = Run(arguments);
    EXPECT_EQ(stopped.status, 2);
    EXPECT_THAT(stopped.err, HasSubstr("--yes"));
    const std::string cut = ReadAll(Page());
    EXPECT_GT(cut.size(), 5u * 1024 * 1024);
    EXPECT_EQ(cut.find("</html>"), std::string::npos) << "stopped pages have no footer";
    fs::remove(Page());

    arguments.insert(arguments.begin(), "--yes");
    const Outcome went = Run(arguments);
    EXPECT_EQ(went.status, 0);
    EXPECT_TRUE(EndsWith(ReadAll(Page()), kPageEnd));
    EXPECT_GT(ReadAll(Page()).size(), cut.size());

    arguments[0] = "--json";
    const Outcome json = Run(arguments);
    const std::smatch count = [&] {
        std::smatch m;
        std::regex_search(json.out, m, std::regex("\"count\": (\\d+)"));
        return m;
    }();
    ASSERT_FALSE(count.empty());
    EXPECT_EQ(went.out, count[1].str() + " results found.\n" + Page().string() + "\n");
}

TEST_F(StrandixTest, CtrlCFinishesThePageAsCanceled) {
    // Enough finds to keep a search busy long after the signal.
    const std::string document = Document("a.txt", std::string(300000, 'a')).string();
    const pid_t child = Start({"-q", "--yes", "--max-skip", "1", "--span", "5", document, "aa"});
    // Wait until finds are being written, then interrupt.
    for (int i = 0; i < 3000; ++i) {
        std::error_code error;
        const auto size = fs::file_size(Page(), error);
        if (!error && size > 100000) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(kill(child, SIGINT), 0);
    const Outcome outcome = Wait(child);
    EXPECT_EQ(outcome.status, 130);
    EXPECT_THAT(outcome.err, HasSubstr("The search was canceled."));
    const std::string page = ReadAll(Page());
    EXPECT_TRUE(EndsWith(page.substr(0, page.find("<hr>\r\n<font face")),
                         "<hr>\r\n<h3>The search was canceled.</h3>\r\n"));
    EXPECT_TRUE(EndsWith(page, kPageEnd));
    EXPECT_THAT(outcome.out, testing::EndsWith(" results found.\n" + Page().string() + "\n"));
}

TEST_F(StrandixTest, HelpAndVersion) {
    const Outcome help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, StartsWith("Usage: strandix [options] DOCUMENT KEYWORD..."));
    for (const char* option :
         {"--max-skip", "--span", "--min-width", "--max-width", "--no-reverse", "--exclude-direct",
          "--ignore-numbers", "-o", "--open", "--json", "--yes", "-q"}) {
        EXPECT_THAT(help.out, HasSubstr(option));
    }
    const Outcome version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("strandix \\d+\\.\\d+\\.\\d+\n")));
}

}  // namespace

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// The latin pages stay what the writer made before there were other alphabets: the fixtures
// folder holds a table of searches and the pages they gave.
TEST_F(StrandixTest, LatinPagesStayByteForByte) {
    const fs::path fixtures = STRANDIX_LATIN_PAGES;
    std::ifstream cases(fixtures / "cases.txt");
    int checked = 0;
    for (std::string line; std::getline(cases, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::string name = line.substr(0, line.find('|'));
        std::vector<std::string> arguments = {"-q", "-o", (Temp() / (name + ".htm")).string()};
        for (std::string word : Words(line.substr(line.find('|') + 1))) {
            if (word.rfind("SAMPLES/", 0) == 0) {
                word = std::string(STRANDIX_SAMPLES) + word.substr(7);
            } else if (word.find(".txt") != std::string::npos) {
                word = (fixtures / word).string();
            }
            arguments.push_back(word);
        }
        const Outcome outcome = Run(arguments);
        EXPECT_LE(outcome.status, 1) << name << outcome.err;
        EXPECT_EQ(ReadAll(Temp() / (name + ".htm")), ReadAll(fixtures / (name + ".htm"))) << name;
        ++checked;
    }
    EXPECT_EQ(checked, 7);
}

TEST_F(StrandixTest, HebrewAndGreekDocuments) {
    const std::string torah = std::string(STRANDIX_SAMPLES) + "/torah-wlc.txt";
    const std::string john = std::string(STRANDIX_SAMPLES) + "/john-byz.txt";
    // From the first tav of Genesis every 50th letter spells TORAH: Genesis 1:1 to 1:5.
    const Outcome torahJson = Run({"--json", "--places", "--alphabet", "hebrew", "--max-skip", "50",
                                   "--span", "150", "--no-reverse", torah, "תורה"});
    EXPECT_EQ(torahJson.status, 0) << torahJson.err;
    EXPECT_THAT(torahJson.out, HasSubstr("\"letters\": 304850, \"keywords\": [\"תורה\"]"));
    EXPECT_THAT(torahJson.out, HasSubstr("{\"first\": 5, \"last\": 204, \"columns\": 50, "
                                         "\"positions\": [[5, 55, 105, 155]], "
                                         "\"places\": [[[1, 6], [2, 35], [4, 3], [5, 9]]]}"));

    const Outcome page = Run({"-q", "--alphabet", "hebrew", "--max-skip", "50", "--span", "150",
                              "--no-reverse", torah, "תורה"});
    EXPECT_EQ(page.status, 0) << page.err;
    const std::string html = ReadAll(Page());
    EXPECT_THAT(html, StartsWith("<html>\r\n<head>\r\n   <meta charset=\"utf-8\">\r\n"));
    EXPECT_THAT(html, HasSubstr("<div dir=\"rtl\"><bdo dir=\"rtl\"><span class=\"text\">"
                                "<span class=\"keyword1\">ת</span>בראאלהימ"));

    // Latin places too: a UTF-8 document's columns count characters, not bytes.
    const std::string lines = Document("lines.txt", "ab\r\ncaf\xC3\xA9 c").string();
    const Outcome latin = Run(
        {"--json", "--places", "--max-skip", "5", "--span", "10", "--min-width", "1", lines, "bc"});
    EXPECT_THAT(latin.out, HasSubstr("\"positions\": [[1, 5]], \"places\": [[[1, 2], [2, 6]]]}"));

    // Final forms fold unless kept; polytonic Greek folds to capitals.
    const Outcome finals =
        Run({"--json", "--alphabet", "hebrew", "--keep-finals", "--max-skip", "1", torah, "ץ"});
    EXPECT_THAT(finals.out, HasSubstr("\"keywords\": [\"ץ\"]"));
    const Outcome greek = Run({"--json", "--places", "--alphabet", "greek", "--max-skip", "1",
                               "--span", "10", john, "λόγος"});
    EXPECT_EQ(greek.status, 0) << greek.err;
    EXPECT_THAT(greek.out, HasSubstr("\"letters\": 72382, \"keywords\": [\"ΛΟΓΟΣ\"]"));
    EXPECT_THAT(greek.out,
                HasSubstr("{\"first\": 9, \"last\": 108, \"columns\": 100, \"positions\": "
                          "[[9, 10, 11, 12, 13]], \"places\": [[[1, 14], [1, 15], [1, 16], "
                          "[1, 17], [1, 18]]]}"));
}

TEST_F(StrandixTest, AlphabetErrors) {
    const std::string bad = Document("bad.txt", "אב\xE9ג").string();
    const std::string good = Document("good.txt", "אבג").string();
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--alphabet", "hebrew", bad, "אב"},
         "strandix: " + bad +
             ": The document is not valid UTF-8: the bytes at offset 4 are no character.\n"},
        {{"--alphabet", "greek", good, "\xCE"},
         "strandix: The keywords are not valid UTF-8: the bytes at offset 0 are no character.\n"},
        {{"--alphabet", "hebrew", good, "abc"},
         "strandix: Please enter one or more keywords separated by spaces, commas, or "
         "semicolons.\n"},
        {{"--alphabet", "arabic", good, "abc"},
         "strandix: --alphabet: Please name latin, hebrew or greek.\n"
         "Try 'strandix --help' for more information.\n"},
        {{"--places", good, "abc"},
         "strandix: --places: Places are part of the JSON; use it with --json.\n"
         "Try 'strandix --help' for more information.\n"},
        {{"--keep-finals", good, "abc"},
         "strandix: --keep-finals: Final forms are Hebrew letters; use it with --alphabet "
         "hebrew.\nTry 'strandix --help' for more information.\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Run(c.arguments);
        EXPECT_EQ(outcome.status, 2) << c.message;
        EXPECT_EQ(outcome.err, c.message);
        EXPECT_THAT(outcome.out, IsEmpty());
    }
    EXPECT_THAT(PagesLeft(), IsEmpty());
}

}  // namespace
