#include "setup/setup_system_win32.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <sddl.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/shell.h"
#include "platform/unique_handle_win32.h"
#include "platform/unique_registry_key_win32.h"
#include "platform/wide_text_win32.h"
#include "setup/setup_command_line.h"
#include "setup/setup_dialog_win32.h"
#include "setup/setup_paths.h"
#include "setup/shell_files.h"
#include "winui/message_box_win32.h"

namespace {

HWND g_messageOwner = nullptr;

// A new folder for the uninstall copy that only administrators and the system can change (users
// may read and run what is in it), with its path ending in a backslash. The folder is created
// under the Windows folder's Temp when there is one: users cannot rename what others made
// there. `lock` keeps it from being renamed or removed while it is in use.
bool CreateProtectedFolder(std::string& folder, CUniqueHandle& lock) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
            kProtectedFolderSecurity, SDDL_REVISION_1, &descriptor, nullptr)) {
        return false;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    char windows[MAX_PATH] = {};
    std::string parent;
    if (GetSystemWindowsDirectoryA(windows, MAX_PATH) != 0) {
        parent = JoinPath(windows, "Temp", GetACP());
    }
    if (!::FolderExists(parent)) {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        parent = WithoutTrailingBackslash(temp, GetACP());
    }
    // A copy cannot remove the folder it runs from: earlier uninstalls left theirs, empty once
    // their copies had gone. RemoveDirectory takes only an empty folder.
    WIN32_FIND_DATAA found;
    const HANDLE search =
        FindFirstFileA(JoinPath(parent, "Strandix!-uninstall-*", GetACP()).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            RemoveDirectoryA(JoinPath(parent, found.cFileName, GetACP()).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }

    bool created = false;
    // CreateDirectory fails on a name that exists: a folder somebody else prepared is never used.
    for (unsigned attempt = 0; attempt < 100 && !created; ++attempt) {
        folder = JoinPath(parent,
                          "Strandix!-uninstall-" + std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string(GetTickCount() + attempt),
                          GetACP());
        created = CreateDirectoryA(folder.c_str(), &attributes) != FALSE;
        if (!created && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    LocalFree(descriptor);
    if (!created) return false;
    lock.Reset(CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    folder += '\\';
    return true;
}

// Creates `copy` (it must not exist) and writes the executable `source` into it through the
// handle made by the creation, then keeps it open, for the copy's whole life, through a handle
// that has the system delete the file once nothing uses it any more.
CUniqueHandle WriteExclusiveCopy(const std::string& source, const std::string& copy) {
    CUniqueHandle writer(CreateFileA(copy.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!writer) return {};
    const CUniqueHandle reader(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    bool written = reader.IsValid();
    std::vector<char> buffer(1 << 16);
    while (written) {
        DWORD read = 0;
        if (!ReadFile(reader.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read,
                      nullptr)) {
            written = false;
            break;
        }
        if (read == 0) break;
        DWORD wrote = 0;
        written = WriteFile(writer.Get(), buffer.data(), read, &wrote, nullptr) && wrote == read;
    }
    // A handle that may delete the file, opened while the writer still holds it: nobody else can
    // get at the file in between. Starting the program needs the writer closed.
    CUniqueHandle keeper(CreateFileA(copy.c_str(), DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    writer.Reset();
    if (!written) return {};  // closing the keeper removes the broken copy
    return keeper;
}

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

unsigned CWin32SetupSystem::AnsiCodePage() {
    return GetACP();
}

std::int64_t CWin32SetupSystem::OwnProcessId() {
    return GetCurrentProcessId();
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
    return RemoveDirectoryA(WithoutTrailingBackslash(folder, GetACP()).c_str()) != FALSE;
}

bool CWin32SetupSystem::WriteUninstallEntry(const std::string& keyPath,
                                            const std::string& displayName,
                                            const std::string& uninstallString) {
    CUniqueRegistryKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        key.Out(), &disposition) != ERROR_SUCCESS) {
        return false;
    }
    return SetStringValue(key.Get(), "DisplayName", displayName) &&
           SetStringValue(key.Get(), "UninstallString", uninstallString);
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
    // With administrator rights the program would inherit them: the desktop shell starts it
    // with the signed-in user's own rights instead.
    if (RunsElevated()) return OpenAsDesktopUser(path);
    return OpenWithShell(AnsiToUtf8(path));  // setup's paths are ANSI, the shell's UTF-8
}

void CWin32SetupSystem::RunSetupDialog(CInstaller& installer) {
    CSetupDialog dialog(installer);
    dialog.DoModal();
}

void CWin32SetupSystem::StartUninstallCopy(std::int64_t requesterId) {
    const std::string own = ModulePath();
    const bool elevated = RunsElevated();
    CUniqueHandle folderLock;
    CUniqueHandle file;
    std::string copy;
    std::string startFolder;
    if (elevated) {
        // The copy will run with administrator rights: it must come from a folder that no other
        // process of the user can write, or one could replace it or plant a library beside it.
        if (!CreateProtectedFolder(startFolder, folderLock)) return;
        copy = startFolder + "Del" + std::to_string(GetCurrentProcessId()) + ".tmp";
        file = WriteExclusiveCopy(own, copy);
        if (!file) return;
    } else {
        char tempFolder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tempFolder);
        char tempFile[MAX_PATH] = {};
        GetTempFileNameA(tempFolder, "Del", 0, tempFile);
        CopyFileA(own.c_str(), tempFile, FALSE);
        copy = tempFile;
        startFolder = tempFolder;
        // While this handle is open the system keeps the copy; once neither it nor the running
        // copy holds the file, the file is deleted.
        file.Reset(CreateFileA(copy.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    }

    // The copy inherits these handles under the same values and waits on them until every
    // process of the first stage has ended: this one, and the one that asked for the rights.
    constexpr DWORD kAccess = SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION;
    CUniqueHandle self(OpenProcess(kAccess, TRUE, GetCurrentProcessId()));
    CUniqueHandle requester(
        requesterId > 0 ? OpenProcess(kAccess, TRUE, static_cast<DWORD>(requesterId)) : nullptr);
    std::vector<std::int64_t> handles = {
        static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(self.Get()))};
    if (requester) {
        handles.push_back(
            static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(requester.Get())));
    }

    std::string commandLine = UninstallCopyCommandLine(copy, handles);
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // The copy runs in its own folder: a process's current folder cannot be removed, ours may
    // well be the installation folder, and with administrator rights the current folder must be
    // one the user cannot write either.
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       startFolder.c_str(), &startup, &process)) {
        const CUniqueHandle thread(process.hThread);
        const CUniqueHandle child(process.hProcess);
    }
}

void CWin32SetupSystem::WaitForProcessHandle(std::int64_t processHandle) {
    const HANDLE handle = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(processHandle));
    // Only a handle to another process is waited on and closed: any other value (no handle, a
    // handle of some other kind, this process itself) would hang the wait or close a handle
    // that is not ours to close.
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD processId = GetProcessId(handle);
    bool notAProcess = false;
    if (processId == 0) {
        // A value that is no handle, or a handle of another kind, is refused as invalid. A
        // process handle without the right to ask for its id is not: a copy of it with that
        // right may answer, and when none can, the process is still waited on.
        notAProcess = GetLastError() == ERROR_INVALID_HANDLE;
        HANDLE query = nullptr;
        if (!notAProcess && DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(),
                                            &query, PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0)) {
            processId = GetProcessId(CUniqueHandle(query).Get());
        }
    }
    if (!ShouldWaitForStage(processId, notAProcess, GetCurrentProcessId())) return;
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
    execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
    execute.lpVerb = "runas";
    execute.lpFile = own.c_str();
    execute.lpParameters = arguments.c_str();
    execute.nShow = SW_SHOWNORMAL;
    // False also when the user refuses the system's question (ERROR_CANCELLED).
    if (!ShellExecuteExA(&execute)) return false;
    // This run stays until the restarted one has ended: an uninstall's last stage waits for
    // both, so that nothing is removed while either still runs from the installed file.
    const CUniqueHandle process(execute.hProcess);
    if (process) WaitForSingleObject(process.Get(), INFINITE);
    return true;
}
