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
            FinishUninstall(command.processHandles);
            return true;
        case SetupCommandKind::UninstallConfirmed:
            LaunchUninstallCopy(command.requesterId);
            return true;
        case SetupCommandKind::Uninstall:
            if (!host_->ConfirmUninstall()) {
                // A declined uninstall opens the program; a run with administrator rights hands
                // that over to the shell, so the program never runs with more than the user's.
                if (!system_->HasAdminRights()) return false;
                system_->RunProgram(system_->OwnModulePath());
                return true;
            }
            if (!system_->HasAdminRights()) {
                // The restarted copy goes on without asking again, and this run waits for it, so
                // that the copy that finishes the job can wait for both. A refused restart counts
                // as a declined uninstall: the program opens, and nothing was removed.
                return system_->RelaunchElevated(
                    ElevatedUninstallArguments(system_->OwnProcessId()));
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

    // A relative folder would depend on the current folder, which after a restart with
    // administrator rights is the system folder. Empty text keeps its own message below.
    if (!folder.empty() && !IsAbsolutePath(folder)) {
        system_->ShowMessage(
            SetupText::kCannotCreateFolderStart + folder + SetupText::kNotFullPathEnd,
            MessageButtons::Ok);
        return false;
    }

    const unsigned codePage = system_->AnsiCodePage();
    const std::string productName = host_->ProductName();
    const std::string target = InstalledProgramPath(folder, productName, codePage);

    bool createdNow = false;
    if (!system_->FolderExists(folder)) {
        if (!system_->CreateFolder(folder)) {
            system_->ShowMessage(
                SetupText::kCannotCreateFolderStart + folder + SetupText::kCannotCreateFolderEnd,
                MessageButtons::Ok);
            return false;
        }
        createdNow = true;
        // Recorded at once: when a later step fails, the next press finds the folder existing
        // and must still know that it is ours.
        host_->StoreCreatedInstallFolder(FolderOfPath(target, codePage));
    }

    host_->CloseRunningInstance();

    if (!system_->CopyFileWithRetry(system_->OwnModulePath(), target, false, kCopyAttempts,
                                    kCopyPauseMilliseconds)) {
        system_->ShowMessage(SetupText::kCannotCopy, MessageButtons::Ok);
        return false;
    }

    std::string errorText;
    if (!host_->CreateStartMenuShortcut(target, errorText)) {
        system_->ShowMessage(SetupText::kCannotComplete + errorText, MessageButtons::Ok);
        return false;
    }

    host_->StoreInstalledPath(target);
    RecordInstallFolder(target, createdNow);

    // Without the entry the program is still installed; it only misses from the system's list.
    system_->WriteUninstallEntry(UninstallKeyPath(), productName, UninstallCommandFor(target));
    host_->AfterUninstallEntry();

    const bool ask = host_->AskToRunAfterInstall();
    const bool run =
        !ask || system_->ShowMessage(SetupText::kRunNowStart + productName + SetupText::kRunNowEnd,
                                     MessageButtons::YesNo) == MessageAnswer::Yes;
    if (run && !system_->RunProgram(target)) {
        system_->ShowMessage(SetupText::kCannotRunStart + productName + ".", MessageButtons::Ok);
        return false;
    }
    if (!ask) system_->ShowMessage(SetupText::kCompleted, MessageButtons::Ok);
    return true;
}

// Uninstalling removes the folder only when setup made it. An upgrade into that same folder keeps
// the record; an installation into a folder that existed before clears it.
void CInstaller::RecordInstallFolder(const std::string& installedPath, bool createdNow) {
    const std::string folder = FolderOfPath(installedPath, system_->AnsiCodePage());
    if (createdNow) return;  // recorded when it was created
    if (!EqualIgnoringCase(host_->CreatedInstallFolder(), folder)) {
        host_->StoreCreatedInstallFolder("");
    }
}

std::string CInstaller::UninstallKeyPath() {
    return UninstallKeyPathFor(host_->ProductName());
}

void CInstaller::LaunchUninstallCopy(std::int64_t requesterId) {
    system_->StartUninstallCopy(requesterId);
}

void CInstaller::FinishUninstall(const std::vector<std::int64_t>& processHandles) {
    for (const std::int64_t handle : processHandles)
        system_->WaitForProcessHandle(handle);

    // Only what setup placed goes: the recorded executable (when the record really names this
    // product's executable by a full path), then its folder if setup created it and it is empty.
    const std::string installed = host_->InstalledPath();
    const std::string productName = host_->ProductName();
    const unsigned codePage = system_->AnsiCodePage();
    if (IsAbsolutePath(installed) &&
        EqualIgnoringCase(FileNameOfPath(installed, codePage), productName + ".exe")) {
        system_->ShellDelete(installed);
        const std::string folder = FolderOfPath(installed, codePage);
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
        return {FolderOfPath(host_->InstalledPath(), system_->AnsiCodePage()), true};
    }
    return {host_->DefaultInstallFolder(), false};
}
