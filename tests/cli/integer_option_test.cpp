// The tool's one integer reader: the dialog's reading for the search's numbers, digits only for
// the others, and the same two messages for all.
#include "cli/integer_option.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

TEST(ReadIntegerTest, ReadsWithinTheRangeOrSaysWhy) {
    const IntegerRange dialog{1, 50000, true};
    const IntegerRange digits{1, 1024};
    const IntegerRange seeds{0, UINT64_MAX};
    const std::string kBetween = "Please enter an integer between 1 and 50000.";
    const std::string kThreads = "Please enter an integer between 1 and 1024.";
    const struct {
        const char* text;
        IntegerRange range;
        std::optional<std::uint64_t> value;
        std::string message;
    } cases[] = {
        {"20", dialog, 20, ""},
        {" +20\t", dialog, 20, ""},  // as the dialog's box reads it
        {"50000", dialog, 50000, ""},
        {"50001", dialog, std::nullopt, kBetween},
        {"0", dialog, std::nullopt, kBetween},
        {"-5", dialog, std::nullopt, kBetween},
        {"99999999999999999999", dialog, std::nullopt, kBetween},
        {"abc", dialog, std::nullopt, "Please enter an integer."},
        {"1x", dialog, std::nullopt, "Please enter an integer."},
        {"3", digits, 3, ""},
        {" 3", digits, std::nullopt, kThreads},  // digits only
        {"+3", digits, std::nullopt, kThreads},
        {"abc", digits, std::nullopt, kThreads},
        {"", digits, std::nullopt, kThreads},
        {"1025", digits, std::nullopt, kThreads},
        {"18446744073709551615", seeds, UINT64_MAX, ""},
        {"18446744073709551616", seeds, std::nullopt,
         "Please enter an integer between 0 and 18446744073709551615."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string message;
        EXPECT_EQ(ReadInteger(c.text, c.range, message), c.value);
        EXPECT_EQ(message, c.message);
    }
}

}  // namespace
