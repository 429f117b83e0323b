// The file and shell utilities and the Windows side of the installer, against the real system.
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_handle_win32.h"
#include "res/resource.h"
#include "setup/setup_dialog_win32.h"
#include "setup/setup_paths.h"
#include "setup/setup_system_win32.h"
#include "setup/shell_files.h"
#include "setup/shell_rules.h"
#include "tests/setup/setup_fakes.h"

namespace {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class CScratchFolder {
  public:
    CScratchFolder() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "setup-utils-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount());
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    CScratchFolder(const CScratchFolder&) = delete;  // one owner removes it
    CScratchFolder& operator=(const CScratchFolder&) = delete;
    ~CScratchFolder() {
        std::string names = path_ + '\0' + '\0';
        SHFILEOPSTRUCTA operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = names.c_str();
        operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        SHFileOperationA(&operation);
    }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(ShellFiles, ExistenceTests) {
    CScratchFolder scratch;
    const std::string file = scratch / "a.txt";
    WriteFile(file, "x");
    CreateDirectoryA((scratch / "sub").c_str(), nullptr);

    struct Case {
        std::string path;
        bool folder;
        bool anything;
    };
    const Case cases[] = {
        {scratch.path(), true, true},  // The system finds no entry named with a trailing backslash.
        {scratch.path() + "\\", true, false},
        {scratch / "sub", true, true},
        {file, false, true},
        {scratch / "*.txt", false, true},
        {scratch / "missing", false, false},
        {scratch / "missing\\", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FolderExists(c.path), c.folder);
        EXPECT_EQ(FileExists(c.path), c.anything);
    }
}

TEST(ShellFiles, OwnModulePathIsThisExecutableInLowerCase) {
    char actual[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, actual, MAX_PATH);
    const std::string own = OwnModulePath();
    EXPECT_TRUE(EqualIgnoringCase(own, actual));
    for (char c : own)
        EXPECT_FALSE(c >= 'A' && c <= 'Z') << own;
    EXPECT_TRUE(FileExists(own));
}

TEST(ShellFiles, CopyWithRetryReplacesOrKeepsTheTarget) {
    CScratchFolder scratch;
    const std::string source = scratch / "source.bin";
    const std::string target = scratch / "target.bin";
    WriteFile(source, "new contents");
    WriteFile(target, "old");

    EXPECT_FALSE(CopyFileWithRetry(source, target, true, 2, 1));
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_TRUE(CopyFileWithRetry(source, target, false, 1, 1));
    EXPECT_EQ(ReadFile(target), "new contents");
    EXPECT_FALSE(CopyFileWithRetry(scratch / "missing.bin", target, false, 2, 1));
    EXPECT_FALSE(CopyFileWithRetry(source, scratch / "no\\such\\folder.bin", false, 0, 1));
    // A folder in the target's place cannot be replaced by a copy.
    CreateDirectoryA((scratch / "blocked.bin").c_str(), nullptr);
    EXPECT_FALSE(CopyFileWithRetry(source, scratch / "blocked.bin", false, 2, 1));
}

TEST(ShellFiles, ShellDeleteRemovesFilesAndWholeTrees) {
    CScratchFolder scratch;
    const std::string file = scratch / "one.txt";
    WriteFile(file, "1");
    const std::string tree = scratch / "tree";
    CreateDirectoryA(tree.c_str(), nullptr);
    CreateDirectoryA((tree + "\\inner").c_str(), nullptr);
    WriteFile(tree + "\\inner\\two.txt", "2");
    WriteFile(scratch / "stays.txt", "3");

    EXPECT_TRUE(ShellDelete(file));
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(ShellDelete(tree));
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(Exists(scratch / "stays.txt"));
    EXPECT_FALSE(ShellDelete(scratch / "never-there.txt"));
}

TEST(ShellFiles, ShortcutPointsAtItsTargetAndCarriesItsName) {
    CScratchFolder scratch;
    const std::string target = scratch / "Strandix!.exe";
    WriteFile(target, "MZ");
    const std::string menu = scratch / "Menu";  // missing: one level is created

    ASSERT_TRUE(CreateShortcut(target, "Strandix!", menu));
    const std::string linkPath = menu + "\\Strandix!.lnk";
    ASSERT_TRUE(Exists(linkPath));

    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IShellLinkA* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA, reinterpret_cast<void**>(&link))));
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    wchar_t widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH);
    EXPECT_TRUE(SUCCEEDED(file->Load(widePath, STGM_READ)));
    char path[MAX_PATH] = {};
    link->GetPath(path, MAX_PATH, nullptr, 0);
    char description[MAX_PATH] = {};
    link->GetDescription(description, MAX_PATH);
    file->Release();
    link->Release();
    CoUninitialize();
    EXPECT_TRUE(EqualIgnoringCase(path, target)) << path;
    EXPECT_STREQ(description, "Strandix!");

    // A folder two levels deep is not created.
    EXPECT_FALSE(CreateShortcut(target, "Strandix!", scratch / "a\\b"));
}

TEST(ShellFiles, SpecialFoldersHaveNoTrailingBackslash) {
    std::string programFiles = "unchanged";
    ASSERT_TRUE(GetSpecialFolder(programFiles, kCsidlProgramFiles));
    EXPECT_TRUE(FolderExists(programFiles));
    EXPECT_NE(programFiles.back(), '\\');
    EXPECT_EQ(ProgramFilesFolder(), programFiles);

    std::string menu;
    ASSERT_TRUE(ProgramsMenuFolder(menu));
    std::string common;
    ASSERT_TRUE(GetSpecialFolder(common, kCsidlCommonPrograms));
    EXPECT_EQ(menu, common);
    EXPECT_NE(menu.back(), '\\');

    // An unknown number leaves the text alone.
    std::string untouched = "unchanged";
    EXPECT_FALSE(GetSpecialFolder(untouched, 0x7F));
    EXPECT_EQ(untouched, "unchanged");
}

TEST(SetupSystem, UninstallEntryIsWrittenAndRemovedWithItsSubkeys) {
    CWin32SetupSystem system;
    const std::string key =
        UninstallKeyPathFor("StrandixTest" + std::to_string(GetCurrentProcessId()));
    ASSERT_TRUE(system.WriteUninstallEntry(key, "Name", "\"C:\\x y\\a.exe\" /uninstall"));

    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "UninstallString", RRF_RT_REG_SZ,
                           nullptr, value, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(value, "\"C:\\x y\\a.exe\" /uninstall");
    EXPECT_EQ(size, std::string(value).size() + 1);  // the zero byte is counted

    // A subkey makes the plain delete fail; the fallback takes it all.
    HKEY sub = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (key + "\\Extra").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(sub);
    system.DeleteUninstallEntry(key);
    HKEY gone = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &gone), ERROR_SUCCESS);
}

TEST(SetupSystem, OnlyAnEmptyFolderIsRemoved) {
    CScratchFolder scratch;
    CWin32SetupSystem system;
    const std::string full = scratch / "full";
    CreateDirectoryA(full.c_str(), nullptr);
    WriteFile(full + "\\keep.txt", "k");
    const std::string empty = scratch / "empty";
    CreateDirectoryA(empty.c_str(), nullptr);

    EXPECT_FALSE(system.RemoveEmptyFolder(full + "\\"));
    EXPECT_TRUE(Exists(full + "\\keep.txt"));
    EXPECT_TRUE(system.RemoveEmptyFolder(empty + "\\"));
    EXPECT_FALSE(Exists(empty));
}

TEST(SetupSystem, WaitingOnAHandleThatIsNoOtherProcessReturnsAtOnce) {
    CWin32SetupSystem system;
    CScratchFolder scratch;
    const std::string path = scratch / "file.txt";
    WriteFile(path, "x");
    const CUniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    const CUniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));  // never signalled
    const HANDLE self = GetCurrentProcess();                                 // would wait for ever

    for (const HANDLE handle : {HANDLE{nullptr}, file.Get(), event.Get(), self}) {
        system.WaitForProcessHandle(
            static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(handle)));
    }
    system.WaitForProcessHandle(123456789);
    // The handles that are not ours to close are still open.
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(file.Get(), &flags));
    EXPECT_TRUE(GetHandleInformation(event.Get(), &flags));
}

// Whether `handle` still names process `id`. A closed handle's value may already name something
// else (values are reused at once), so its mere validity proves nothing.
bool RefersToProcess(HANDLE handle, DWORD id) {
    HANDLE query = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &query,
                         PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0)) {
        return false;
    }
    return GetProcessId(CUniqueHandle(query).Get()) == id;
}

// The first uninstall stage hands over a handle with SYNCHRONIZE access only; the second stage
// must wait on it until that process has ended, and then close it.
TEST(SetupSystem, WaitingOnAnotherProcessLastsUntilItHasEnded) {
    char own[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    std::string commandLine = "\"" + std::string(own) + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    // Suspended, the child lives until it is terminated.
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED, nullptr, nullptr, &startup, &child));
    const CUniqueHandle childThread(child.hThread);
    const CUniqueHandle childProcess(child.hProcess);
    const HANDLE handedOver = OpenProcess(SYNCHRONIZE, TRUE, child.dwProcessId);
    ASSERT_NE(handedOver, nullptr);
    ASSERT_TRUE(RefersToProcess(handedOver, child.dwProcessId));

    // Ended well after the wait has begun, even on a machine busy with other tests: a child
    // that is gone before the wait starts proves nothing and is not a process to wait for.
    std::thread ender([&] {
        Sleep(1500);
        TerminateProcess(childProcess.Get(), 0);
    });
    CWin32SetupSystem().WaitForProcessHandle(
        static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(handedOver)));
    const DWORD childState = WaitForSingleObject(childProcess.Get(), 0);
    ender.join();
    EXPECT_EQ(childState, WAIT_OBJECT_0) << "the wait returned while the process still ran";
    EXPECT_FALSE(RefersToProcess(handedOver, child.dwProcessId)) << "the handle was not closed";
}

TEST(SetupPathsOnWindows, LeadBytesAgreeWithTheSystem) {
    for (const unsigned codePage : {932u, 936u, 949u, 950u, 1361u, 1252u}) {
        if (!IsValidCodePage(codePage)) continue;  // not installed: nothing to compare with
        for (int byte = 0; byte < 256; ++byte) {
            SCOPED_TRACE(testing::Message() << codePage << " " << byte);
            EXPECT_EQ(IsLeadByte(codePage, static_cast<unsigned char>(byte)),
                      IsDBCSLeadByteEx(codePage, static_cast<BYTE>(byte)) != FALSE);
        }
    }
    EXPECT_TRUE(IsValidCodePage(932));  // the comparison above ran for Japanese at least
}

// Only administrators and the system may change what lies in the folder of an uninstall copy
// that runs with their rights; nothing is inherited from the folder above.
TEST(SetupSystem, ProtectedFolderLetsOnlyAdministratorsAndTheSystemWrite) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        kProtectedFolderSecurity, SDDL_REVISION_1, &descriptor, nullptr));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_NE(control & SE_DACL_PROTECTED, 0);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl != nullptr);

    constexpr DWORD kChanging = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
    std::vector<std::string> writers;
    bool usersRun = false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, &ace));
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        ASSERT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        char* sid = nullptr;
        ASSERT_TRUE(ConvertSidToStringSidA(const_cast<DWORD*>(&allowed->SidStart), &sid));
        const std::string who = sid;
        LocalFree(sid);
        if ((allowed->Mask & kChanging) != 0) writers.push_back(who);
        if (who == "S-1-5-32-545") {
            usersRun = (allowed->Mask & (FILE_READ_DATA | FILE_EXECUTE)) ==
                       (FILE_READ_DATA | FILE_EXECUTE);
        }
    }
    LocalFree(descriptor);
    // Administrators and the system, nobody else.
    EXPECT_EQ(writers, (std::vector<std::string>{"S-1-5-32-544", "S-1-5-18"}));
    EXPECT_TRUE(usersRun);
}

TEST(SetupSystem, AdminRightsMatchWhatTheSystemLetsUsWrite) {
    CWin32SetupSystem system;
    HKEY key = nullptr;
    const LONG opened =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                      0, KEY_CREATE_SUB_KEY | KEY_SET_VALUE, &key);
    if (opened == ERROR_SUCCESS) RegCloseKey(key);
    EXPECT_EQ(system.HasAdminRights(), opened == ERROR_SUCCESS);
}

}  // namespace

namespace {

struct SetupDialogView {
    std::string caption, okText, cancelText, folder;
    bool readOnly = false;
    bool layoutMatches = false;
};

// The dialog's controls sit where the template's dialog units put them.
bool ControlAt(HWND dialog, int id, RECT units) {
    MapDialogRect(dialog, &units);
    RECT actual = {};
    GetWindowRect(GetDlgItem(dialog, id), &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    return EqualRect(&actual, &units) != FALSE;
}

BOOL CALLBACK FindOwnDialog(HWND window, LPARAM result) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId() && GetDlgItem(window, IDC_INSTALL_FOLDER)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

// Runs the dialog on this thread while another thread reads it, presses OK once and then Cancel.
SetupDialogView RunSetupDialog(CInstaller& installer, INT_PTR& result) {
    SetupDialogView view;
    CSetupDialog dialog(installer);
    std::thread driver([&view] {
        HWND window = nullptr;
        for (int i = 0; i < 600 && window == nullptr; ++i) {
            EnumWindows(FindOwnDialog, reinterpret_cast<LPARAM>(&window));
            if (window == nullptr) Sleep(50);
        }
        if (window == nullptr) return;
        char text[MAX_PATH] = {};
        GetWindowTextA(window, text, MAX_PATH);
        view.caption = text;
        GetDlgItemTextA(window, IDOK, text, MAX_PATH);
        view.okText = text;
        GetDlgItemTextA(window, IDCANCEL, text, MAX_PATH);
        view.cancelText = text;
        GetDlgItemTextA(window, IDC_INSTALL_FOLDER, text, MAX_PATH);
        view.folder = text;
        view.readOnly =
            (GetWindowLongA(GetDlgItem(window, IDC_INSTALL_FOLDER), GWL_STYLE) & ES_READONLY) != 0;
        RECT client = {};
        GetClientRect(window, &client);
        RECT size = {0, 0, 232, 62};
        MapDialogRect(window, &size);
        view.layoutMatches = EqualRect(&client, &size) &&
                             ControlAt(window, IDOK, {175, 41, 225, 55}) &&
                             ControlAt(window, IDC_INSTALL_FOLDER, {33, 18, 225, 32}) &&
                             ControlAt(window, IDCANCEL, {120, 41, 170, 55});
        // Posted messages arrive in order: the OK press is handled before the cancel.
        PostMessageA(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    result = dialog.DoModal();
    driver.join();
    return view;
}

TEST(SetupDialog, ProgramTemplateInInstallAndUpgradeMode) {
    struct Case {
        const char* installed;
        const char* okText;
        const char* folder;
        bool readOnly;
    };
    const Case cases[] = {
        {"", "&Install", "C:\\Program Files\\Strandix!", false},
        {"C:\\Apps\\Strandix!\\Strandix!.exe", "&Upgrade", "C:\\Apps\\Strandix!\\", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.okText);
        CallLog log;
        CFakeSetupHost host(log);
        CFakeSetupSystem system(log);
        host.installedPath = c.installed;
        system.existingFiles = {c.installed};
        system.createFolderSucceeds = false;  // so the OK press fails and the dialog stays
        CInstaller installer(host, system);

        INT_PTR result = 0;
        const SetupDialogView view = RunSetupDialog(installer, result);
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(view.caption, "Strandix! Setup");
        EXPECT_EQ(view.okText, c.okText);
        EXPECT_EQ(view.cancelText, "Cancel");
        EXPECT_EQ(view.folder, c.folder);
        EXPECT_EQ(view.readOnly, c.readOnly);
        EXPECT_TRUE(view.layoutMatches);
        // OK handed the field's text to the installer, whose failure kept the dialog open.
        const std::vector<std::string> expected = {
            "ReadyToInstall", "CreateFolder " + std::string(c.folder),
            "ShowMessage Ok [Setup could not complete.  The folder " + std::string(c.folder) +
                " could not be created.]"};
        EXPECT_EQ(log, expected);
    }
}

}  // namespace
