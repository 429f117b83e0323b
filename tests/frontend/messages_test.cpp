#include "frontend/messages.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatResultCount, SingularPluralAndNone) {
    EXPECT_EQ(FormatResultCount(0), "No results found.");
    EXPECT_EQ(FormatResultCount(1), "1 result found.");
    EXPECT_EQ(FormatResultCount(2), "2 results found.");
    EXPECT_EQ(FormatResultCount(12345), "12345 results found.");
    EXPECT_EQ(FormatResultCount(3000000000), "3000000000 results found.");
}

}  // namespace
