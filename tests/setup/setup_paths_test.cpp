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
        for (const unsigned codePage : {1252u, 932u}) {
            EXPECT_EQ(FolderOfPath(c.path, codePage), c.folder);
            EXPECT_EQ(FileNameOfPath(c.path, codePage), c.name);
        }
    }
}

TEST(SetupPaths, DoubleByteCharactersEndingInABackslashByteStayWhole) {
    // In code page 932 "\x95\x5C" is one character (a kanji) whose second byte is a backslash's;
    // 936, 949 and 950 read "\x81\x5C" so. In 1252 both are a letter and a backslash.
    struct Case {
        unsigned codePage;
        std::string path;
        std::string folder;
        bool endsInBackslash;
    };
    const Case cases[] = {
        {932, "C:\\\x95\x5C\\a.exe", "C:\\\x95\x5C\\", false},
        {932, "C:\\\x95\x5C", "C:\\", false},
        {932, "C:\\\x95\x5C\\", "C:\\\x95\x5C\\", true},
        {932, "C:\\\x95\x5C/x", "C:\\\x95\x5C/", false},
        {932, "C:\\a\x95", "C:\\", false},            // a lead byte at the end stands alone
        {932, "C:\\\xA0\x5C", "C:\\\xA0\x5C", true},  // 0xA0 is one byte (half-width kana)
        {936, "C:\\\x81\x5C", "C:\\", false},
        {949, "C:\\\x81\x5C", "C:\\", false},
        {950, "C:\\\x81\x5C", "C:\\", false},
        {1361, "C:\\\x84\x5C", "C:\\", false},
        {1252, "C:\\\x95\x5C", "C:\\\x95\x5C", true},
        {1252, "C:\\\x95\x5C\\a.exe", "C:\\\x95\x5C\\", false},
        {65001, "C:\\\xE8\x5C", "C:\\\xE8\x5C", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.codePage << " " << c.path);
        EXPECT_EQ(FolderOfPath(c.path, c.codePage), c.folder);
        EXPECT_EQ(FileNameOfPath(c.path, c.codePage), c.path.substr(c.folder.size()));
        EXPECT_EQ(EndsInBackslash(c.path, c.codePage), c.endsInBackslash);
        const std::string expectedJoin = c.path + (c.endsInBackslash ? "" : "\\") + "x.lnk";
        EXPECT_EQ(JoinPath(c.path, "x.lnk", c.codePage), expectedJoin);
        EXPECT_EQ(InstalledProgramPath(c.path, "P", c.codePage),
                  c.path + (c.endsInBackslash ? "" : "\\") + "P.exe");
        EXPECT_EQ(WithoutTrailingBackslash(c.path, c.codePage),
                  c.endsInBackslash ? c.path.substr(0, c.path.size() - 1) : c.path);
    }
}

TEST(SetupPaths, LeadBytesOfTheDoubleByteCodePages) {
    struct Case {
        unsigned codePage;
        unsigned char first, last;    // a range of lead bytes
        unsigned char before, after;  // the bytes just outside it
    };
    const Case cases[] = {
        {932, 0x81, 0x9F, 0x80, 0xA0},  {932, 0xE0, 0xFC, 0xDF, 0xFD},
        {936, 0x81, 0xFE, 0x80, 0xFF},  {949, 0x81, 0xFE, 0x80, 0xFF},
        {950, 0x81, 0xFE, 0x80, 0xFF},  {1361, 0x84, 0xD3, 0x83, 0xD4},
        {1361, 0xD8, 0xDE, 0xD7, 0xDF}, {1361, 0xE0, 0xF9, 0xDF, 0xFA},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.codePage << " " << int{c.first});
        EXPECT_TRUE(IsLeadByte(c.codePage, c.first));
        EXPECT_TRUE(IsLeadByte(c.codePage, c.last));
        EXPECT_FALSE(IsLeadByte(c.codePage, c.before));
        EXPECT_FALSE(IsLeadByte(c.codePage, c.after));
    }
    for (int byte = 0; byte < 256; ++byte) {
        EXPECT_FALSE(IsLeadByte(1252, static_cast<unsigned char>(byte)));
        EXPECT_FALSE(IsLeadByte(65001, static_cast<unsigned char>(byte)));
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
    constexpr unsigned kWestern = 1252;
    EXPECT_EQ(InstalledProgramPath("C:\\Program Files\\Strandix!", "Strandix!", kWestern),
              "C:\\Program Files\\Strandix!\\Strandix!.exe");
    EXPECT_EQ(InstalledProgramPath("C:\\Program Files\\Strandix!\\", "Strandix!", kWestern),
              "C:\\Program Files\\Strandix!\\Strandix!.exe");
    EXPECT_EQ(InstalledProgramPath("", "Strandix!", kWestern), "\\Strandix!.exe");
    EXPECT_EQ(JoinPath("C:\\Start", "Strandix!.lnk", kWestern), "C:\\Start\\Strandix!.lnk");
    EXPECT_EQ(JoinPath("C:\\", "a", kWestern), "C:\\a");
    EXPECT_EQ(JoinPath("", "a", kWestern), "a");
    EXPECT_EQ(WithoutTrailingBackslash("C:\\", kWestern), "C:");
    EXPECT_EQ(WithoutTrailingBackslash("C:\\x\\\\", kWestern), "C:\\x\\");
    EXPECT_EQ(WithoutTrailingBackslash("C:\\x", kWestern), "C:\\x");
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
