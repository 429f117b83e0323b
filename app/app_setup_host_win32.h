// The application's answers to the installer: its name, its settings key, its Start-menu
// shortcut and the handshake with a running copy.
#pragma once

#include <string>

#include "setup/setup_host.h"

// The settings value beside "InstallPath" that remembers the folder setup created itself.
inline constexpr char kCreatedInstallFolderValue[] = "CreatedInstallFolder";

class CAppSetupHost : public CSetupHost {
  public:
    std::string ProductName() override;
    std::string InstalledPath() override;
    bool AskToRunAfterInstall() override;
    void CloseRunningInstance() override;
    bool ConfirmUninstall() override;
    bool CreateStartMenuShortcut(std::string installedPath, std::string& errorText) override;
    std::string DefaultInstallFolder() override;
    void StoreInstalledPath(const std::string& installedPath) override;
    bool ReadyToInstall() override;
    void AfterUninstallEntry() override;
    void RemoveStartMenuShortcut() override;
    std::string CreatedInstallFolder() override;
    void StoreCreatedInstallFolder(const std::string& folder) override;
};
