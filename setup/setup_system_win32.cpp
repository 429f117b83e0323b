#include "setup/setup_system_win32.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstdint>
#include <cstring>

#include "platform/shell.h"
#include "platform/unique_handle_win32.h"
#include "setup/setup_command_line.h"
#include "setup/setup_dialog_win32.h"
#include "setup/shell_files.h"
#include "winui/message_box_win32.h"

namespace {

HWND g_messageOwner = nullptr;

bool SetStringValue(HKEY key, const char* name, const std::string& text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

void SetSetupMessageOwner(HWND owner) {
    g_messageOwner = owner;
}

MessageAnswer ShowSetupMessage(const std::string& text, MessageButtons buttons) {
    return ShowMessageBox(g_messageOwner, text, buttons);
}

std::string CWin32SetupSystem::OwnModulePath() {
    return ::OwnModulePath();
}

bool CWin32SetupSystem::FolderExists(const std::string& folder) {
    return ::FolderExists(folder);
}

bool CWin32SetupSystem::FileExists(const std::string& path) {
    return ::FileExists(path);
}

bool CWin32SetupSystem::CreateFolder(const std::string& folder) {
    return CreateDirectoryA(folder.c_str(), nullptr) != FALSE;
}

bool CWin32SetupSystem::CopyFileWithRetry(const std::string& source, const std::string& target,
                                          bool failIfExists, int attempts,
                                          unsigned pauseMilliseconds) {
    return ::CopyFileWithRetry(source, target, failIfExists, attempts, pauseMilliseconds);
}

bool CWin32SetupSystem::ShellDelete(const std::string& path) {
    return ::ShellDelete(path);
}

bool CWin32SetupSystem::RemoveEmptyFolder(const std::string& folder) {
    // RemoveDirectory refuses a folder that still holds anything.
    return RemoveDirectoryA(WithoutTrailingBackslash(folder).c_str()) != FALSE;
}

bool CWin32SetupSystem::WriteUninstallEntry(const std::string& keyPath,
                                            const std::string& displayName,
                                            const std::string& uninstallString) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, &disposition) != ERROR_SUCCESS) {
        return false;
    }
    const bool written = SetStringValue(key, "DisplayName", displayName) &&
                         SetStringValue(key, "UninstallString", uninstallString);
    RegCloseKey(key);
    return written;
}

void CWin32SetupSystem::DeleteUninstallEntry(const std::string& keyPath) {
    // RegDeleteKey leaves a key that has subkeys; the shell's delete takes those too.
    if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath.c_str()) != ERROR_SUCCESS) {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath.c_str());
    }
}

MessageAnswer CWin32SetupSystem::ShowMessage(const std::string& text, MessageButtons buttons) {
    return ShowSetupMessage(text, buttons);
}

bool CWin32SetupSystem::RunProgram(const std::string& path) {
    return OpenWithShell(path);
}

void CWin32SetupSystem::RunSetupDialog(CInstaller& installer) {
    CSetupDialog dialog(installer);
    dialog.DoModal();
}

void CWin32SetupSystem::StartUninstallCopy() {
    const std::string own = ModulePath();
    char tempFolder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tempFolder);
    char copy[MAX_PATH] = {};
    GetTempFileNameA(tempFolder, "Del", 0, copy);
    CopyFileA(own.c_str(), copy, FALSE);

    // While this handle is open the system keeps the copy; once neither it nor the running copy
    // holds the file, the file is deleted.
    CUniqueHandle file(CreateFileA(copy, 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    // The copy inherits this handle under the same value and waits on it until we have ended.
    CUniqueHandle self(OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId()));

    std::string commandLine = UninstallCopyCommandLine(
        copy, static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(self.Get())));
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // The copy runs in the temporary folder: a process's current folder cannot be removed, and
    // ours may well be the installation folder.
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, tempFolder,
                       &startup, &process)) {
        const CUniqueHandle thread(process.hThread);
        const CUniqueHandle child(process.hProcess);
    }
}

void CWin32SetupSystem::WaitForProcessHandle(std::int64_t processHandle) {
    const HANDLE handle = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(processHandle));
    // Only a handle to another process is waited on and closed: any other value (no handle, a
    // handle of some other kind, this process itself) would hang the wait or close a handle
    // that is not ours to close.
    if (handle == nullptr) return;
    // The first stage opens its handle with SYNCHRONIZE access only, which is not enough to ask
    // for the process id; a copy of the handle with the right to ask answers it.
    HANDLE query = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &query,
                         PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0)) {
        return;
    }
    const DWORD processId = GetProcessId(CUniqueHandle(query).Get());
    if (processId == 0 || processId == GetCurrentProcessId()) return;
    const CUniqueHandle process(handle);
    WaitForSingleObject(process.Get(), INFINITE);
}

bool CWin32SetupSystem::HasAdminRights() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return true;
    const CUniqueHandle tokenOwner(token);
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    // Where the system cannot say, there is nothing to gain by restarting.
    if (!GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)) {
        return true;
    }
    return elevation.TokenIsElevated != 0;
}

bool CWin32SetupSystem::RelaunchElevated(const std::string& arguments) {
    const std::string own = ModulePath();
    SHELLEXECUTEINFOA execute;
    std::memset(&execute, 0, sizeof execute);
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = "runas";
    execute.lpFile = own.c_str();
    execute.lpParameters = arguments.c_str();
    execute.nShow = SW_SHOWNORMAL;
    // False also when the user refuses the system's question (ERROR_CANCELLED).
    return ShellExecuteExA(&execute) != FALSE;
}
