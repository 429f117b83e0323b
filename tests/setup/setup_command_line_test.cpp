#include "setup/setup_command_line.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(SetupCommandLine, SwitchesCountOnlyAtTheStartAndInTheirOwnCase) {
    struct Case {
        const char* arguments;
        SetupCommandKind kind;
        std::vector<std::int64_t> handles;
        std::int64_t requester;
    };
    const Case cases[] = {
        {"", SetupCommandKind::Ordinary, {}, 0},
        {"/uninstall", SetupCommandKind::Uninstall, {}, 0},
        {"/uninstallnow", SetupCommandKind::Uninstall, {}, 0},
        {"/uninstall extra", SetupCommandKind::Uninstall, {}, 0},
        {"/uninstall /elevated", SetupCommandKind::UninstallConfirmed, {}, 0},
        {"/uninstall /elevated:4321", SetupCommandKind::UninstallConfirmed, {}, 4321},
        {"/uninstall /elevated:", SetupCommandKind::UninstallConfirmed, {}, 0},
        {"/uninstall /elevated x", SetupCommandKind::Uninstall, {}, 0},
        {"/uninstall /elevatedx", SetupCommandKind::Uninstall, {}, 0},
        {"/uninstall:1234", SetupCommandKind::FinishUninstall, {1234}, 0},
        {"/uninstall:1234,88", SetupCommandKind::FinishUninstall, {1234, 88}, 0},
        {"/uninstall:1234,", SetupCommandKind::FinishUninstall, {1234, 0}, 0},
        {"/uninstall:  56abc", SetupCommandKind::FinishUninstall, {56}, 0},
        {"/uninstall:", SetupCommandKind::FinishUninstall, {0}, 0},
        {"/uninstall:abc", SetupCommandKind::FinishUninstall, {0}, 0},
        {"/uninstall:-4", SetupCommandKind::FinishUninstall, {-4}, 0},
        {" /uninstall", SetupCommandKind::Ordinary, {}, 0},
        {"x /uninstall", SetupCommandKind::Ordinary, {}, 0},
        {"/Uninstall", SetupCommandKind::Ordinary, {}, 0},
        {"/UNINSTALL:12", SetupCommandKind::Ordinary, {}, 0},
        {"/uninstal", SetupCommandKind::Ordinary, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const SetupCommand command = ParseSetupArguments(c.arguments);
        EXPECT_EQ(command.kind, c.kind);
        EXPECT_EQ(command.processHandles, c.handles);
        EXPECT_EQ(command.requesterId, c.requester);
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
    const std::string line = UninstallCopyCommandLine(path, {484, 1012});
    EXPECT_EQ(line, "\"C:\\users\\a b\\Temp dir\\Del3F.tmp\" /uninstall:484,1012");

    const SetupCommand command = ParseSetupArguments(ArgumentText(line));
    EXPECT_EQ(command.kind, SetupCommandKind::FinishUninstall);
    EXPECT_EQ(command.processHandles, (std::vector<std::int64_t>{484, 1012}));
    EXPECT_EQ(UninstallCopyCommandLine("C:\\t\\Del1.tmp", {7}), "\"C:\\t\\Del1.tmp\" /uninstall:7");

    const SetupCommand confirmed = ParseSetupArguments(ElevatedUninstallArguments(9876));
    EXPECT_EQ(confirmed.kind, SetupCommandKind::UninstallConfirmed);
    EXPECT_EQ(confirmed.requesterId, 9876);
}

TEST(SetupCommandLine, TheLastStageWaitsUnlessTheHandleIsSurelyNoOtherProcess) {
    struct Case {
        std::uint32_t processId;
        bool notAProcess;
        bool waits;
    };
    const Case cases[] = {
        {500, false, true},  // another process
        {42, false, false},  // this process itself
        {0, false, true},    // a process that cannot be asked: wait, do not race it
        {0, true, false},    // no process handle at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.processId << " " << c.notAProcess);
        EXPECT_EQ(ShouldWaitForStage(c.processId, c.notAProcess, 42), c.waits);
    }
}

TEST(SetupCommandLine, ElevatedSetupRunIsMarkedByItsArguments) {
    EXPECT_TRUE(IsElevatedSetupRun(kElevatedSetupArguments));
    EXPECT_FALSE(IsElevatedSetupRun(""));
    EXPECT_FALSE(IsElevatedSetupRun("/uninstall /elevated"));
}

}  // namespace
