#include "setup/installer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/setup/setup_fakes.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const std::string kFolder = "C:\\Apps\\Strandix!";
const std::string kTarget = "C:\\Apps\\Strandix!\\Strandix!.exe";
const std::string kEntry =
    "WriteUninstallEntry "
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Strandix! | "
    "Strandix! | \"C:\\Apps\\Strandix!\\Strandix!.exe\" /uninstall";
const std::string kCopy =
    "CopyFileWithRetry c:\\downloads\\setup.exe -> " + kTarget + " replace 50x100ms";
constexpr char kNotFullPathStart[] = "ShowMessage Ok [Setup could not complete.  The folder ";
constexpr char kNotFullPathEnd[] =
    " is not a full path.  Please enter a folder that begins with a drive, such as "
    "C:\\Program Files, or with a server, such as \\\\server\\share.]";
const std::string kRunQuestion =
    "ShowMessage YesNo [Setup completed succcessfully.  Would you like to run Strandix! now?]";

class InstallerTest : public ::testing::Test {
  protected:
    CallLog log;
    CFakeSetupHost host{log};
    CFakeSetupSystem system{log};
    CInstaller installer{host, system};
};

TEST_F(InstallerTest, FreshInstallIntoAMissingFolderAnsweredNo) {
    system.existingFolders = {"C:\\Apps"};
    system.answers = {MessageAnswer::No};

    EXPECT_TRUE(installer.Install(kFolder));
    EXPECT_THAT(
        log,
        ElementsAre("ReadyToInstall", "CreateFolder " + kFolder,
                    "StoreCreatedInstallFolder C:\\Apps\\Strandix!\\", "CloseRunningInstance",
                    kCopy, "CreateStartMenuShortcut " + kTarget, "StoreInstalledPath " + kTarget,
                    kEntry, "AfterUninstallEntry", kRunQuestion));
}

TEST_F(InstallerTest, AnsweredYesStartsTheInstalledCopy) {
    system.existingFolders = {kFolder + "\\"};
    system.answers = {MessageAnswer::Yes};

    EXPECT_TRUE(installer.Install(kFolder + "\\"));
    // An existing folder is used as it is, and the target gets no doubled backslash.
    EXPECT_THAT(
        log, ElementsAre("ReadyToInstall", "CloseRunningInstance", kCopy,
                         "CreateStartMenuShortcut " + kTarget, "StoreInstalledPath " + kTarget,
                         "StoreCreatedInstallFolder ", kEntry, "AfterUninstallEntry", kRunQuestion,
                         "RunProgram " + kTarget));
}

TEST_F(InstallerTest, HostThatDoesNotAskStartsAtOnceAndSaysSo) {
    system.existingFolders = {kFolder};
    host.askToRun = false;

    EXPECT_TRUE(installer.Install(kFolder));
    EXPECT_THAT(log, testing::IsSupersetOf({"RunProgram " + kTarget}));
    EXPECT_EQ(log.back(), "ShowMessage Ok [Setup completed succcessfully.]");
    EXPECT_EQ(log[log.size() - 2], "RunProgram " + kTarget);
}

TEST_F(InstallerTest, UpgradeIntoTheFolderSetupCreatedKeepsTheRecord) {
    host.createdFolder = "c:\\apps\\strandix!\\";
    system.existingFolders = {kFolder + "\\"};
    system.answers = {MessageAnswer::No};

    EXPECT_TRUE(installer.Install(kFolder + "\\"));
    EXPECT_EQ(host.createdFolder, "c:\\apps\\strandix!\\");
    for (const std::string& line : log)
        EXPECT_NE(line.rfind("StoreCreatedInstallFolder", 0), 0u);
}

TEST_F(InstallerTest, EachFailureShowsItsMessageAndStopsThere) {
    struct Case {
        const char* name;
        void (*arrange)(CFakeSetupHost&, CFakeSetupSystem&);
        std::string folder;
        std::vector<std::string> lastLines;  // the log ends with these
    };
    const Case cases[] = {
        {"not ready",
         [](CFakeSetupHost& h, CFakeSetupSystem&) { h.readyToInstall = false; },
         kFolder,
         {"ReadyToInstall"}},
        {"folder",
         [](CFakeSetupHost&, CFakeSetupSystem& s) { s.createFolderSucceeds = false; },
         "C:\\Missing\\Strandix!",
         {"CreateFolder C:\\Missing\\Strandix!",
          "ShowMessage Ok [Setup could not complete.  The folder C:\\Missing\\Strandix! could not "
          "be created.]"}},
        {"empty folder",
         [](CFakeSetupHost&, CFakeSetupSystem& s) { s.createFolderSucceeds = false; },
         "",
         {"CreateFolder ",
          "ShowMessage Ok [Setup could not complete.  The folder  could not be created.]"}},
        {"relative folder",
         [](CFakeSetupHost&, CFakeSetupSystem&) {},
         "Apps",
         {"ReadyToInstall", std::string(kNotFullPathStart) + "Apps" + kNotFullPathEnd}},
        {"folder relative to a drive's current folder",
         [](CFakeSetupHost&, CFakeSetupSystem&) {},
         "C:Apps",
         {"ReadyToInstall", std::string(kNotFullPathStart) + "C:Apps" + kNotFullPathEnd}},
        {"folder relative to the current drive",
         [](CFakeSetupHost&, CFakeSetupSystem&) {},
         "\\Apps",
         {"ReadyToInstall", std::string(kNotFullPathStart) + "\\Apps" + kNotFullPathEnd}},
        {"copy",
         [](CFakeSetupHost&, CFakeSetupSystem& s) { s.copySucceeds = false; },
         kFolder,
         {kCopy,
          "ShowMessage Ok [Setup could not complete.  An error occurred while copying a file.]"}},
        {"shortcut",
         [](CFakeSetupHost& h, CFakeSetupSystem&) {
             h.shortcutSucceeds = false;
             h.shortcutError = "Disk full.";
         },
         kFolder,
         {"CreateStartMenuShortcut " + kTarget,
          "ShowMessage Ok [Setup could not complete.  Disk full.]"}},
        {"run",
         [](CFakeSetupHost&, CFakeSetupSystem& s) {
             s.runSucceeds = false;
             s.answers = {MessageAnswer::Yes};
         },
         kFolder,
         {kRunQuestion, "RunProgram " + kTarget,
          "ShowMessage Ok [Setup could not run Strandix!.]"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CallLog caseLog;
        CFakeSetupHost caseHost(caseLog);
        CFakeSetupSystem caseSystem(caseLog);
        caseSystem.existingFolders = {kFolder};
        c.arrange(caseHost, caseSystem);
        CInstaller caseInstaller(caseHost, caseSystem);

        EXPECT_FALSE(caseInstaller.Install(c.folder));
        ASSERT_GE(caseLog.size(), c.lastLines.size());
        EXPECT_THAT(std::vector<std::string>(caseLog.end() - c.lastLines.size(), caseLog.end()),
                    ElementsAreArray(c.lastLines));
        const bool recorded = !caseHost.installedPath.empty();
        EXPECT_EQ(recorded, std::string(c.name) == "run");
    }
}

TEST_F(InstallerTest, AMissingEntryStillCountsAsInstalled) {
    system.existingFolders = {kFolder};
    system.entrySucceeds = false;
    system.answers = {MessageAnswer::No};
    EXPECT_TRUE(installer.Install(kFolder));
    EXPECT_EQ(log.back(), kRunQuestion);
}

TEST_F(InstallerTest, ASecondPressRepeatsEverythingFromTheStart) {
    system.createFolderSucceeds = false;
    EXPECT_FALSE(installer.Install(kFolder));
    system.createFolderSucceeds = true;
    system.answers = {MessageAnswer::No};
    log.clear();

    EXPECT_TRUE(installer.Install(kFolder));
    EXPECT_EQ(log.front(), "ReadyToInstall");
    EXPECT_EQ(log[1], "CreateFolder " + kFolder);
    EXPECT_EQ(host.createdFolder, kFolder + "\\");
}

TEST_F(InstallerTest, AFolderCreatedByAFailedPressStaysRecordedForTheNext) {
    system.existingFolders = {"C:\\Apps"};
    system.copySucceeds = false;
    EXPECT_FALSE(installer.Install(kFolder));
    EXPECT_EQ(host.createdFolder, kFolder + "\\");

    // The second press finds the folder and must not forget that setup made it.
    system.copySucceeds = true;
    system.answers = {MessageAnswer::No};
    log.clear();
    EXPECT_TRUE(installer.Install(kFolder));
    EXPECT_EQ(host.createdFolder, kFolder + "\\");
    for (const std::string& line : log)
        EXPECT_NE(line.rfind("CreateFolder", 0), 0u) << line;

    // Installing somewhere else afterwards clears the record of that folder.
    system.existingFolders.push_back("D:\\Tools");
    system.answers = {MessageAnswer::No};
    EXPECT_TRUE(installer.Install("D:\\Tools"));
    EXPECT_EQ(host.createdFolder, "");
}

TEST(InstallerCodePage, ASecondByteLikeABackslashIsNoFolderEnd) {
    // "\x95\x5C" is one character in code page 932; in 1252 it is a letter and a backslash.
    const std::string folder = "C:\\\x95\x5C";
    struct Case {
        unsigned codePage;
        std::string target;
        std::string recordedFolder;
    };
    const Case cases[] = {
        {932, folder + "\\Strandix!.exe", folder + "\\"},
        {1252, folder + "Strandix!.exe", folder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage);
        CallLog log;
        CFakeSetupHost host(log);
        CFakeSetupSystem system(log);
        system.codePage = c.codePage;
        system.answers = {MessageAnswer::No};
        CInstaller installer(host, system);

        EXPECT_TRUE(installer.Install(folder));
        EXPECT_EQ(host.installedPath, c.target);
        EXPECT_EQ(host.createdFolder, c.recordedFolder);
        EXPECT_FALSE(installer.StartOfSetupDialog().upgrade);
        system.existingFiles = {c.target};
        EXPECT_EQ(installer.StartOfSetupDialog().folder, c.recordedFolder);
    }
}

TEST_F(InstallerTest, DialogOffersAnUpgradeOnlyForAnExistingRecordedExecutable) {
    host.installedPath = kTarget;
    system.existingFiles = {kTarget};
    SetupDialogStart start = installer.StartOfSetupDialog();
    EXPECT_TRUE(start.upgrade);
    EXPECT_EQ(start.folder, "C:\\Apps\\Strandix!\\");

    system.existingFiles.clear();
    start = installer.StartOfSetupDialog();
    EXPECT_FALSE(start.upgrade);
    EXPECT_EQ(start.folder, "C:\\Program Files\\Strandix!");

    host.installedPath.clear();
    system.existingFiles = {""};
    start = installer.StartOfSetupDialog();
    EXPECT_FALSE(start.upgrade);
    EXPECT_EQ(start.folder, "C:\\Program Files\\Strandix!");
}

TEST(InstallerDispatch, CommandLineChoosesTheRun) {
    struct Case {
        const char* module;
        const char* arguments;
        bool admin;
        bool relaunches;
        bool confirms;
        bool handled;
        std::vector<std::string> log;
    };
    const char* const kInstalled = "c:\\apps\\strandix!\\strandix!.exe";
    const Case cases[] = {
        {"c:\\d\\SETUP.EXE", "/uninstall", true, true, true, true, {"RunSetupDialog"}},
        {"c:\\d\\setup.exe", "", false, true, true, true, {"RelaunchElevated /elevated"}},
        {"c:\\d\\setup.exe",
         "",
         false,
         false,
         true,
         true,
         {"RelaunchElevated /elevated", "RunSetupDialog"}},
        {"c:\\d\\setup.exe", "/elevated", false, true, true, true, {"RunSetupDialog"}},
        {"c:\\d\\mysetup.exe", "", true, true, true, false, {}},
        {kInstalled, "", true, true, true, false, {}},
        {kInstalled, "/Uninstall", true, true, true, false, {}},
        {kInstalled,
         "/uninstall",
         true,
         true,
         true,
         true,
         {"ConfirmUninstall", "StartUninstallCopy 0"}},
        // Declined: the program opens, with administrator rights handed to the shell to drop.
        {kInstalled, "/uninstall", false, true, false, false, {"ConfirmUninstall"}},
        {kInstalled,
         "/uninstall",
         true,
         true,
         false,
         true,
         {"ConfirmUninstall", std::string("RunProgram ") + kInstalled}},
        {kInstalled,
         "/uninstall",
         false,
         true,
         true,
         true,
         {"ConfirmUninstall", "RelaunchElevated /uninstall /elevated:4321"}},
        {kInstalled,
         "/uninstall",
         false,
         false,
         true,
         false,
         {"ConfirmUninstall", "RelaunchElevated /uninstall /elevated:4321"}},
        {kInstalled, "/uninstall /elevated", false, true, true, true, {"StartUninstallCopy 0"}},
        {kInstalled,
         "/uninstall /elevated:4321",
         true,
         true,
         true,
         true,
         {"StartUninstallCopy 4321"}},
        {kInstalled,
         "/uninstall:12,34",
         true,
         true,
         true,
         true,
         {"CloseRunningInstance", "WaitForProcessHandle 12", "WaitForProcessHandle 34",
          "DeleteUninstallEntry "
          "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Strandix!",
          "RemoveStartMenuShortcut"}},
        {kInstalled,
         "/uninstall:",
         true,
         true,
         true,
         true,
         {"CloseRunningInstance", "WaitForProcessHandle 0",
          "DeleteUninstallEntry "
          "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Strandix!",
          "RemoveStartMenuShortcut"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.module) + " " + c.arguments);
        CallLog log;
        CFakeSetupHost host(log);
        CFakeSetupSystem system(log);
        system.modulePath = c.module;
        system.admin = c.admin;
        system.relaunchSucceeds = c.relaunches;
        host.confirmUninstall = c.confirms;
        CInstaller installer(host, system);

        EXPECT_EQ(installer.HandleCommandLine(c.arguments), c.handled);
        EXPECT_THAT(log, ElementsAreArray(c.log));
    }
}

TEST(InstallerUninstall, RemovesOnlyWhatSetupPlaced) {
    const std::string kKey =
        "DeleteUninstallEntry "
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Strandix!";
    struct Case {
        const char* name;
        std::string installed;
        std::string createdFolder;
        std::vector<std::string> removals;  // between the wait and the entry
    };
    const Case cases[] = {
        {"created folder",
         kTarget,
         "c:\\apps\\strandix!\\",
         {"ShellDelete " + kTarget, "RemoveEmptyFolder C:\\Apps\\Strandix!\\"}},
        {"existing folder", kTarget, "", {"ShellDelete " + kTarget}},
        {"another folder was created", kTarget, "C:\\Apps\\", {"ShellDelete " + kTarget}},
        {"nothing recorded", "", "C:\\Apps\\Strandix!\\", {}},
        {"relative record", "Strandix!\\Strandix!.exe", "Strandix!\\", {}},
        {"not the product", "C:\\Windows\\explorer.exe", "C:\\Windows\\", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CallLog log;
        CFakeSetupHost host(log);
        CFakeSetupSystem system(log);
        host.installedPath = c.installed;
        host.createdFolder = c.createdFolder;
        CInstaller installer(host, system);

        installer.FinishUninstall({1234, 88});

        // Both stage-1 processes are waited for before anything is removed.
        std::vector<std::string> expected = {"WaitForProcessHandle 1234",
                                             "WaitForProcessHandle 88"};
        expected.insert(expected.end(), c.removals.begin(), c.removals.end());
        expected.push_back(kKey);
        expected.push_back("RemoveStartMenuShortcut");
        EXPECT_THAT(log, ElementsAreArray(expected));
        // The record stays: a later setup finds the executable gone and installs afresh.
        EXPECT_EQ(host.installedPath, c.installed);
    }
}

}  // namespace
