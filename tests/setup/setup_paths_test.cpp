#include "setup/setup_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(SetupPaths, FolderAndFileNameSplitAtTheLastSeparator) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Strandix!\\Strandix!.exe", "C:\\Program Files\\Strandix!\\",
         "Strandix!.exe"},
        {"C:\\Program Files\\Strandix!\\", "C:\\Program Files\\Strandix!\\", ""},
        {"Strandix!.exe", "", "Strandix!.exe"},
        {"", "", ""},
        {"C:setup.exe", "C:", "setup.exe"},
        {"C:\\setup.exe", "C:\\", "setup.exe"},
        {"c:/temp/x/Del1.tmp", "c:/temp/x/", "Del1.tmp"},
        {"\\\\server\\share\\a.exe", "\\\\server\\share\\", "a.exe"},
        {"C:\\a.b\\file", "C:\\a.b\\", "file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FolderOfPath(c.path), c.folder);
        EXPECT_EQ(FileNameOfPath(c.path), c.name);
    }
}

TEST(SetupPaths, SetupRunIsDecidedByTheLastTenCharacters) {
    struct Case {
        const char* path;
        bool setup;
    };
    const Case cases[] = {
        {"c:\\downloads\\setup.exe", true},
        {"C:\\DOWNLOADS\\SETUP.EXE", true},
        {"C:\\x\\Setup.exe", true},
        {"c:\\x\\mysetup.exe", false},
        {"setup.exe", false},
        {"\\setup.exe", true},
        {"c:\\x\\setup.exe.tmp", false},
        {"c:\\x\\setup.com", false},
        {"c:\\setup.exe\\strandix!.exe", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(IsSetupProgramPath(c.path), c.setup);
    }
}

TEST(SetupPaths, InstalledProgramGetsExactlyOneBackslash) {
    EXPECT_EQ(InstalledProgramPath("C:\\Program Files\\Strandix!", "Strandix!"),
              "C:\\Program Files\\Strandix!\\Strandix!.exe");
    EXPECT_EQ(InstalledProgramPath("C:\\Program Files\\Strandix!\\", "Strandix!"),
              "C:\\Program Files\\Strandix!\\Strandix!.exe");
    EXPECT_EQ(InstalledProgramPath("", "Strandix!"), "\\Strandix!.exe");
    EXPECT_EQ(JoinPath("C:\\Start", "Strandix!.lnk"), "C:\\Start\\Strandix!.lnk");
    EXPECT_EQ(JoinPath("C:\\", "a"), "C:\\a");
    EXPECT_EQ(WithoutTrailingBackslash("C:\\"), "C:");
    EXPECT_EQ(WithoutTrailingBackslash("C:\\x\\\\"), "C:\\x\\");
    EXPECT_EQ(WithoutTrailingBackslash("C:\\x"), "C:\\x");
}

TEST(SetupPaths, UninstallEntryTexts) {
    EXPECT_EQ(UninstallKeyPathFor("Strandix!"),
              "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Strandix!");
    EXPECT_EQ(UninstallCommandFor("C:\\Program Files\\Strandix!\\Strandix!.exe"),
              "\"C:\\Program Files\\Strandix!\\Strandix!.exe\" /uninstall");
}

TEST(SetupPaths, AbsolutePathsNameADriveOrAServer) {
    struct Case {
        const char* path;
        bool absolute;
    };
    const Case cases[] = {
        {"C:\\x\\Strandix!.exe", true},
        {"z:/x", true},
        {"\\\\server\\share\\x", true},
        {"C:x\\Strandix!.exe", false},
        {"\\x\\a.exe", false},
        {"x\\a.exe", false},
        {"", false},
        {"1:\\x", false},
        {"\\\\\\x", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(IsAbsolutePath(c.path), c.absolute);
    }
    EXPECT_TRUE(EqualIgnoringCase("C:\\Program Files\\", "c:\\program files\\"));
    EXPECT_FALSE(EqualIgnoringCase("C:\\Program Files", "c:\\program files\\"));
}

}  // namespace
