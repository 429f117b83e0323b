#include "setup/shell_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

TEST(ShellRules, EveryFailedAttemptIsFollowedByAPause) {
    struct Case {
        int attempts;
        int succeedOnAttempt;  // 0: never
        bool result;
        const char* trace;
    };
    const Case cases[] = {
        {0, 1, false, ""},
        {-3, 1, false, ""},
        {1, 0, false, "copy pause "},
        {1, 1, true, "copy "},
        {3, 0, false, "copy pause copy pause copy pause "},
        {3, 2, true, "copy pause copy "},
        {4, 4, true, "copy pause copy pause copy pause copy "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attempts);
        std::string trace;
        int tried = 0;
        const bool result = RetryWithPause(
            c.attempts,
            [&] {
                trace += "copy ";
                return ++tried == c.succeedOnAttempt;
            },
            [&] { trace += "pause "; });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(trace, c.trace);
    }
}

// A shell that knows some special folders by their numbers.
SpecialFolderLookup ShellKnowing(std::map<int, std::string> folders) {
    return [folders](std::string& folder, int csidl) {
        const auto found = folders.find(csidl);
        if (found == folders.end()) return false;
        folder = found->second;
        return true;
    };
}

TEST(ShellRules, ProgramFilesFallsBackToAFixedLowerCaseText) {
    EXPECT_EQ(ProgramFilesFolderFrom(ShellKnowing({{kCsidlProgramFiles, "D:\\Apps"}})), "D:\\Apps");
    EXPECT_EQ(ProgramFilesFolderFrom(ShellKnowing({{kCsidlPrograms, "D:\\Apps"}})),
              "c:\\program files");
}

TEST(ShellRules, ProgramsMenuPrefersAllUsers) {
    const std::string common = "C:\\ProgramData\\Start Menu\\Programs";
    const std::string user = "C:\\users\\u\\Start Menu\\Programs";
    struct Case {
        std::map<int, std::string> known;
        bool found;
        std::string folder;
    };
    const Case cases[] = {
        {{{kCsidlCommonPrograms, common}, {kCsidlPrograms, user}}, true, common},
        {{{kCsidlPrograms, user}}, true, user},
        {{{kCsidlProgramFiles, "C:\\Program Files"}}, false, "unchanged"},
    };
    for (const Case& c : cases) {
        std::string folder = "unchanged";
        EXPECT_EQ(ProgramsMenuFolderFrom(ShellKnowing(c.known), folder), c.found);
        EXPECT_EQ(folder, c.folder);
    }
}

}  // namespace
