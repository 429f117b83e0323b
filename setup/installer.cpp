#include "setup/installer.h"

#include "setup/setup_command_line.h"
#include "setup/setup_paths.h"

namespace {

// A copy that keeps failing is tried for about five seconds: a program that was just asked to
// close may still hold its executable open.
constexpr int kCopyAttempts = 50;
constexpr unsigned kCopyPauseMilliseconds = 100;

}  // namespace

bool CInstaller::HandleCommandLine(std::string_view arguments) {
    if (IsSetupProgramPath(system_->OwnModulePath())) {
        // Program Files and HKEY_LOCAL_MACHINE need administrator rights. Without them setup
        // restarts itself with them; when the user refuses, it goes on here and the steps that
        // need the rights fail with their own messages.
        if (!IsElevatedSetupRun(arguments) && !system_->HasAdminRights() &&
            system_->RelaunchElevated(kElevatedSetupArguments)) {
            return true;
        }
        system_->RunSetupDialog(*this);
        return true;
    }

    const SetupCommand command = ParseSetupArguments(arguments);
    switch (command.kind) {
        case SetupCommandKind::FinishUninstall:
            host_->CloseRunningInstance();
            FinishUninstall(command.processHandle);
            return true;
        case SetupCommandKind::UninstallConfirmed:
            LaunchUninstallCopy();
            return true;
        case SetupCommandKind::Uninstall:
            if (!host_->ConfirmUninstall()) return false;
            if (!system_->HasAdminRights()) {
                // The restarted copy goes on without asking again. A refused restart counts as a
                // declined uninstall: the program opens, and nothing was removed.
                return system_->RelaunchElevated(kElevatedUninstallArguments);
            }
            LaunchUninstallCopy();
            return true;
        case SetupCommandKind::Ordinary:
            break;
    }
    return false;
}

bool CInstaller::Install(const std::string& folder) {
    if (!host_->ReadyToInstall()) return false;

    bool createdNow = false;
    if (!system_->FolderExists(folder)) {
        if (!system_->CreateFolder(folder)) {
            system_->ShowMessage(
                SetupText::CannotCreateFolderStart + folder + SetupText::CannotCreateFolderEnd,
                MessageButtons::Ok);
            return false;
        }
        createdNow = true;
    }

    host_->CloseRunningInstance();

    const std::string productName = host_->ProductName();
    const std::string target = InstalledProgramPath(folder, productName);
    if (!system_->CopyFileWithRetry(system_->OwnModulePath(), target, false, kCopyAttempts,
                                    kCopyPauseMilliseconds)) {
        system_->ShowMessage(SetupText::CannotCopy, MessageButtons::Ok);
        return false;
    }

    std::string errorText;
    if (!host_->CreateStartMenuShortcut(target, errorText)) {
        system_->ShowMessage(SetupText::CannotComplete + errorText, MessageButtons::Ok);
        return false;
    }

    host_->StoreInstalledPath(target);
    RecordInstallFolder(target, createdNow);

    // Without the entry the program is still installed; it only misses from the system's list.
    system_->WriteUninstallEntry(UninstallKeyPath(), productName, UninstallCommandFor(target));
    host_->AfterUninstallEntry();

    const bool ask = host_->AskToRunAfterInstall();
    const bool run =
        !ask || system_->ShowMessage(SetupText::RunNowStart + productName + SetupText::RunNowEnd,
                                     MessageButtons::YesNo) == MessageAnswer::Yes;
    if (run && !system_->RunProgram(target)) {
        system_->ShowMessage(SetupText::CannotRunStart + productName + ".", MessageButtons::Ok);
        return false;
    }
    if (!ask) system_->ShowMessage(SetupText::Completed, MessageButtons::Ok);
    return true;
}

// Uninstalling removes the folder only when setup made it. An upgrade into that same folder keeps
// the record; an installation into a folder that existed before clears it.
void CInstaller::RecordInstallFolder(const std::string& installedPath, bool createdNow) {
    const std::string folder = FolderOfPath(installedPath);
    if (createdNow) {
        host_->StoreCreatedInstallFolder(folder);
    } else if (!EqualIgnoringCase(host_->CreatedInstallFolder(), folder)) {
        host_->StoreCreatedInstallFolder("");
    }
}

std::string CInstaller::UninstallKeyPath() {
    return UninstallKeyPathFor(host_->ProductName());
}

void CInstaller::LaunchUninstallCopy() {
    system_->StartUninstallCopy();
}

void CInstaller::FinishUninstall(std::int64_t processHandle) {
    system_->WaitForProcessHandle(processHandle);

    // Only what setup placed goes: the recorded executable (when the record really names this
    // product's executable by a full path), then its folder if setup created it and it is empty.
    const std::string installed = host_->InstalledPath();
    const std::string productName = host_->ProductName();
    if (IsAbsolutePath(installed) &&
        EqualIgnoringCase(FileNameOfPath(installed), productName + ".exe")) {
        system_->ShellDelete(installed);
        const std::string folder = FolderOfPath(installed);
        if (EqualIgnoringCase(host_->CreatedInstallFolder(), folder)) {
            system_->RemoveEmptyFolder(folder);
        }
    }

    system_->DeleteUninstallEntry(UninstallKeyPath());
    host_->RemoveStartMenuShortcut();
}

SetupDialogStart CInstaller::StartOfSetupDialog() {
    const std::string installed = host_->InstalledPath();
    if (!installed.empty() && system_->FileExists(installed)) {
        return {FolderOfPath(host_->InstalledPath()), true};
    }
    return {host_->DefaultInstallFolder(), false};
}
