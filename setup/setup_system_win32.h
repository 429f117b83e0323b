// The system underneath the installer on Windows, and the message boxes of setup.
#pragma once

#include <windows.h>

#include <string>

#include "setup/setup_system.h"

// Message boxes of setup and uninstall carry the application's title and are owned by the
// current main window: the setup dialog while it is open, no window otherwise.
void SetSetupMessageOwner(HWND owner);
MessageAnswer ShowSetupMessage(const std::string& text, MessageButtons buttons);

// Who may use the folder that an uninstall copy with administrator rights runs from:
// administrators and the system everything, users only reading and running; nothing inherited.
inline constexpr char kProtectedFolderSecurity[] =
    "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

class CWin32SetupSystem : public CSetupSystem {
  public:
    std::string OwnModulePath() override;
    unsigned AnsiCodePage() override;
    std::int64_t OwnProcessId() override;
    bool FolderExists(const std::string& folder) override;
    bool FileExists(const std::string& path) override;
    bool CreateFolder(const std::string& folder) override;
    bool CopyFileWithRetry(const std::string& source, const std::string& target, bool failIfExists,
                           int attempts, unsigned pauseMilliseconds) override;
    bool ShellDelete(const std::string& path) override;
    bool RemoveEmptyFolder(const std::string& folder) override;
    bool WriteUninstallEntry(const std::string& keyPath, const std::string& displayName,
                             const std::string& uninstallString) override;
    void DeleteUninstallEntry(const std::string& keyPath) override;
    MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) override;
    bool RunProgram(const std::string& path) override;
    void RunSetupDialog(CInstaller& installer) override;
    void StartUninstallCopy(std::int64_t requesterId) override;
    void WaitForProcessHandle(std::int64_t processHandle) override;
    bool HasAdminRights() override;
    bool RelaunchElevated(const std::string& arguments) override;
};
