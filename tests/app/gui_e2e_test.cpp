// End-to-end tests of Strandix!.exe: each test starts the real program and works it as a user
// would, through its windows, and looks at what it leaves in the registry and the temp folder.
#include <windows.h>

#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "res/resource.h"
#include "search/find_sequences.h"
#include "tests/app/app_driver.h"

namespace {

// What the user is promised: the splash closes by itself two and a half seconds after it
// appeared.
constexpr DWORD kSplashShownMs = 2500;

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char kRecorderFlag[] = "--record-open";

std::string RecorderLog() {
    return TempFolder() + "strandix-opened.txt";
}

// A document of `size` letters A and B drawn at random from a fixed seed.
std::string TwoLetterText(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string text(size, 'A');
    for (char& c : text)
        c = (random() & 1) ? 'B' : 'A';
    return text;
}

// The number of results a search with the default settings finds: the dialog's answer must
// agree with the engine's.
int CountResults(std::string text, const std::string& keyword) {
    struct CCounter : CResultSink {
        int count = 0;
        bool AddResult(const char*, std::int32_t, std::int32_t, std::int32_t,
                       const ResultPositions&) override {
            ++count;
            return true;
        }
    } counter;
    std::string error;
    FindSequences(text.c_str(), static_cast<std::int32_t>(text.size()), {keyword}, SearchSettings{},
                  counter, error);
    return counter.count;
}

// A search that takes many seconds and finds little: a long keyword in a long two-letter text.
const char kSlowKeyword[] = "ABBABAABBABAABABBABAAB";
std::string SlowDocument() {
    static const std::string path = [] {
        const std::string file = TempFolder() + "strandix-long.txt";
        WriteWholeFile(file, TwoLetterText(80'000'000, 11));
        return file;
    }();
    return path;
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteSettings();
        for (const std::string& page : ResultPagesInTemp())
            DeleteFileA(page.c_str());
    }
    void TearDown() override { DeleteSettings(); }

    // Starts the program and works past the splash screen.
    HWND StartToMainDialog(CRunningProgram& program) {
        const HWND dialog = program.PassSplashToMainDialog();
        EXPECT_NE(dialog, nullptr) << "no main dialog";
        return dialog;
    }

    // Types the document and keywords and presses Find.
    static void Find(HWND dialog, const std::string& document, const std::string& keywords) {
        SetDlgItemTextA(dialog, IDC_DOCUMENT_PATH, document.c_str());
        SetDlgItemTextA(dialog, IDC_KEYWORDS, keywords.c_str());
        Click(dialog, IDC_FIND);
    }

    static bool IsSearching(HWND dialog) { return ItemTextOf(dialog, IDC_FIND) == "Cancel &Find"; }
    static bool IsIdle(HWND dialog) { return ItemTextOf(dialog, IDC_FIND) == "&Find!"; }

    // Starts the slow search and waits until it runs.
    static void StartSlowSearch(HWND dialog) {
        Find(dialog, SlowDocument(), kSlowKeyword);
        ASSERT_TRUE(WaitUntil([&] { return IsSearching(dialog); }, 60000));
    }
};

// --- Start-up -----------------------------------------------------------------------------

// When the splash closes on a press and by itself is checked on a clock set by hand, in the
// splash's own modal loop (window_test.cpp). Here the real program shows it first, styled, and
// gives way to the main dialog; checks that hold however slowly the machine runs it.
TEST_F(ProgramTest, SplashComesFirstIgnoresReleasesAndClosesByItself) {
    CRunningProgram program;
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (splash = program.FindSplash()) != nullptr; }));
    // Mouse moves, releases and key releases never close it.
    PostMessageA(splash, WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    PostMessageA(splash, WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
    PostMessageA(splash, WM_KEYUP, VK_SPACE, 0);
    PostMessageA(splash, WM_LBUTTONDBLCLK, 0, MAKELPARAM(30, 30));
    Sync(splash);
    ASSERT_TRUE(IsWindow(splash)) << "a release closed the splash";
    EXPECT_EQ(program.FindMainDialog(), nullptr) << "the main dialog waits for the splash";

    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(splash) != FALSE; }));
    EXPECT_EQ(TextOf(splash), "Strandix!");
    EXPECT_EQ(ItemTextOf(splash, IDC_SPLASH_LINE), "...");
    const LONG_PTR exStyle = GetWindowLongPtrA(splash, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW) << "no taskbar button";
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_FALSE(GetWindowLongPtrA(splash, GWL_STYLE) & WS_CAPTION);

    // It closes by itself 2.5 s after its start, which came after the launch: a slow machine
    // only makes the close come later.
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(splash); }, 60000));
    EXPECT_GE(GetTickCount() - program.LaunchTick(), kSplashShownMs) << "closed before its time";
    EXPECT_TRUE(WaitUntil([&] { return program.FindMainDialog() != nullptr; }));
}

// A press once the splash has been up for half a second ends it, and the main dialog follows.
// The splash started before the test saw it, so waiting 0.7 s from then is enough on any machine.
TEST_F(ProgramTest, SplashGivesWayToTheMainDialogOnALatePress) {
    const UINT presses[] = {WM_NCRBUTTONDOWN, WM_LBUTTONDOWN, WM_KEYDOWN};
    for (const UINT press : presses) {
        SCOPED_TRACE(press);
        CRunningProgram program;
        HWND splash = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (splash = program.FindSplash()) != nullptr; }));
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(splash) != FALSE; }));
        Sleep(700);
        PostMessageA(splash, press, press == WM_NCRBUTTONDOWN ? HTCAPTION : 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(splash); }, 60000));
        EXPECT_TRUE(WaitUntil([&] { return program.FindMainDialog() != nullptr; }, 60000));
    }
}

struct StoredSettingsCase {
    const char* name;
    bool store;
    const char* checks;      // expected 1008, 1021, 1022
    const char* numbers[4];  // expected 1009, 1011, 1013, 1015
    std::vector<std::string> documents;
};

TEST_F(ProgramTest, MainDialogShowsStoredSettingsOrDefaults) {
    const StoredSettingsCase cases[] = {
        {"nothing stored", false, "100", {"10", "100", "1000", "500"}, {}},
        {"stored values", true, "011", {"7", "900", "0", "42"}, {"C:\\b.txt", "C:\\a.txt"}},
    };
    for (const StoredSettingsCase& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteSettings();
        if (c.store) {
            StoreInt("IgnoreNumbers", 1);
            StoreInt("AllowReverseKeywords", 0);
            StoreInt("ExcludeWordsDirectlyFromText", 1);
            StoreInt("MinColumnWidth", 7);
            StoreInt("MaxColumnWidth", 900);  // shown as stored, rejected only by Find
            StoreInt("MaxResultLength", 0);
            StoreInt("MaxDistanceBetweenLetters", 42);
            StoreString("Document1", "");  // empty values close up
            StoreString("Document2", "C:\\b.txt");
            StoreString("Document3", "C:\\a.txt");
        }
        CRunningProgram program;
        const HWND dialog = StartToMainDialog(program);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(TextOf(dialog), "Strandix!");
        EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        const int checkIds[] = {IDC_ALLOW_REVERSE, IDC_EXCLUDE_DIRECT_WORDS, IDC_IGNORE_NUMBERS};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(IsDlgButtonChecked(dialog, checkIds[i]), UINT(c.checks[i] - '0'))
                << "check box " << checkIds[i];
        }
        const int numberIds[] = {IDC_MIN_COLUMN_WIDTH, IDC_MAX_COLUMN_WIDTH, IDC_MAX_RESULT_LENGTH,
                                 IDC_MAX_DISTANCE};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(ItemTextOf(dialog, numberIds[i]), c.numbers[i]) << "edit " << numberIds[i];
        }
        const HWND combo = GetDlgItem(dialog, IDC_DOCUMENT_PATH);
        EXPECT_EQ(ComboEntries(combo), c.documents);
        EXPECT_EQ(TextOf(combo), c.documents.empty() ? "" : c.documents[0]);
        EXPECT_EQ(ItemTextOf(dialog, IDC_FIND), "&Find!");
        EXPECT_EQ(ItemTextOf(dialog, IDC_STATUS), "");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_VIEW_RESULTS)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SAVE_RESULTS)));
        // The focus starts in the document box.
        const HWND focus = FocusOf(dialog);
        EXPECT_TRUE(focus == combo || GetParent(focus) == combo);

        Click(dialog, IDCANCEL);
        EXPECT_TRUE(program.HasExited(60000)) << "Close ends an idle program";
        EXPECT_EQ(program.ExitCode(), 0u);
    }
}

TEST_F(ProgramTest, SecondCopyEndsAtOnceAndBringsTheFirstToFront) {
    CRunningProgram first;
    const HWND dialog = StartToMainDialog(first);
    ASSERT_NE(dialog, nullptr);

    // Put a window of our own in front.
    const HWND other = CreateWindowExA(0, "STATIC", "in front", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                       100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }));

    CRunningProgram second;
    bool secondShowedWindows = false;
    EXPECT_TRUE(WaitUntil([&] {
        secondShowedWindows |= !DialogWindowsOf(second.ProcessId()).empty();
        return second.HasExited();
    }));
    EXPECT_FALSE(secondShowedWindows) << "no second splash, no second dialog";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }));
    EXPECT_FALSE(first.HasExited());
    DestroyWindow(other);
}

TEST_F(ProgramTest, SecondCopyDuringTheSplashEndsSilently) {
    CRunningProgram first;
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (splash = first.FindSplash()) != nullptr; }));
    CRunningProgram second;
    EXPECT_TRUE(second.HasExited(60000));
    EXPECT_TRUE(DialogWindowsOf(second.ProcessId()).empty());
    // The first copy goes on: its splash may be closing by now, so it is followed to the main
    // dialog rather than caught at one moment.
    EXPECT_FALSE(first.HasExited()) << "the first copy ended";
    EXPECT_NE(first.PassSplashToMainDialog(), nullptr);
}

// --- Find: the checks before a search -----------------------------------------------------

TEST_F(ProgramTest, FindChecksPathKeywordsFieldsAndDocumentInOrder) {
    CRunningProgram program;
    const HWND dialog = StartToMainDialog(program);
    ASSERT_NE(dialog, nullptr);
    const HWND combo = GetDlgItem(dialog, IDC_DOCUMENT_PATH);
    const std::string missing = TempFolder() + "no such document.txt";

    // A blank path: nothing is stored.
    Find(dialog, "   ", "WORD");
    MessageBoxSeen box = WaitForMessageBox(dialog);
    EXPECT_EQ(box.text, "Please specify a document path.");
    EXPECT_EQ(TextOf(box.box), "Strandix!");
    ASSERT_TRUE(Answer(box.box, IDOK));
    EXPECT_THAT(ComboEntries(combo), IsEmpty());
    EXPECT_FALSE(ReadStoredString("Document1"));
    const HWND focus = FocusOf(dialog);
    EXPECT_TRUE(focus == combo || GetParent(focus) == combo);

    // No keywords: the path is already at the top of the list and stored.
    Find(dialog, "  " + missing + " ", " ,;, ");
    box = WaitForMessageBox(dialog);
    EXPECT_EQ(box.text,
              "Please enter one or more keywords separated by spaces, commas, or semicolons.");
    ASSERT_TRUE(Answer(box.box, IDOK));
    EXPECT_THAT(ComboEntries(combo), ElementsAre(missing));
    EXPECT_EQ(ReadStoredString("Document1"), missing);
    EXPECT_EQ(FocusOf(dialog), GetDlgItem(dialog, IDC_KEYWORDS));

    // Bad fields: the message, the focus in that field with all its text selected, nothing
    // stored.
    struct BadField {
        int id;
        const char* text;
        const char* message;
    };
    const BadField badFields[] = {
        {IDC_MAX_COLUMN_WIDTH, "501", "Please enter an integer between 1 and 500."},
        {IDC_MAX_DISTANCE, "12a", "Please enter an integer."},
        {IDC_MAX_RESULT_LENGTH, "", "Please enter an integer."},
        {IDC_MIN_COLUMN_WIDTH, "0", "Please enter an integer between 1 and 10000."},
    };
    for (const BadField& bad : badFields) {
        SCOPED_TRACE(bad.id);
        const HWND edit = GetDlgItem(dialog, bad.id);
        const std::string good = TextOf(edit);
        SetWindowTextA(edit, bad.text);
        Find(dialog, missing, "WORD");
        box = WaitForMessageBox(dialog);
        EXPECT_EQ(box.text, bad.message);
        ASSERT_TRUE(Answer(box.box, IDOK));
        // The field takes the focus after its message has closed, in the program's own time.
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(dialog) == edit; }));
        DWORD start = 99, end = 99;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, std::string(bad.text).size());
        EXPECT_FALSE(ReadStoredInt("MinColumnWidth")) << "settings stored despite a bad field";
        SetWindowTextA(edit, good.c_str());
    }

    // A missing document: told so, but the list and the settings are stored first. The
    // column widths are stored in order while the fields keep what was typed.
    SetDlgItemTextA(dialog, IDC_MIN_COLUMN_WIDTH, "80");
    SetDlgItemTextA(dialog, IDC_MAX_COLUMN_WIDTH, "20");
    Find(dialog, missing, "WORD");
    box = WaitForMessageBox(dialog);
    EXPECT_EQ(box.text, "The document could not be opened.");
    ASSERT_TRUE(Answer(box.box, IDOK));
    EXPECT_EQ(ReadStoredInt("MinColumnWidth"), 20u);
    EXPECT_EQ(ReadStoredInt("MaxColumnWidth"), 80u);
    EXPECT_EQ(ReadStoredInt("AllowReverseKeywords"), 1u);
    EXPECT_EQ(ItemTextOf(dialog, IDC_MIN_COLUMN_WIDTH), "80");
    EXPECT_EQ(ItemTextOf(dialog, IDC_MAX_COLUMN_WIDTH), "20");
    EXPECT_EQ(ReadStoredString("Document1"), missing);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_VIEW_RESULTS)));
    EXPECT_THAT(ResultPagesInTemp(), IsEmpty());
}

TEST_F(ProgramTest, BrowsePutsTheChosenDocumentFirstAndCancelChangesNothing) {
    const std::string document = TempFolder() + "strandix-browse.txt";
    WriteWholeFile(document, "In the beginning");
    StoreString("Document1", "C:\\older.txt");
    CRunningProgram program;
    const HWND dialog = StartToMainDialog(program);
    ASSERT_NE(dialog, nullptr);
    const HWND combo = GetDlgItem(dialog, IDC_DOCUMENT_PATH);

    struct Step {
        const char* name;
        bool choose;
        std::vector<std::string> entries;
    };
    const Step steps[] = {
        {"cancel", false, {"C:\\older.txt"}},
        {"choose", true, {document, "C:\\older.txt"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        Click(dialog, IDC_BROWSE);
        HWND open = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (open = OwnedDialog(dialog)) != nullptr; }));
        EXPECT_EQ(TextOf(open), "Document Path");
        if (step.choose) {
            HWND nameBox = GetDlgItem(open, 0x47C);
            if (!nameBox) nameBox = GetDlgItem(open, 0x480);
            ASSERT_NE(nameBox, nullptr);
            SetWindowTextA(nameBox, document.c_str());
            Click(open, IDOK);
        } else {
            Click(open, IDCANCEL);
        }
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(open); }));
        Sync(dialog);
        EXPECT_EQ(ComboEntries(combo), step.entries);
        EXPECT_EQ(TextOf(combo), step.entries[0]);
        EXPECT_EQ(ReadStoredString("Document1"), step.entries[0]);
    }
    DeleteFileA(document.c_str());
}

// --- A search, its page, saving and viewing -------------------------------------------------

// Makes .htm files open with this test program, which notes what it was asked to open.
class PageAssociation {
  public:
    PageAssociation() {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        const std::string command = "\"" + std::string(self) + "\" " + kRecorderFlag + " \"%1\"";
        char previous[256] = {};
        DWORD size = sizeof previous;
        hadPrevious_ = RegGetValueA(HKEY_CLASSES_ROOT, ".htm", nullptr, RRF_RT_REG_SZ, nullptr,
                                    previous, &size) == ERROR_SUCCESS;
        previous_ = previous;
        RegSetKeyValueA(HKEY_CLASSES_ROOT, ".htm", nullptr, REG_SZ, kProgId, sizeof kProgId);
        RegSetKeyValueA(HKEY_CLASSES_ROOT,
                        (std::string(kProgId) + "\\shell\\open\\command").c_str(), nullptr, REG_SZ,
                        command.c_str(), static_cast<DWORD>(command.size() + 1));
        DeleteFileA(RecorderLog().c_str());
    }
    ~PageAssociation() {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, kProgId);
        if (hadPrevious_) {
            RegSetKeyValueA(HKEY_CLASSES_ROOT, ".htm", nullptr, REG_SZ, previous_.c_str(),
                            static_cast<DWORD>(previous_.size() + 1));
        } else {
            RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
        }
        DeleteFileA(RecorderLog().c_str());
    }
    PageAssociation(const PageAssociation&) = delete;  // restores the registry once
    PageAssociation& operator=(const PageAssociation&) = delete;

    // The paths opened so far, one a line.
    static std::string Opened() { return ReadWholeFile(RecorderLog()); }

  private:
    static constexpr char kProgId[] = "StrandixTest.Page";
    bool hadPrevious_ = false;
    std::string previous_;
};

TEST_F(ProgramTest, SearchWritesItsPageThenSaveAndViewUseIt) {
    const std::string folder = TempFolder() + "strandix-save\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string document = folder + "sample.book.txt";
    const std::string text = TwoLetterText(200'000, 5);
    WriteWholeFile(document, text);
    const std::string keyword = "ABBABAABBABAAB";
    const int expected = CountResults(text, keyword);
    ASSERT_GT(expected, 1) << "the fixture must find several results";

    CRunningProgram program;
    const HWND dialog = StartToMainDialog(program);
    ASSERT_NE(dialog, nullptr);
    Find(dialog, document, keyword);
    // The click is posted: until the window takes it, the button still reads "&Find!", so the
    // search has ended only once the count sentence stands. The sentence is read first: the
    // window sets it after the button's "Cancel", so a button read after it that says "&Find!"
    // is the search's end, not the moment before the click is taken.
    ASSERT_TRUE(WaitUntil([&] { return !ItemTextOf(dialog, IDC_STATUS).empty() && IsIdle(dialog); },
                          60000));
    Sync(dialog);
    EXPECT_EQ(ItemTextOf(dialog, IDC_STATUS), std::to_string(expected) + " results found.");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_VIEW_RESULTS)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_SAVE_RESULTS)));
    const std::vector<std::string> pages = ResultPagesInTemp();
    ASSERT_EQ(pages.size(), 1u);
    const std::string page = ReadWholeFile(pages[0]);
    EXPECT_EQ(CountOf(page, "<span class=\"text\">"), expected);
    EXPECT_NE(page.find("</html>"), std::string::npos);

    // A document box that holds no valid file name still gets the Save As dialog; canceling
    // it changes nothing.
    SetDlgItemTextA(dialog, IDC_DOCUMENT_PATH, "C:\\a|b<c>*?\"d.txt");
    Click(dialog, IDC_SAVE_RESULTS);
    HWND rejected = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (rejected = OwnedDialog(dialog)) != nullptr; }));
    EXPECT_EQ(TextOf(rejected), "Save Results");
    Click(rejected, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(rejected); }));
    SetDlgItemTextA(dialog, IDC_DOCUMENT_PATH, document.c_str());

    // Save Results: the name suggested is the document's with ".htm" for everything from its
    // last "."; the copy is the page.
    Click(dialog, IDC_SAVE_RESULTS);
    HWND save = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (save = OwnedDialog(dialog)) != nullptr; }));
    EXPECT_EQ(TextOf(save), "Save Results");
    const int kFileNameBox = 0x47C;  // cmb13 of the system's file dialogs
    HWND nameBox = GetDlgItem(save, kFileNameBox);
    if (!nameBox) nameBox = GetDlgItem(save, 0x480);  // edt1
    ASSERT_NE(nameBox, nullptr);
    EXPECT_THAT(TextOf(nameBox), ::testing::EndsWith("sample.book.htm"));
    const std::string saved = folder + "copy.htm";
    SetWindowTextA(nameBox, saved.c_str());
    Click(save, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(save); }));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(saved); }));
    EXPECT_EQ(ReadWholeFile(saved), page);

    // Saving again suggests the saved copy, asks before replacing it, and replaces it.
    WriteWholeFile(saved, "stale");
    Click(dialog, IDC_SAVE_RESULTS);
    ASSERT_TRUE(WaitUntil([&] { return (save = OwnedDialog(dialog)) != nullptr; }));
    nameBox =
        GetDlgItem(save, kFileNameBox) ? GetDlgItem(save, kFileNameBox) : GetDlgItem(save, 0x480);
    EXPECT_THAT(TextOf(nameBox), ::testing::EndsWith("copy.htm"));
    Click(save, IDOK);
    const MessageBoxSeen replace = WaitForMessageBox(save);
    ASSERT_NE(replace.box, nullptr) << "no question before replacing the file";
    ASSERT_TRUE(Answer(replace.box, IDYES));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(save); }));
    EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(saved) == page; }));

    // View Results with the saved copy gone opens the page the search wrote, without a word.
    {
        PageAssociation association;
        DeleteFileA(saved.c_str());
        Click(dialog, IDC_VIEW_RESULTS);
        EXPECT_TRUE(WaitUntil([&] { return !PageAssociation::Opened().empty(); }));
        EXPECT_THAT(PageAssociation::Opened(), ::testing::HasSubstr(pages[0]));
        EXPECT_EQ(OwnedDialog(dialog), nullptr);

        // With both gone: one message naming both paths, run together after the sentence.
        DeleteFileA(pages[0].c_str());
        Click(dialog, IDC_VIEW_RESULTS);
        const MessageBoxSeen box = WaitForMessageBox(dialog);
        EXPECT_EQ(box.text, "The results could not be opened." + saved + pages[0]);
        ASSERT_TRUE(Answer(box.box, IDOK));
    }

    Click(dialog, IDCANCEL);
    EXPECT_TRUE(program.HasExited(60000));
    RemoveDirectoryA(folder.c_str());
}

// --- A long search: cancel question, Close, the close request -------------------------------

TEST_F(ProgramTest, FindDuringASearchAsksAndOnlyOkCancels) {
    CRunningProgram program;
    const HWND dialog = StartToMainDialog(program);
    ASSERT_NE(dialog, nullptr);
    StartSlowSearch(dialog);

    const char kQuestion[] =
        "You are currently searching for hidden codes.  Proceeding will cancel the search.";
    Click(dialog, IDC_FIND);
    MessageBoxSeen box = WaitForMessageBox(dialog);
    EXPECT_EQ(box.text, kQuestion);
    ASSERT_NE(GetDlgItem(box.box, IDCANCEL), nullptr);
    ASSERT_TRUE(Answer(box.box, IDCANCEL));
    // The search goes on: its progress still moves.
    const HWND progress = GetDlgItem(dialog, IDC_PROGRESS);
    const LRESULT before = SendMessageA(progress, PBM_GETPOS, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(progress, PBM_GETPOS, 0, 0) != before; }));
    EXPECT_TRUE(IsSearching(dialog));

    Click(dialog, IDC_FIND);
    box = WaitForMessageBox(dialog);
    EXPECT_EQ(box.text, kQuestion);
    ASSERT_TRUE(Answer(box.box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return IsIdle(dialog); }));
    const std::vector<std::string> pages = ResultPagesInTemp();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(ReadWholeFile(pages[0]).find("The search was canceled."), std::string::npos);
    EXPECT_FALSE(program.HasExited());
}

TEST_F(ProgramTest, CloseDuringASearchAsksAndClosesOnlyOnceIdle) {
    CRunningProgram program;
    const HWND dialog = StartToMainDialog(program);
    ASSERT_NE(dialog, nullptr);
    StartSlowSearch(dialog);

    Click(dialog, IDCANCEL);
    MessageBoxSeen box = WaitForMessageBox(dialog);
    EXPECT_EQ(box.text,
              "You are currently searching for hidden codes.  Proceeding will cancel the search.");
    ASSERT_TRUE(Answer(box.box, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return IsIdle(dialog); }));
    EXPECT_FALSE(program.HasExited(500)) << "the first Close only stops the search";
    const std::vector<std::string> pages = ResultPagesInTemp();
    ASSERT_EQ(pages.size(), 1u);

    Click(dialog, IDCANCEL);
    EXPECT_TRUE(program.HasExited(60000));
    EXPECT_FALSE(FileExists(pages[0])) << "closing the window deletes its page";
}

TEST_F(ProgramTest, CloseRequestEndsASearchingCopyAndItsPage) {
    CRunningProgram program;
    const HWND dialog = StartToMainDialog(program);
    ASSERT_NE(dialog, nullptr);
    StartSlowSearch(dialog);
    ASSERT_TRUE(WaitUntil([&] { return ResultPagesInTemp().size() == 1; }));
    const std::string page = ResultPagesInTemp()[0];

    DWORD_PTR answer = 99;
    SendMessageTimeoutA(dialog, RegisterWindowMessageA("CloseStrandix"), 0, 0,
                        SMTO_BLOCK | SMTO_ABORTIFHUNG, 60000, &answer);
    EXPECT_FALSE(IsWindowVisible(dialog)) << "gone from the screen while the search unwinds";
    EXPECT_TRUE(program.HasExited(60000));
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_FALSE(FileExists(page));
}

TEST_F(ProgramTest, FindAndCloseQueuedBehindACloseRequestAskNothing) {
    CRunningProgram program;
    const HWND dialog = StartToMainDialog(program);
    ASSERT_NE(dialog, nullptr);
    StartSlowSearch(dialog);

    // All three wait in the queue together; the search's next pump takes them in this order.
    PostMessageA(dialog, RegisterWindowMessageA("CloseStrandix"), 0, 0);
    Click(dialog, IDC_FIND);
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(program.HasExited(60000));
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace

int main(int argc, char** argv) {
    // Started by the shell as the viewer of a results page: note the page and end.
    if (argc == 3 && std::string(argv[1]) == kRecorderFlag) {
        const CUniqueHandle log(CreateFileA(RecorderLog().c_str(), FILE_APPEND_DATA,
                                            FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        const std::string line = std::string(argv[2]) + "\n";
        DWORD written = 0;
        WriteFile(log.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
