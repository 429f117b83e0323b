#include <gtest/gtest.h>

#include "app/result_commands_win32.h"

namespace {

TEST(SystemPathEquals, IgnoresLetterCaseOnly) {
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"C:\\Texts\\Genesis.htm", "c:\\TEXTS\\genesis.HTM", true},
        {"C:\\Texts\\Genesis.htm", "C:\\Texts\\Genesis.htm", true},
        {"", "", true},
        {"C:\\Texts\\Genesis.htm", "C:\\Texts\\Exodus.htm", false},
        {"C:\\Texts\\Genesis.htm", "C:\\Texts\\Genesis.htm ", false},
        // A soft hyphen is ignorable to linguistic comparison; in a path it is a character.
        {"C:\\Gen\xAD"
         "esis.htm",
         "C:\\Genesis.htm", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SystemPathEquals(c.a, c.b), c.equal) << c.a << " / " << c.b;
    }
}

}  // namespace
