// Driving the real Strandix!.exe from a test, the way a user would: starting it, finding its
// windows, typing into fields, pressing buttons, reading texts and answering message boxes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_handle_win32.h"
#include "tests/support/whole_file.h"

// The program under test, as a Windows path.
std::string ProgramPath();

// Polls `condition` every 20 ms until it holds or `timeoutMs` has passed; answers its last
// value.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 60000);

// The visible or hidden top-level dialog windows (#32770) of a process.
std::vector<HWND> DialogWindowsOf(DWORD processId);

// Text of a window or of a dialog's control.
std::string TextOf(HWND window);
std::string ItemTextOf(HWND dialog, int id);

// Entries of a combo box's list (read with the wide messages, which work across processes).
std::vector<std::string> ComboEntries(HWND combo);
std::vector<std::wstring> ComboEntriesWide(HWND combo);

// A control's text through the wide messages: the letters of every script cross processes.
void SetItemTextWide(HWND dialog, int id, const std::wstring& text);
std::wstring ItemTextWideOf(HWND dialog, int id);

// Posts a click to a dialog's button: never waits, so a message box it opens blocks nobody.
void Click(HWND dialog, int buttonId);

// The window that has the keyboard focus in the thread that owns `window`.
HWND FocusOf(HWND window);

// A message box (or other dialog) owned by `owner`, if one is open.
HWND OwnedDialog(HWND owner);

// Waits for a message box owned by `owner` and answers its text, or "" when none came.
struct MessageBoxSeen {
    HWND box = nullptr;
    std::string text;
};
MessageBoxSeen WaitForMessageBox(HWND owner, DWORD timeoutMs = 60000);

// Answers the message box `box` with the button `id` and waits until it has closed; false when
// it stayed.
[[nodiscard]] bool Answer(HWND box, int id);

// Makes sure the handled-so-far point of a window's thread is behind every message posted to it
// before this call: two sends in a row can return only after the posted messages in between
// were taken from the queue.
void Sync(HWND window);

// The HKEY_CURRENT_USER settings key of the program.
inline constexpr char kSettingsKey[] = "Software\\Tarnwick\\Strandix!";
void DeleteSettings();
std::optional<std::string> ReadStoredString(const char* name);
std::optional<std::uint32_t> ReadStoredInt(const char* name);
void StoreString(const char* name, const std::string& value);
void StoreInt(const char* name, std::uint32_t value);

// The temporary folder the program writes its pages into, and the pages now there.
std::string TempFolder();
std::vector<std::string> ResultPagesInTemp();
bool FileExists(const std::string& path);
int CountOf(const std::string& text, const std::string& piece);

// One running copy of the program. The destructor ends it if the test has not (a stray copy
// would hold the single-instance mutex for the next test).
class CRunningProgram {
  public:
    CRunningProgram();
    ~CRunningProgram();
    CRunningProgram(const CRunningProgram&) = delete;  // owns the process handles
    CRunningProgram& operator=(const CRunningProgram&) = delete;

    DWORD ProcessId() const { return processId_; }
    HANDLE Process() const { return process_.Get(); }
    DWORD LaunchTick() const { return launchTick_; }

    bool HasExited(DWORD waitMs = 0) const;
    std::optional<DWORD> ExitCode() const;

    // The splash screen (the dialog holding static 1025) and the main dialog (the one holding
    // the Find button), when shown.
    HWND FindSplash() const;
    HWND FindMainDialog() const;

    // Waits for the splash, then clicks it every 100 ms until it has gone (it takes clicks
    // only after half a second), then waits for the main dialog. Answers the main dialog, or
    // null when a step did not happen in time.
    HWND PassSplashToMainDialog();

  private:
    CUniqueHandle process_;
    DWORD processId_ = 0;
    DWORD launchTick_ = 0;
};
