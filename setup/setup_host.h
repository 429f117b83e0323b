// What the installer asks of the application it installs: names, paths, questions and the
// shortcut. The installer itself knows no product.
#pragma once

#include <string>

class CSetupHost {
  public:
    virtual ~CSetupHost() = default;

    // The product's name; the installed executable is this name plus ".exe".
    virtual std::string ProductName() = 0;

    // The full path of the installed executable as recorded at the last installation; empty when
    // none is recorded.
    virtual std::string InstalledPath() = 0;

    // Whether a finished installation asks "run it now?" (true) or starts the installed copy at
    // once and says that setup completed (false).
    virtual bool AskToRunAfterInstall() = 0;

    // Asks a running copy of the program to close, and gives it a moment to do so.
    virtual void CloseRunningInstance() = 0;

    // Asks the user whether to uninstall; true only for Yes.
    virtual bool ConfirmUninstall() = 0;

    // Makes the Start-menu shortcut to `installedPath`. On failure the host has told the user or
    // leaves a text in `errorText` for the installer to show after "Setup could not complete.  ".
    virtual bool CreateStartMenuShortcut(std::string installedPath, std::string& errorText) = 0;

    // The folder offered for a fresh installation.
    virtual std::string DefaultInstallFolder() = 0;

    // Records the installed executable's full path (a failure goes unreported).
    virtual void StoreInstalledPath(const std::string& installedPath) = 0;

    // False stops an installation before it starts, without a message.
    virtual bool ReadyToInstall() = 0;

    // Called after the uninstall entry has been written (or could not be).
    virtual void AfterUninstallEntry() = 0;

    // Removes the Start-menu shortcut made by CreateStartMenuShortcut; failures are ignored.
    virtual void RemoveStartMenuShortcut() = 0;

    // The installation folder, ending in a backslash, when setup created it itself; empty when
    // setup installed into a folder that existed before. Uninstalling removes a folder only when
    // it is this one and nothing else is left in it.
    virtual std::string CreatedInstallFolder() = 0;
    virtual void StoreCreatedInstallFolder(const std::string& folder) = 0;
};
