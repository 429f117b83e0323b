#include "frontend/settings_fields.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

namespace {

TEST(ParseIntegerField, AcceptsAndRejectsLikeTheDialog) {
    const struct {
        std::string text;
        std::optional<std::int32_t> expected;
    } cases[] = {
        {"42", 42},
        {" \t 42 \t ", 42},
        {"+42", 42},
        {"-42", -42},
        {"0", 0},
        {"  000", 0},
        {"007", 7},
        {"0 ", 0},
        {"", std::nullopt},     // empty
        {"   ", std::nullopt},  // blanks only
        {"+0", std::nullopt},   // zero with a sign
        {"-0", std::nullopt},
        {"12a", std::nullopt},    // letter after the digits
        {"1 2", std::nullopt},    // blank between digits
        {"1,000", std::nullopt},  // thousands separator
        {"1.5", std::nullopt},
        {"-", std::nullopt},
        {"abc", std::nullopt},
        {"0x10", std::nullopt},
        {"42\n", std::nullopt},  // only blanks and tabs may follow
        {"\n42", std::nullopt},  // ... and precede
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},  // beyond 32 bits: the nearest limit
        {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-99999999999999999999", INT_MIN},
        // Only the first 31 characters are read.
        {"1" + std::string(30, ' ') + "x", 1},
        {std::string(30, ' ') + "12", 1},
        {std::string(31, ' ') + "7", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseIntegerField(c.text), c.expected) << '"' << c.text << '"';
    }
}

}  // namespace
