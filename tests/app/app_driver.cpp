#include "tests/app/app_driver.h"

#include <algorithm>

#include "res/resource.h"

#ifndef STRANDIX_PROGRAM
#error "STRANDIX_PROGRAM names the program under test"
#endif

namespace {

constexpr DWORD kWineStartRaceError = 1359;  // ERROR_INTERNAL_ERROR, seen rarely under Wine

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialogs(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (processId == search.processId && lstrcmpA(className, "#32770") == 0) {
        search.found.push_back(window);
    }
    return TRUE;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<OwnedSearch*>(parameter);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (GetWindow(window, GW_OWNER) == search.owner && lstrcmpA(className, "#32770") == 0 &&
        IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

std::string WideToAnsi(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

}  // namespace

std::string ProgramPath() {
    std::string path = STRANDIX_PROGRAM;
    // A Unix path from the build tree: Wine sees the root as drive Z.
    if (!path.empty() && path[0] == '/') {
        std::replace(path.begin(), path.end(), '/', '\\');
        path = "Z:" + path;
    }
    return path;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs) return condition();
        Sleep(20);
    }
    return true;
}

std::vector<HWND> DialogWindowsOf(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TextOf(HWND window) {
    // WM_GETTEXT with a timeout: a window that is busy must not hang the test.
    char text[4096] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length)) {
        return {};
    }
    return std::string(text, std::min<size_t>(length, sizeof text - 1));
}

std::string ItemTextOf(HWND dialog, int id) {
    return TextOf(GetDlgItem(dialog, id));
}

std::vector<std::wstring> ComboEntriesWide(HWND combo) {
    std::vector<std::wstring> entries;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
        entries.push_back(text);
    }
    return entries;
}

std::vector<std::string> ComboEntries(HWND combo) {
    std::vector<std::string> entries;
    for (const std::wstring& entry : ComboEntriesWide(combo))
        entries.push_back(WideToAnsi(entry));
    return entries;
}

void SetItemTextWide(HWND dialog, int id, const std::wstring& text) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring ItemTextWideOf(HWND dialog, int id) {
    const HWND item = GetDlgItem(dialog, id);
    const LRESULT length = SendMessageW(item, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const LRESULT got = SendMessageW(item, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
    return text;
}

void Click(HWND dialog, int buttonId) {
    PostMessageA(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

HWND OwnedDialog(HWND owner) {
    OwnedSearch search{owner, nullptr};
    EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

MessageBoxSeen WaitForMessageBox(HWND owner, DWORD timeoutMs) {
    MessageBoxSeen seen;
    WaitUntil(
        [&] {
            seen.box = OwnedDialog(owner);
            return seen.box && GetDlgItem(seen.box, 0xFFFF);
        },
        timeoutMs);
    if (seen.box && GetDlgItem(seen.box, 0xFFFF)) {
        seen.text = ItemTextOf(seen.box, 0xFFFF);
    } else {
        seen.box = nullptr;
    }
    return seen;
}

bool Answer(HWND box, int id) {
    Click(box, id);
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

void Sync(HWND window) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
}

void DeleteSettings() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

std::optional<std::string> ReadStoredString(const char* name) {
    char data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(data);
}

std::optional<std::uint32_t> ReadStoredInt(const char* name) {
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &data,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return data;
}

void StoreString(const char* name, const std::string& value) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
}

void StoreInt(const char* name, std::uint32_t value) {
    const DWORD data = value;
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &data, sizeof data);
}

std::string TempFolder() {
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    return path;
}

std::vector<std::string> ResultPagesInTemp() {
    std::vector<std::string> pages;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((TempFolder() + "els*.htm").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return pages;
    do {
        pages.push_back(TempFolder() + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(pages.begin(), pages.end());
    return pages;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int CountOf(const std::string& text, const std::string& piece) {
    int count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

CRunningProgram::CRunningProgram() {
    const std::string program = ProgramPath();
    std::string commandLine = "\"" + program + "\"";
    for (int attempt = 0; attempt < 3; ++attempt) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        launchTick_ = GetTickCount();
        PROCESS_INFORMATION started = {};
        if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &started)) {
            const CUniqueHandle thread(started.hThread);
            process_.Reset(started.hProcess);
            processId_ = started.dwProcessId;
            return;
        }
        if (GetLastError() != kWineStartRaceError) break;
    }
}

CRunningProgram::~CRunningProgram() {
    if (!process_) return;
    if (!HasExited()) {
        TerminateProcess(process_.Get(), 99);
        WaitForSingleObject(process_.Get(), 10000);
    }
}

bool CRunningProgram::HasExited(DWORD waitMs) const {
    return !process_ || WaitForSingleObject(process_.Get(), waitMs) == WAIT_OBJECT_0;
}

std::optional<DWORD> CRunningProgram::ExitCode() const {
    DWORD code = 0;
    if (!HasExited() || !GetExitCodeProcess(process_.Get(), &code)) return std::nullopt;
    return code;
}

HWND CRunningProgram::FindSplash() const {
    for (HWND window : DialogWindowsOf(ProcessId())) {
        if (GetDlgItem(window, IDC_SPLASH_LINE)) return window;
    }
    return nullptr;
}

HWND CRunningProgram::FindMainDialog() const {
    for (HWND window : DialogWindowsOf(ProcessId())) {
        if (GetDlgItem(window, IDC_FIND) && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

HWND CRunningProgram::PassSplashToMainDialog() {
    HWND splash = nullptr;
    if (!WaitUntil([&] { return (splash = FindSplash()) != nullptr || FindMainDialog(); })) {
        return nullptr;
    }
    const bool splashGone = WaitUntil([&] {
        if (!IsWindow(splash)) return true;
        PostMessageA(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        PostMessageA(splash, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        Sleep(80);
        return false;
    });
    if (!splashGone) return nullptr;
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindMainDialog()) != nullptr; });
    return dialog;
}
