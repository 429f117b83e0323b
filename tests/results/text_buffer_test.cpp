#include "results/text_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace {

TEST(TextBufferTest, GrowsByTheShortfallOrAtLeastDoubles) {
    const struct {
        std::vector<std::int32_t> appends;  // sizes appended in turn
        std::int32_t capacity;              // afterwards
    } cases[] = {
        {{}, 10000},
        {{9998}, 10000},
        {{9999}, 20000},   // a block that would be exactly full grows too
        {{10000}, 20000},  // one short: doubles
        {{9999, 1}, 20000},
        {{30000}, 30001},         // short by 20001: grows by that
        {{10000, 10000}, 40000},  // 20001 in a 20000 block: doubles again
    };
    for (const auto& c : cases) {
        CTextBuffer buffer;
        std::string expected;
        char fill = 'a';
        for (std::int32_t size : c.appends) {
            const std::string piece(static_cast<std::size_t>(size), fill++);
            buffer.Append(piece.data(), size);
            expected += piece;
        }
        EXPECT_EQ(buffer.Capacity(), c.capacity) << ::testing::PrintToString(c.appends);
        EXPECT_EQ(buffer.View(), expected);
        EXPECT_EQ(buffer.Data()[buffer.Used()], '\0');
    }
}

TEST(TextBufferTest, ResetKeepsTheBlock) {
    CTextBuffer buffer;
    buffer.Append(std::string(25000, 'x'));
    const std::int32_t grown = buffer.Capacity();
    buffer.Reset();
    EXPECT_EQ(buffer.Used(), 0);
    EXPECT_STREQ(buffer.Data(), "");
    EXPECT_EQ(buffer.Capacity(), grown);
    buffer.Append("<br>\r\n");
    EXPECT_STREQ(buffer.Data(), "<br>\r\n");
}

TEST(TextBufferTest, AppendingItsOwnTextWhileGrowing) {
    CTextBuffer buffer;
    buffer.Append(std::string(6000, 'q'));
    buffer.Append(buffer.Data(), buffer.Used());
    EXPECT_EQ(buffer.View(), std::string(12000, 'q'));
}

TEST(TextBufferTest, IntegersInDecimal) {
    const struct {
        std::int64_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {7, "7"},
        {11, "11"},
        {-1, "-1"},
        {1000000, "1000000"},
        {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
        {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
    };
    CTextBuffer buffer;
    for (const auto& c : cases) {
        buffer.Reset();
        buffer.Append("k");
        buffer.AppendInteger(c.value);
        EXPECT_EQ(buffer.View(), std::string("k") + c.text);
    }
}

}  // namespace
