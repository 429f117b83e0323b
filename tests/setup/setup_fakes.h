// A setup host and a system that write every call as one line into a shared log and answer from
// fields the test sets, so a test compares the whole order of the steps at once.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "setup/installer.h"
#include "setup/setup_host.h"
#include "setup/setup_system.h"

using CallLog = std::vector<std::string>;

class CFakeSetupHost : public CSetupHost {
  public:
    explicit CFakeSetupHost(CallLog& log) : log_(log) {}

    std::string productName = "Strandix!";
    std::string installedPath;
    std::string createdFolder;
    bool askToRun = true;
    bool confirmUninstall = true;
    bool shortcutSucceeds = true;
    std::string shortcutError;
    bool readyToInstall = true;

    // Questions that only supply a value are not logged: the log shows what happened.
    std::string ProductName() override { return productName; }
    std::string InstalledPath() override { return installedPath; }
    bool AskToRunAfterInstall() override { return askToRun; }
    void CloseRunningInstance() override { Log("CloseRunningInstance"); }
    bool ConfirmUninstall() override {
        Log("ConfirmUninstall");
        return confirmUninstall;
    }
    bool CreateStartMenuShortcut(std::string path, std::string& errorText) override {
        Log("CreateStartMenuShortcut " + path);
        errorText = shortcutError;
        return shortcutSucceeds;
    }
    std::string DefaultInstallFolder() override { return "C:\\Program Files\\" + productName; }
    void StoreInstalledPath(const std::string& path) override {
        Log("StoreInstalledPath " + path);
        installedPath = path;
    }
    bool ReadyToInstall() override {
        Log("ReadyToInstall");
        return readyToInstall;
    }
    void AfterUninstallEntry() override { Log("AfterUninstallEntry"); }
    void RemoveStartMenuShortcut() override { Log("RemoveStartMenuShortcut"); }
    std::string CreatedInstallFolder() override { return createdFolder; }
    void StoreCreatedInstallFolder(const std::string& folder) override {
        Log("StoreCreatedInstallFolder " + folder);
        createdFolder = folder;
    }

  private:
    void Log(std::string line) { log_.push_back(std::move(line)); }
    CallLog& log_;
};

class CFakeSetupSystem : public CSetupSystem {
  public:
    explicit CFakeSetupSystem(CallLog& log) : log_(log) {}

    std::string modulePath = "c:\\downloads\\setup.exe";
    std::vector<std::string> existingFolders;
    std::vector<std::string> existingFiles;
    bool createFolderSucceeds = true;
    bool copySucceeds = true;
    bool entrySucceeds = true;
    bool runSucceeds = true;
    bool admin = true;
    bool relaunchSucceeds = true;
    unsigned codePage = 1252;
    std::int64_t processId = 4321;
    std::deque<MessageAnswer> answers;  // consumed in order; Ok when none is left

    std::string OwnModulePath() override { return modulePath; }
    unsigned AnsiCodePage() override { return codePage; }
    std::int64_t OwnProcessId() override { return processId; }
    bool FolderExists(const std::string& folder) override {
        return Contains(existingFolders, folder);
    }
    bool FileExists(const std::string& path) override { return Contains(existingFiles, path); }
    bool CreateFolder(const std::string& folder) override {
        Log("CreateFolder " + folder);
        if (createFolderSucceeds) existingFolders.push_back(folder);
        return createFolderSucceeds;
    }
    bool CopyFileWithRetry(const std::string& source, const std::string& target, bool failIfExists,
                           int attempts, unsigned pause) override {
        Log("CopyFileWithRetry " + source + " -> " + target +
            (failIfExists ? " keep " : " replace ") + std::to_string(attempts) + "x" +
            std::to_string(pause) + "ms");
        return copySucceeds;
    }
    bool ShellDelete(const std::string& path) override {
        Log("ShellDelete " + path);
        return true;
    }
    bool RemoveEmptyFolder(const std::string& folder) override {
        Log("RemoveEmptyFolder " + folder);
        return true;
    }
    bool WriteUninstallEntry(const std::string& key, const std::string& name,
                             const std::string& command) override {
        Log("WriteUninstallEntry " + key + " | " + name + " | " + command);
        return entrySucceeds;
    }
    void DeleteUninstallEntry(const std::string& key) override {
        Log("DeleteUninstallEntry " + key);
    }
    MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) override {
        static const char* const kButtons[] = {"Ok", "OkCancel", "RetryCancel", "YesNo",
                                               "YesNoCancel"};
        Log("ShowMessage " + std::string(kButtons[static_cast<int>(buttons)]) + " [" + text + "]");
        if (answers.empty()) return MessageAnswer::Ok;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool RunProgram(const std::string& path) override {
        Log("RunProgram " + path);
        return runSucceeds;
    }
    void RunSetupDialog(CInstaller& /*installer*/) override { Log("RunSetupDialog"); }
    void StartUninstallCopy(std::int64_t requesterId) override {
        Log("StartUninstallCopy " + std::to_string(requesterId));
    }
    void WaitForProcessHandle(std::int64_t handle) override {
        Log("WaitForProcessHandle " + std::to_string(handle));
    }
    bool HasAdminRights() override { return admin; }
    bool RelaunchElevated(const std::string& arguments) override {
        Log("RelaunchElevated " + arguments);
        return relaunchSucceeds;
    }

  private:
    static bool Contains(const std::vector<std::string>& list, const std::string& item) {
        for (const std::string& entry : list) {
            if (entry == item) return true;
        }
        return false;
    }
    void Log(std::string line) { log_.push_back(std::move(line)); }
    CallLog& log_;
};
