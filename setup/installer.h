// The self-installer: installing from the setup dialog, the command-line dispatch at start-up,
// and the two stages of uninstalling.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "setup/setup_host.h"
#include "setup/setup_system.h"

// How the setup dialog starts: the folder it shows, and whether this is an upgrade of an
// existing installation (folder read-only, button "&Upgrade") or a fresh one.
struct SetupDialogStart {
    std::string folder;
    bool upgrade = false;
};

class CInstaller {
  public:
    CInstaller(CSetupHost& host, CSetupSystem& system) : host_(&host), system_(&system) {}

    // Start-up hands over the arguments (the command line without the program's name). True
    // means a setup run or an uninstall stage was carried out and the program ends now; false
    // means an ordinary start goes on (also after an uninstall that the user declined).
    bool HandleCommandLine(std::string_view arguments);

    // Installs into `folder`, telling the user of every failure. True when the installation is
    // complete; false leaves the setup dialog open for another try.
    bool Install(const std::string& folder);

    // The uninstall entry's key under HKEY_LOCAL_MACHINE.
    std::string UninstallKeyPath();

    // Stage 1 of uninstalling: starts the temporary copy that finishes the job. `requesterId`
    // is the process that asked for administrator rights on our behalf (0: none).
    void LaunchUninstallCopy(std::int64_t requesterId = 0);

    // Stage 2, in the temporary copy: waits for every stage-1 process to end, then removes the
    // executable (and the folder, when setup created it and it is left empty), the uninstall
    // entry and the Start-menu shortcut.
    void FinishUninstall(const std::vector<std::int64_t>& processHandles);

    // What the setup dialog shows when it opens.
    SetupDialogStart StartOfSetupDialog();

  private:
    void RecordInstallFolder(const std::string& installedPath, bool createdNow);

    CSetupHost* host_;
    CSetupSystem* system_;
};

// Messages of the installer, as the user sees them.
namespace SetupText {
inline constexpr char kCannotCreateFolderStart[] = "Setup could not complete.  The folder ";
inline constexpr char kCannotCreateFolderEnd[] = " could not be created.";
inline constexpr char kCannotCopy[] =
    "Setup could not complete.  An error occurred while copying a file.";
inline constexpr char kCannotComplete[] = "Setup could not complete.  ";
inline constexpr char kNotFullPathEnd[] =
    " is not a full path.  Please enter a folder that begins with a drive, such as "
    "C:\\Program Files, or with a server, such as \\\\server\\share.";
inline constexpr char kRunNowStart[] = "Setup completed succcessfully.  Would you like to run ";
inline constexpr char kRunNowEnd[] = " now?";
inline constexpr char kCannotRunStart[] = "Setup could not run ";
inline constexpr char kCompleted[] = "Setup completed succcessfully.";
}  // namespace SetupText
