// End-to-end: the program searches a document in the alphabet it is written in, and its page is
// the one the command-line tool writes for that alphabet; paths with Hebrew letters go through
// the window and the recent-documents list.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/unique_handle_win32.h"
#include "res/resource.h"
#include "tests/app/app_driver.h"

namespace {

// A Unix path from the build tree, as Wine names it.
std::wstring WinePath(const char* unixPath) {
    std::wstring path(unixPath, unixPath + std::char_traits<char>::length(unixPath));
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"Z:" + path;
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());  // ASCII only: the temporary folder
}

std::string ReadWide(const std::wstring& path) {
    const CUniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return std::string();
    std::string contents(GetFileSize(file.Get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.Get(), contents.data(), static_cast<DWORD>(contents.size()), &read, nullptr);
    contents.resize(read);
    return contents;
}

// Runs strandix.exe with `arguments`, waits for it and answers its exit status.
DWORD RunTool(const std::wstring& arguments) {
    const std::wstring tool = WinePath(STRANDIX_TOOL);
    std::wstring commandLine = L"\"" + tool + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(tool.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &started))
        return 0xFFFFFFFF;
    const CUniqueHandle process(started.hProcess);
    const CUniqueHandle thread(started.hThread);
    WaitForSingleObject(process.Get(), 120000);
    DWORD status = 0xFFFFFFFF;
    GetExitCodeProcess(process.Get(), &status);
    return status;
}

// A folder in the temporary folder whose name is Hebrew ("documents of the Torah") with a Greek
// word, holding a copy of a bundled sample.
std::wstring CopyIntoScriptFolder(const wchar_t* sample) {
    const std::wstring folder =
        Widen(TempFolder()) +
        L"\u05DE\u05E1\u05DE\u05DB\u05D9 \u05EA\u05D5\u05E8\u05D4 \u03BB\u03CC\u03B3\u03BF\u03C2\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring copy = folder + sample;
    const std::wstring source = WinePath(STRANDIX_SAMPLES) + L"\\" + sample;
    EXPECT_TRUE(CopyFileW(source.c_str(), copy.c_str(), FALSE)) << GetLastError();
    return copy;
}

class ScriptsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteSettings();
        for (const std::string& page : ResultPagesInTemp())
            DeleteFileA(page.c_str());
    }
    void TearDown() override { DeleteSettings(); }

    static bool IsIdle(HWND dialog) { return ItemTextOf(dialog, IDC_FIND) == "&Find!"; }

    // Searches with the default settings (or the letters-within box set), answering Yes to the
    // 5 MB question when it comes, and answers the page the window wrote.
    static std::string SearchPage(const std::wstring& document, const std::wstring& keywords,
                                  const char* lettersWithin = nullptr) {
        CRunningProgram program;
        const HWND dialog = program.PassSplashToMainDialog();
        if (!dialog) return "no main dialog";
        SetItemTextWide(dialog, IDC_DOCUMENT_PATH, document);
        SetItemTextWide(dialog, IDC_KEYWORDS, keywords);
        if (lettersWithin) SetDlgItemTextA(dialog, IDC_MAX_DISTANCE, lettersWithin);
        Click(dialog, IDC_FIND);
        const bool idle = WaitUntil(
            [&] {
                if (const HWND box = OwnedDialog(dialog)) {
                    if (GetDlgItem(box, IDYES) && !Answer(box, IDYES)) return false;
                }
                // The click is posted: until the window takes it, the button still reads
                // "&Find!", so the search has ended only once the count sentence stands. The
                // sentence is read first: the window sets it after the button's "Cancel".
                return !ItemTextOf(dialog, IDC_STATUS).empty() && IsIdle(dialog) &&
                       !OwnedDialog(dialog);
            },
            120000);
        if (!idle) return "the search did not end";
        Sync(dialog);
        const std::vector<std::string> pages = ResultPagesInTemp();
        std::string page = pages.size() == 1 ? ReadWholeFile(pages[0]) : "no single page";
        Click(dialog, IDCANCEL);
        EXPECT_TRUE(program.HasExited(20000));
        return page;
    }
};

TEST_F(ScriptsTest, HebrewAndGreekPagesAreTheToolsForThatAlphabet) {
    const struct {
        const wchar_t* sample;
        const wchar_t* keyword;
        const wchar_t* alphabet;
        int results;
    } cases[] = {
        {L"torah-wlc.txt", L"\u05EA\u05D5\u05E8\u05D4", L"hebrew", 6540},    // torah
        {L"john-byz.txt", L"\u03BB\u03BF\u03B3\u03BF\u03C2", L"greek", 28},  // logos
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.alphabet, c.alphabet + wcslen(c.alphabet)));
        const std::wstring document = CopyIntoScriptFolder(c.sample);
        const std::string page = SearchPage(document, c.keyword);
        EXPECT_EQ(CountOf(page, "<span class=\"text\">"), c.results);

        const std::wstring toolPage = Widen(TempFolder()) + L"strandix-tool-page.htm";
        ASSERT_EQ(RunTool(std::wstring(L"--alphabet ") + c.alphabet + L" -q --yes -o \"" +
                          toolPage + L"\" \"" + document + L"\" " + c.keyword),
                  0u);
        const std::string expected = ReadWide(toolPage);
        DeleteFileW(toolPage.c_str());
        ASSERT_FALSE(expected.empty());
        EXPECT_TRUE(page == expected) << "the window's page differs from the tool's";
        DeleteFileW(document.c_str());
    }
}

TEST_F(ScriptsTest, LatinPagesAreTheFixturesByteForByte) {
    const std::string page =
        SearchPage(WinePath(STRANDIX_SAMPLES) + L"\\genesis.txt", L"moses aaron", "50");
    const std::string fixture =
        ReadWide(WinePath(STRANDIX_LATIN_PAGES) + L"\\genesis-moses-aaron.htm");
    ASSERT_FALSE(fixture.empty());
    EXPECT_TRUE(page == fixture) << "the latin page changed";
}

TEST_F(ScriptsTest, RecentDocumentsKeepAHebrewPathAcrossARestart) {
    const std::wstring document = CopyIntoScriptFolder(L"torah-wlc.txt");
    {
        CRunningProgram program;
        const HWND dialog = program.PassSplashToMainDialog();
        ASSERT_NE(dialog, nullptr);
        SetItemTextWide(dialog, IDC_DOCUMENT_PATH, document);
        Click(dialog, IDC_FIND);  // no keywords: the path is remembered all the same
        const MessageBoxSeen box = WaitForMessageBox(dialog);
        ASSERT_NE(box.box, nullptr);
        ASSERT_TRUE(Answer(box.box, IDOK));
        Click(dialog, IDCANCEL);
        ASSERT_TRUE(program.HasExited(20000));
    }
    // Stored as REG_SZ, in UTF-16 as it was typed.
    wchar_t stored[1024] = {};
    DWORD size = sizeof stored;
    DWORD type = 0;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tarnwick\\Strandix!", L"Document1",
                           RRF_RT_ANY, &type, stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(document == stored);

    CRunningProgram program;
    const HWND dialog = program.PassSplashToMainDialog();
    ASSERT_NE(dialog, nullptr);
    const std::vector<std::wstring> entries =
        ComboEntriesWide(GetDlgItem(dialog, IDC_DOCUMENT_PATH));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0] == document);
    EXPECT_TRUE(ItemTextWideOf(dialog, IDC_DOCUMENT_PATH) == document);
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(program.HasExited(20000));
    DeleteFileW(document.c_str());
}

}  // namespace
