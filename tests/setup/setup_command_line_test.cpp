#include "setup/setup_command_line.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(SetupCommandLine, SwitchesCountOnlyAtTheStartAndInTheirOwnCase) {
    struct Case {
        const char* arguments;
        SetupCommandKind kind;
        std::int64_t handle;
    };
    const Case cases[] = {
        {"", SetupCommandKind::Ordinary, 0},
        {"/uninstall", SetupCommandKind::Uninstall, 0},
        {"/uninstallnow", SetupCommandKind::Uninstall, 0},
        {"/uninstall extra", SetupCommandKind::Uninstall, 0},
        {"/uninstall /elevated", SetupCommandKind::UninstallConfirmed, 0},
        {"/uninstall /elevated x", SetupCommandKind::Uninstall, 0},
        {"/uninstall:1234", SetupCommandKind::FinishUninstall, 1234},
        {"/uninstall:  56abc", SetupCommandKind::FinishUninstall, 56},
        {"/uninstall:", SetupCommandKind::FinishUninstall, 0},
        {"/uninstall:abc", SetupCommandKind::FinishUninstall, 0},
        {"/uninstall:-4", SetupCommandKind::FinishUninstall, -4},
        {" /uninstall", SetupCommandKind::Ordinary, 0},
        {"x /uninstall", SetupCommandKind::Ordinary, 0},
        {"/Uninstall", SetupCommandKind::Ordinary, 0},
        {"/UNINSTALL:12", SetupCommandKind::Ordinary, 0},
        {"/uninstal", SetupCommandKind::Ordinary, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const SetupCommand command = ParseSetupArguments(c.arguments);
        EXPECT_EQ(command.kind, c.kind);
        EXPECT_EQ(command.processHandle, c.handle);
    }
}

TEST(SetupCommandLine, ArgumentsFollowTheProgramNameAndItsBlanks) {
    struct Case {
        const char* commandLine;
        const char* arguments;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\Strandix!\\Strandix!.exe\" /uninstall", "/uninstall"},
        {"C:\\x\\Strandix!.exe   /uninstall:12", "/uninstall:12"},
        {"C:\\x\\Strandix!.exe\t/uninstall", "/uninstall"},
        {"\"C:\\a b\\Del1.tmp\"/uninstall:7", "/uninstall:7"},
        {"Strandix!.exe", ""},
        {"\"C:\\a b\\x.exe", ""},
        {"", ""},
        {"setup.exe  a  b ", "a  b "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        EXPECT_EQ(ArgumentText(c.commandLine), c.arguments);
    }
}

TEST(SetupCommandLine, DecimalsAreReadLikeTheCLibraryWithoutOverflow) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    struct Case {
        const char* text;
        std::int64_t value;
    };
    const Case cases[] = {
        {"0", 0},
        {"1234", 1234},
        {" \t\n+77x", 77},
        {"-12", -12},
        {"- 12", 0},
        {"", 0},
        {"abc", 0},
        {"9223372036854775807", kMax},
        {"9223372036854775808", kMax},
        {"99999999999999999999999", kMax},
        {"-9223372036854775808", kMin},
        {"-9223372036854775809", kMin},
        {"00042", 42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseDecimal(c.text), c.value);
    }
}

TEST(SetupCommandLine, TemporaryCopyCommandLineSurvivesBlanksInItsPath) {
    const std::string path = "C:\\users\\a b\\Temp dir\\Del3F.tmp";
    const std::string line = UninstallCopyCommandLine(path, 484);
    EXPECT_EQ(line, "\"C:\\users\\a b\\Temp dir\\Del3F.tmp\" /uninstall:484");

    const SetupCommand command = ParseSetupArguments(ArgumentText(line));
    EXPECT_EQ(command.kind, SetupCommandKind::FinishUninstall);
    EXPECT_EQ(command.processHandle, 484);
}

TEST(SetupCommandLine, ElevatedSetupRunIsMarkedByItsArguments) {
    EXPECT_TRUE(IsElevatedSetupRun(kElevatedSetupArguments));
    EXPECT_FALSE(IsElevatedSetupRun(""));
    EXPECT_FALSE(IsElevatedSetupRun("/uninstall /elevated"));
}

}  // namespace
