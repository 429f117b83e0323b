#include "app/app_setup_host_win32.h"

#include <windows.h>

#include "app/instance_handshake_win32.h"
#include "app/settings_registry_win32.h"
#include "app/settings_store.h"
#include "platform/unique_handle_win32.h"
#include "setup/setup_system_win32.h"
#include "setup/shell_files.h"

namespace {

constexpr char kProductName[] = "Strandix!";

// How long a copy that accepted the close request gets to end, so that its executable is free
// for the copy or the removal that follows.
constexpr DWORD kClosedCopyExitMs = 5000;

}  // namespace

std::string CAppSetupHost::ProductName() {
    return kProductName;
}

std::string CAppSetupHost::InstalledPath() {
    return ReadSettingString(SettingName::kInstallPath, "");
}

bool CAppSetupHost::AskToRunAfterInstall() {
    return true;
}

void CAppSetupHost::CloseRunningInstance() {
    const HWND window = FindRunningInstance();
    if (window == nullptr) return;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const CUniqueHandle process(
        processId != GetCurrentProcessId() ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr);
    DWORD_PTR answer = 0;
    const LRESULT sent =
        SendMessageTimeoutA(window, CloseStrandixMessage(), 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                            kCloseRequestTimeoutMs, &answer);
    // The copy has ended its dialog; its executable stays in use until the process is gone.
    if (process && sent != 0) WaitForSingleObject(process.Get(), kClosedCopyExitMs);
}

bool CAppSetupHost::ConfirmUninstall() {
    return ShowSetupMessage("Are you sure you want to uninstall Strandix?",
                            MessageButtons::YesNoCancel) == MessageAnswer::Yes;
}

bool CAppSetupHost::CreateStartMenuShortcut(std::string installedPath, std::string& /*errorText*/) {
    std::string programs;
    if (ProgramsMenuFolder(programs) && CreateShortcut(installedPath, ProductName(), programs)) {
        return true;
    }
    // The error text stays empty: this box says it all, the installer only adds that setup could
    // not complete.
    ShowSetupMessage(
        "Setup could not create a shortcut to Strandix! on the start menu.\n"
        "You can create your own shortcut to:\n" +
            installedPath,
        MessageButtons::Ok);
    return false;
}

std::string CAppSetupHost::DefaultInstallFolder() {
    return ProgramFilesFolder() + "\\" + kProductName;
}

void CAppSetupHost::StoreInstalledPath(const std::string& installedPath) {
    WriteSettingString(SettingName::kInstallPath, installedPath.c_str());
}

bool CAppSetupHost::ReadyToInstall() {
    return true;
}

void CAppSetupHost::AfterUninstallEntry() {}

void CAppSetupHost::RemoveStartMenuShortcut() {
    std::string programs;
    if (ProgramsMenuFolder(programs)) ShellDelete(programs + "\\" + kProductName + ".lnk");
}

std::string CAppSetupHost::CreatedInstallFolder() {
    return ReadSettingString(kCreatedInstallFolderValue, "");
}

void CAppSetupHost::StoreCreatedInstallFolder(const std::string& folder) {
    WriteSettingString(kCreatedInstallFolderValue, folder.c_str());
}
