#include "app/search_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

#include "app/html_result_output.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scripted_view.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

const char kCancelQuestionLine[] =
    "Message OkCancel: You are currently searching for hidden codes.  Proceeding will cancel "
    "the search.";

// What the stand-in writer does; its Begin, End and destruction go into the view's log so their
// order against the window's changes shows.
struct WriterScript {
    Strings* log = nullptr;
    std::string filePath = "results.htm";  // answered once Begin has "created" it
    bool beginFails = false;
    std::string beginError;
    bool throwOnAddResult = false;
};

class CScriptedWriter : public CResultWriter, private CResultSink {
  public:
    CScriptedWriter(CProgressReceiver& receiver, const WriterScript& script)
        : receiver_(receiver), script_(script) {}
    ~CScriptedWriter() override { script_.log->push_back("WriterDestroyed"); }

    CResultSink& Sink() override { return *this; }
    std::string GetFilePath() const override { return opened_ ? script_.filePath : ""; }

  private:
    bool Begin(std::string& errorText) override {
        script_.log->push_back("Begin");
        if (script_.beginFails) {
            errorText = script_.beginError;
            return false;
        }
        opened_ = true;
        return true;
    }
    bool AddResult(const char*, std::int32_t, std::int32_t, std::int32_t,
                   const ResultPositions&) override {
        if (script_.throwOnAddResult) throw std::bad_alloc();
        ++written_;
        return true;
    }
    bool End(bool canceled) override {
        script_.log->push_back(canceled ? "End canceled" : "End");
        return true;
    }
    bool Progress(std::int32_t position, std::int32_t total) override {
        return receiver_.ReportProgress(position, total, written_);
    }

    CProgressReceiver& receiver_;
    const WriterScript& script_;
    bool opened_ = false;
    std::int64_t written_ = 0;
};

// Points the system's temporary folder (TMPDIR; TMP on Windows) at a test's own folder while
// alive, so the real writer's pages never meet those of other tests or programs.
class CTempFolderOverride {
  public:
    explicit CTempFolderOverride(const std::string& folder) {
        if (const char* old = std::getenv(kVariable)) saved_ = old;
        Set(folder.c_str());
    }
    CTempFolderOverride(const CTempFolderOverride&) = delete;  // restores exactly once
    CTempFolderOverride& operator=(const CTempFolderOverride&) = delete;
    ~CTempFolderOverride() { Set(saved_ ? saved_->c_str() : nullptr); }

  private:
#ifdef _WIN32
    static constexpr const char* kVariable = "TMP";
    static void Set(const char* value) {
        SetEnvironmentVariableA(kVariable, value);
    }
#else
    static constexpr const char* kVariable = "TMPDIR";
    static void Set(const char* value) {
        if (value) {
            setenv(kVariable, value, 1);
        } else {
            unsetenv(kVariable);
        }
    }
#endif
    std::optional<std::string> saved_;
};

class SearchRunTest : public testing::Test {
  protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        folder_ = fs::temp_directory_path() /
                  ("strandix-run-test-" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   std::to_string(counter++) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        script.log = &view.log;
    }
    void TearDown() override {
        tempFolder_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::string WriteDocument(const std::string& name, const std::string& contents) {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << contents;
        return path.string();
    }
    std::string MissingDocument() const { return (folder_ / "missing.txt").string(); }
    std::string Folder() const { return folder_.string(); }

    // A run with the stand-in writer (or the real HTML writer), a clock that only moves when told,
    // and file deletion that notes itself in the log.
    void Make(bool htmlWriter = false) {
        SearchRunOptions options;
        if (htmlWriter) {
            tempFolder_.emplace(folder_.string());
            options.makeWriter = HtmlResultWriterFactory();
        } else {
            options.makeWriter = [this](CProgressReceiver& receiver, const CAlphabet&) {
                return std::make_unique<CScriptedWriter>(receiver, script);
            };
        }
        options.deleteFile = [this](const std::string& path) {
            view.log.push_back("DeleteFile " + path);
            return DeleteFileAt(path);
        };
        if (readDocument) options.readDocument = readDocument;
        options.clock = clock;
        run = std::make_unique<CSearchRun>(view, store, options);
    }

    // Lines of the view's log from `from` on.
    Strings LogFrom(std::size_t from) const {
        return Strings(view.log.begin() + static_cast<std::ptrdiff_t>(from), view.log.end());
    }

    static bool Contains(const Strings& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    CScriptedView view;
    CMemorySettingsStore store;
    WriterScript script;
    CManualClock stillClock;         // the only progress report is the final one
    CSteppingClock movingClock{21};  // a progress report at every step of the search
    CTickClock* clock = &stillClock;
    std::function<DocumentReadStatus(const std::string&, std::string&)> readDocument;
    std::unique_ptr<CSearchRun> run;

  private:
    fs::path folder_;
    std::optional<CTempFolderOverride> tempFolder_;
};

// A document whose search gives one result ("ABXXCD" with AB and CD) and one that gives many.
const char kOneResultText[] = "ab, xx; cd";
const char kOneResultKeywords[] = "ab cd";
std::string ManyResultsText() {
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "abc ";
    return text;
}

TEST_F(SearchRunTest, SearchWithResultsGoesThroughTheBusyStateAndKeepsThePath) {
    Make();
    const std::string path = WriteDocument("one.txt", kOneResultText);
    view.documentText = "  " + path + "\t";
    view.keywordText = kOneResultKeywords;
    view.pumpActions.push_back([this] {
        EXPECT_TRUE(run->IsSearching());
        EXPECT_EQ(view.findCaption, "Cancel &Find");
    });
    run->OnFind();

    const Strings expected = {"ShowRecentDocuments [" + path + "]",
                              "EnableSaveResults 0",
                              "EnableViewResults 0",
                              "SetFindCaption Cancel &Find",
                              "SetStatusText No results found.",
                              "Begin",
                              "PumpMessages",
                              "SetProgressRange 6",
                              "SetProgressPosition 6",
                              "SetStatusText 1 result found.",
                              "End",
                              "EnableSaveResults 1",
                              "EnableViewResults 1",
                              "SetFindCaption &Find!",
                              "WriterDestroyed"};
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(run->GetTemporaryResultsPath(), "results.htm");
    EXPECT_EQ(run->GetResultsPath(), "results.htm");
    EXPECT_EQ(run->GetShownResultCount(), 1);
    EXPECT_FALSE(run->IsSearching());
    EXPECT_FALSE(run->IsCancelRequested());

    // The path first (all fifteen values), then the seven settings.
    ASSERT_EQ(store.writes.size(), 22u);
    EXPECT_EQ(store.writes[0], "Document1=" + path);
    EXPECT_EQ(store.writes[15], "IgnoreNumbers=0");
    EXPECT_EQ(store.writes[21], "MaxDistanceBetweenLetters=500");
}

TEST_F(SearchRunTest, SearchWithoutResultsLeavesTheButtonsOffButKeepsTheFile) {
    Make();
    view.documentText = WriteDocument("none.txt", "no such letters here");
    view.keywordText = "qqq";
    view.statusText = "3 results found.";  // from an earlier search
    run->OnFind();
    EXPECT_EQ(view.statusText, "No results found.");
    EXPECT_FALSE(view.saveEnabled);
    EXPECT_FALSE(view.viewEnabled);
    EXPECT_EQ(run->GetTemporaryResultsPath(), "results.htm");
    EXPECT_EQ(run->GetResultsPath(), "");
    EXPECT_EQ(view.findCaption, "&Find!");
}

TEST_F(SearchRunTest, EachFailedCheckStopsWithItsMessageAndKeepsThePreviousResults) {
    const std::string notOpened = "Message Ok: The document could not be opened.";
    const struct {
        const char* what;
        std::string document;  // "" = an existing document
        std::string keywords;
        std::string columnWidthTo;
        std::optional<DocumentReadStatus> readStatus;  // injected instead of reading
        Strings expected;                              // "P" stands for the path
        bool pathStored;
        bool settingsStored;
    } cases[] = {
        {"blank path",
         " \t ",
         "ab",
         "100",
         {},
         {"FocusDocument", "Message Ok: Please specify a document path."},
         false,
         false},
        {"no keyword, only separators",
         "",
         " ,;, ",
         "100",
         {},
         {"ShowRecentDocuments [P]", "FocusKeywords",
          "Message Ok: Please enter one or more keywords separated by spaces, commas, or "
          "semicolons."},
         true,
         false},
        {"field out of bounds",
         "",
         "ab",
         "900",
         {},
         {"ShowRecentDocuments [P]", "Message Ok: Please enter an integer between 1 and 500.",
          "FocusAndSelectAll 1011"},
         true,
         false},
        {"field not a number",
         "",
         "ab",
         "1,00",
         {},
         {"ShowRecentDocuments [P]", "Message Ok: Please enter an integer.",
          "FocusAndSelectAll 1011"},
         true,
         false},
        {"document missing",
         "missing",
         "ab",
         "100",
         {},
         {"ShowRecentDocuments [P]", notOpened},
         true,
         true},
        {"document is a folder",
         "folder",
         "ab",
         "100",
         {},
         {"ShowRecentDocuments [P]", notOpened},
         true,
         true},
        {"size unknown",
         "",
         "ab",
         "100",
         DocumentReadStatus::UnknownSize,
         {"ShowRecentDocuments [P]",
          "Message Ok: The document could not be opened.  Strandix! was not able to determine "
          "the length of the document."},
         true,
         true},
        {"read failed",
         "",
         "ab",
         "100",
         DocumentReadStatus::ReadFailed,
         {"ShowRecentDocuments [P]", "Message Ok: The document could not be loaded."},
         true,
         true},
        {"too large",
         "",
         "ab",
         "100",
         DocumentReadStatus::TooLarge,
         {"ShowRecentDocuments [P]", std::string("Message Ok: ") + kDocumentTooLargeMessage},
         true,
         true},
        {"no memory for the document",
         "",
         "ab",
         "100",
         DocumentReadStatus::OutOfMemory,
         {"ShowRecentDocuments [P]", "OutOfMemory"},
         true,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        view = CScriptedView();
        store = CMemorySettingsStore();
        script.log = &view.log;
        readDocument = nullptr;
        if (c.readStatus) {
            const DocumentReadStatus status = *c.readStatus;
            readDocument = [status](const std::string&, std::string& contents) {
                contents.clear();
                return status;
            };
        }
        Make();
        run->SetTemporaryResultsPath("previous.htm");
        run->SetResultsPath("previous.htm");

        std::string path = c.document;
        if (path.empty())
            path = WriteDocument("doc.txt", "abab");
        else if (path == "missing")
            path = MissingDocument();
        else if (path == "folder")
            path = Folder();
        view.documentText = path;
        view.keywordText = c.keywords;
        view.numberTexts[NumberField::ColumnWidthTo] = c.columnWidthTo;

        run->OnFind();

        Strings expected = c.expected;
        for (std::string& line : expected) {
            if (line == "ShowRecentDocuments [P]") line = "ShowRecentDocuments [" + path + "]";
        }
        EXPECT_EQ(view.log, expected);
        EXPECT_EQ(store.Documents()[0], c.pathStored ? path : "");
        EXPECT_EQ(store.values.count("MaxColumnWidth"), c.settingsStored ? 1u : 0u);
        // Nothing of the previous results was touched: no deletion, no button change.
        EXPECT_EQ(run->GetTemporaryResultsPath(), "previous.htm");
        EXPECT_EQ(run->GetResultsPath(), "previous.htm");
        EXPECT_FALSE(run->IsSearching());
        EXPECT_EQ(view.findCaption, "&Find!");
    }
}

TEST_F(SearchRunTest, ColumnWidthsAreOrderedForTheSearchAndTheStoreOnly) {
    Make();
    view.documentText = WriteDocument("doc.txt", kOneResultText);
    view.keywordText = kOneResultKeywords;
    view.numberTexts[NumberField::ColumnWidthFrom] = "80";
    view.numberTexts[NumberField::ColumnWidthTo] = "20";
    run->OnFind();
    EXPECT_EQ(run->GetSearchSettings().MinColumnWidth, 20);
    EXPECT_EQ(run->GetSearchSettings().MaxColumnWidth, 80);
    EXPECT_EQ(std::get<std::int32_t>(store.values["MinColumnWidth"]), 20);
    EXPECT_EQ(std::get<std::int32_t>(store.values["MaxColumnWidth"]), 80);
    EXPECT_EQ(run->Fields().ColumnWidthFrom, 80);
    EXPECT_EQ(run->Fields().ColumnWidthTo, 20);
    EXPECT_EQ(view.numberTexts[NumberField::ColumnWidthFrom], "80");
    EXPECT_EQ(view.numberTexts[NumberField::ColumnWidthTo], "20");
}

TEST_F(SearchRunTest, TheDocumentIsNormalisedWithTheIgnoreNumbersBox) {
    const struct {
        int ignoreNumbers;
        std::string expectedRange;
    } cases[] = {{0, "SetProgressRange 8"}, {1, "SetProgressRange 4"}};
    for (const auto& c : cases) {
        view = CScriptedView();
        script.log = &view.log;
        Make();
        view.documentText = WriteDocument("digits.txt", "a1b2 c3d4\r\n");
        view.keywordText = "ab";
        view.checks[CheckField::IgnoreNumbers] = c.ignoreNumbers;
        run->OnFind();
        EXPECT_TRUE(Contains(view.log, c.expectedRange)) << c.ignoreNumbers;
        EXPECT_EQ(std::get<std::int32_t>(store.values["IgnoreNumbers"]), c.ignoreNumbers);
    }
}

TEST_F(SearchRunTest, AnEmptyDocumentIsSearchedWithoutComplaint) {
    Make();
    view.documentText = WriteDocument("empty.txt", "");
    view.keywordText = "ab";
    run->OnFind();
    const Strings log = view.LogWithoutProgress();
    EXPECT_TRUE(Contains(log, "Begin"));
    EXPECT_TRUE(Contains(log, "End"));
    EXPECT_TRUE(Contains(view.log, "SetProgressRange 0"));
    EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](const std::string& line) {
        return line.rfind("Message", 0) == 0;
    }));
    EXPECT_EQ(view.statusText, "No results found.");
}

TEST_F(SearchRunTest, AFailedSearchShowsItsTextWhileStillBusyThenReturnsToIdle) {
    const struct {
        std::string errorText;
        Strings expected;
    } cases[] = {
        {"The results file could not be created.",
         {"SetFindCaption Cancel &Find", "SetStatusText No results found.", "Begin",
          "Message Ok: The results file could not be created.", "EnableSaveResults 0",
          "EnableViewResults 0", "SetFindCaption &Find!", "WriterDestroyed"}},
        // The user was told already (Cancel in a retry prompt): nothing more is shown.
        {"",
         {"SetFindCaption Cancel &Find", "SetStatusText No results found.", "Begin",
          "EnableSaveResults 0", "EnableViewResults 0", "SetFindCaption &Find!",
          "WriterDestroyed"}},
    };
    for (const auto& c : cases) {
        view = CScriptedView();
        script.log = &view.log;
        script.beginFails = true;
        script.beginError = c.errorText;
        Make();
        view.documentText = WriteDocument("doc.txt", kOneResultText);
        view.keywordText = kOneResultKeywords;
        run->OnFind();
        const Strings log = view.LogWithoutProgress();
        EXPECT_EQ(Strings(log.begin() + 3, log.end()), c.expected) << c.errorText;
        EXPECT_EQ(run->GetTemporaryResultsPath(), "");
        EXPECT_FALSE(run->IsSearching());
    }
}

TEST_F(SearchRunTest, RunningOutOfMemoryInTheSearchStillReturnsToIdle) {
    script.throwOnAddResult = true;
    Make();
    view.documentText = WriteDocument("doc.txt", kOneResultText);
    view.keywordText = kOneResultKeywords;
    run->OnFind();
    const Strings log = view.LogWithoutProgress();
    const Strings expected = {"SetFindCaption Cancel &Find",
                              "SetStatusText No results found.",
                              "Begin",
                              "OutOfMemory",
                              "EnableSaveResults 0",
                              "EnableViewResults 0",
                              "SetFindCaption &Find!",
                              "WriterDestroyed"};
    EXPECT_EQ(Strings(log.begin() + 3, log.end()), expected);
    // The unfinished file is still the run's to delete.
    EXPECT_EQ(run->GetTemporaryResultsPath(), "results.htm");
    EXPECT_EQ(run->GetResultsPath(), "");
    EXPECT_FALSE(run->IsSearching());
}

TEST_F(SearchRunTest, ReportProgressMovesTheBarAndRewritesTheCountOnlyWhenItChanges) {
    Make();
    EXPECT_TRUE(run->ReportProgress(1, 10, 0));
    EXPECT_TRUE(run->ReportProgress(2, 10, 1));
    EXPECT_TRUE(run->ReportProgress(3, 10, 1));
    EXPECT_TRUE(run->ReportProgress(4, 12, 3));
    const Strings expected = {"PumpMessages",
                              "SetProgressRange 10",
                              "SetProgressPosition 1",
                              "PumpMessages",
                              "SetProgressRange 10",
                              "SetProgressPosition 2",
                              "SetStatusText 1 result found.",
                              "PumpMessages",
                              "SetProgressRange 10",
                              "SetProgressPosition 3",
                              "PumpMessages",
                              "SetProgressRange 12",
                              "SetProgressPosition 4",
                              "SetStatusText 3 results found."};
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(run->GetShownResultCount(), 3);

    // A close request that arrives while messages are dispatched is answered at once.
    view.pumpActions.push_back([this] { EXPECT_EQ(run->OnCloseRequest(7, 8), 0); });
    EXPECT_FALSE(run->ReportProgress(5, 12, 3));
}

TEST_F(SearchRunTest, TheWriterQuestionsBecomeMessageBoxes) {
    Make();
    view.answers = {{MessageAnswer::Retry, {}},
                    {MessageAnswer::Cancel, {}},
                    {MessageAnswer::Yes, {}},
                    {MessageAnswer::No, {}}};
    EXPECT_TRUE(run->AskRetry("Write failed."));
    EXPECT_FALSE(run->AskRetry("Write failed again."));
    EXPECT_TRUE(run->AskYesNo("Big file?"));
    EXPECT_FALSE(run->AskYesNo("Bigger file?"));
    const Strings expected = {
        "Message RetryCancel: Encountered an error when saving the "
        "results:\nWrite failed.\nDo you want to retry or cancel?",
        "Message RetryCancel: Encountered an error when saving the "
        "results:\nWrite failed again.\nDo you want to retry or cancel?",
        "Message YesNo: Big file?", "Message YesNo: Bigger file?"};
    EXPECT_EQ(view.log, expected);
}

// Find or Close pressed during a search asks; the answer decides whether the search goes on.
TEST_F(SearchRunTest, TheCancelQuestionDuringASearch) {
    const struct {
        const char* what;
        bool pressClose;
        MessageAnswer answer;
        bool stopped;
    } cases[] = {
        {"Find, OK", false, MessageAnswer::Ok, true},
        {"Find, Cancel", false, MessageAnswer::Cancel, false},
        {"Close, OK", true, MessageAnswer::Ok, true},
        {"Close, Cancel", true, MessageAnswer::Cancel, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        view = CScriptedView();
        script.log = &view.log;
        clock = &movingClock;
        Make();
        view.documentText = WriteDocument("many.txt", ManyResultsText());
        view.keywordText = "ac";
        view.pumpActions.push_back([&] {
            if (c.pressClose)
                run->OnCancel();
            else
                run->OnFind();
        });
        view.answers.push_back({c.answer, [this] {
                                    // The search waits beneath the open question.
                                    EXPECT_TRUE(run->IsSearching());
                                    EXPECT_EQ(view.findCaption, "Cancel &Find");
                                }});
        run->OnFind();

        const Strings log = view.LogWithoutProgress();
        EXPECT_EQ(std::count(log.begin(), log.end(), kCancelQuestionLine), 1);
        EXPECT_TRUE(Contains(log, c.stopped ? "End canceled" : "End"));
        // OK stops the search at the very report during which it was given; otherwise it runs
        // on to its final report.
        if (c.stopped)
            EXPECT_EQ(view.pumps, 1);
        else
            EXPECT_TRUE(Contains(view.log, "SetProgressPosition 1200"));
        EXPECT_FALSE(view.ended);  // Close during a search never closes the window
        EXPECT_EQ(view.findCaption, "&Find!");
        EXPECT_FALSE(run->IsSearching());
        EXPECT_FALSE(run->IsCancelRequested());

        // Once the search has ended, Close closes.
        run->OnCancel();
        EXPECT_TRUE(view.ended);
    }
}

TEST_F(SearchRunTest, CancelKeepsWhatWasWrittenSoFar) {
    clock = &movingClock;
    Make(/*htmlWriter=*/true);
    view.documentText = WriteDocument("many.txt", ManyResultsText());
    view.keywordText = "ac";
    // Cancel at the first report after one that showed results: how many reports come before
    // the first result (the engine reports while it builds its index) is the engine's business.
    std::function<void()> cancelOnceShown = [&] {
        if (run->GetShownResultCount() > 0)
            run->OnFind();
        else
            view.pumpActions.push_back(cancelOnceShown);
    };
    view.pumpActions.push_back(cancelOnceShown);
    run->OnFind();

    EXPECT_TRUE(view.pumpActions.empty());  // the cancel came before the search ran out
    EXPECT_FALSE(Contains(view.log, "SetProgressPosition 1200"));
    EXPECT_GT(run->GetShownResultCount(), 0);
    EXPECT_EQ(view.statusText, FormatResultCount(run->GetShownResultCount()));
    ASSERT_NE(run->GetResultsPath(), "");
    EXPECT_EQ(run->GetResultsPath(), run->GetTemporaryResultsPath());
    EXPECT_TRUE(fs::exists(run->GetResultsPath()));
    EXPECT_TRUE(view.saveEnabled);
    EXPECT_TRUE(view.viewEnabled);

    const std::string file = run->GetResultsPath();
    EXPECT_TRUE(fs::equivalent(fs::path(file).parent_path(), Folder())) << file;
    run->OnDestroyWindow();
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(SearchRunTest, TheCloseRequestStopsTheSearchWithoutAskingAndTheFileGoesWithTheWindow) {
    clock = &movingClock;
    Make(/*htmlWriter=*/true);
    view.documentText = WriteDocument("many.txt", ManyResultsText());
    view.keywordText = "qz";
    // A Find and a Close the user pressed were queued behind the request: neither asks.
    view.pumpActions.push_back([this] {
        EXPECT_EQ(run->OnCloseRequest(0, 0), 0);
        run->OnFind();
        run->OnCancel();
    });
    run->OnFind();

    const Strings log = view.LogWithoutProgress();
    EXPECT_EQ(view.pumps, 1);
    EXPECT_TRUE(view.ended);
    EXPECT_FALSE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
        return line.rfind("Message", 0) == 0;
    }));
    EXPECT_EQ(view.findCaption, "&Find!");
    const std::string file = run->GetTemporaryResultsPath();
    ASSERT_NE(file, "");
    EXPECT_TRUE(fs::exists(file));

    run->OnDestroyWindow();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(run->GetTemporaryResultsPath(), "");
    EXPECT_EQ(view.log.back(), "EnableViewResults 0");
}

TEST_F(SearchRunTest, ACloseRequestWhileTheQuestionIsOpenIsNotUndoneByCancel) {
    clock = &movingClock;
    Make();
    view.documentText = WriteDocument("many.txt", ManyResultsText());
    view.keywordText = "qz";
    view.pumpActions.push_back([this] { run->OnFind(); });
    view.answers.push_back({MessageAnswer::Cancel, [this] { run->OnCloseRequest(0, 0); }});
    run->OnFind();
    EXPECT_EQ(view.pumps, 1);
    EXPECT_TRUE(Contains(view.log, "End canceled"));
    EXPECT_TRUE(view.ended);
    EXPECT_FALSE(run->IsSearching());
}

TEST_F(SearchRunTest, PreviousResultsStayViewableUntilTheNextSearchHasItsDocument) {
    Make(/*htmlWriter=*/true);
    const std::string firstDocument = WriteDocument("one.txt", kOneResultText);
    view.documentText = firstDocument;
    view.keywordText = kOneResultKeywords;
    run->OnFind();
    const std::string first = run->GetResultsPath();
    ASSERT_NE(first, "");
    ASSERT_TRUE(fs::exists(first));

    // A Find that fails on the document leaves them alone.
    view.documentText = MissingDocument();
    view.log.clear();
    run->OnFind();
    EXPECT_EQ(view.log.back(), "Message Ok: The document could not be opened.");
    EXPECT_EQ(run->GetResultsPath(), first);
    EXPECT_TRUE(fs::exists(first));
    EXPECT_TRUE(view.saveEnabled);
    EXPECT_TRUE(view.viewEnabled);

    // The next search that reads its document deletes them before it starts.
    view.documentText = WriteDocument("none.txt", "nothing");
    view.keywordText = "qz";
    view.log.clear();
    run->OnFind();
    const Strings log = view.LogWithoutProgress();
    const Strings expectedStart = {"ShowRecentDocuments [" + view.documentText + "] [" +
                                       MissingDocument() + "] [" + firstDocument + "]",
                                   "DeleteFile " + first, "EnableSaveResults 0",
                                   "EnableViewResults 0", "SetFindCaption Cancel &Find"};
    ASSERT_GE(log.size(), expectedStart.size());
    EXPECT_EQ(Strings(log.begin(), log.begin() + 5), expectedStart);
    EXPECT_EQ(run->GetResultsPath(), "");
    const std::string second = run->GetTemporaryResultsPath();
    ASSERT_NE(second, "");
    EXPECT_TRUE(fs::exists(second));

    run->OnDestroyWindow();
    EXPECT_FALSE(fs::exists(second));
}

TEST_F(SearchRunTest, CloseWhileIdleEndsTheDialogAndFindWithoutAnyWriterStillRuns) {
    CSearchRun bare(view, store, {});
    bare.OnCancel();
    EXPECT_EQ(view.log, Strings{"EndDialogCancel"});

    view.documentText = WriteDocument("one.txt", kOneResultText);
    view.keywordText = kOneResultKeywords;
    bare.OnFind();
    EXPECT_EQ(bare.GetTemporaryResultsPath(), "");
    EXPECT_EQ(bare.GetResultsPath(), "");
    EXPECT_FALSE(bare.IsSearching());
}

// The document's letters decide the alphabet; the keywords are read in it, and the page shows it.
TEST_F(SearchRunTest, TheDocumentsAlphabetReadsTheKeywordsAndShowsThePage) {
    const std::string noKeywords = std::string("Message Ok: ") + kNoKeywordsMessage;
    const struct {
        const char* what;
        std::string document;
        std::string keywords;
        std::string message;     // "" when the search runs
        std::string statusText;  // after the search
        std::string pagePiece;   // a piece of the page
        bool utf8Page;           // the page declares UTF-8 (Hebrew and Greek pages)
    } cases[] = {
        {"Hebrew document, Hebrew keyword: finals fold, points go",
         "\xD7\xAA\xD7\x95\xD6\xBC\xD7\xA8\xD7\x94 \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D",
         "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9E", "", "1 result found.",
         "<div dir=\"rtl\"><bdo dir=\"rtl\">", true},
        {"Hebrew document, keyword with Latin letters around a Hebrew one",
         "\xD7\xAA\xD7\x95\xD7\xA8\xD7\x94", "torah, \xD7\xAA\xD7\x95\xD7\xA8\xD7\x94", "",
         "1 result found.", "\xD7\xAA", true},
        {"Hebrew document, Latin keyword only", "\xD7\xAA\xD7\x95\xD7\xA8\xD7\x94 abc", "torah",
         noKeywords, "", "", false},
        {"Greek document with accents, keyword in small letters",
         "\xE1\xBC\x98\xCE\xBD \xE1\xBC\x80\xCF\x81\xCF\x87\xE1\xBF\x87 \xE1\xBC\xA6\xCE\xBD",
         "\xCE\xB1\xCF\x81\xCF\x87\xCE\xB7", "", "1 result found.", "\xCE\xA7", true},
        {"Latin document, Hebrew keyword only", "torah", "\xD7\xAA\xD7\x95\xD7\xA8\xD7\x94",
         noKeywords, "", "", false},
        {"Latin document with a Hebrew word stays latin", "torah \xD7\xAA\xD7\x95\xD7\xA8\xD7\x94",
         "torah", "", "1 result found.", ">T<", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        view = CScriptedView();
        store = CMemorySettingsStore();
        script.log = &view.log;
        Make(true);
        view.documentText = WriteDocument("doc.txt", c.document);
        view.keywordText = c.keywords;
        run->OnFind();
        if (!c.message.empty()) {
            EXPECT_EQ(LogFrom(view.log.size() - 2), (Strings{"FocusKeywords", c.message}));
            // Settings are stored once the fields are read, before the document says which
            // alphabet the keywords are in.
            EXPECT_EQ(store.values.count("MaxColumnWidth"), 1u);
            EXPECT_EQ(run->GetTemporaryResultsPath(), "");
            continue;
        }
        EXPECT_EQ(view.statusText, c.statusText);
        std::ifstream page(run->GetResultsPath(), std::ios::binary);
        const std::string html((std::istreambuf_iterator<char>(page)),
                               std::istreambuf_iterator<char>());
        EXPECT_NE(html.find(c.pagePiece), std::string::npos) << html;
        EXPECT_EQ(html.find("<meta charset=\"utf-8\">") != std::string::npos, c.utf8Page);
        run->DeleteTemporaryResults();
    }
}

}  // namespace
