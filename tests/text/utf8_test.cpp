#include "text/utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(DecodeUtf8, AcceptsWellFormedSequencesOnly) {
    const struct {
        std::string bytes;
        bool valid;
        char32_t codePoint;
        std::size_t length;
    } cases[] = {
        {"A", true, 0x41, 1},
        {std::string(1, '\0'), true, 0, 1},
        {"\xC2\x80", true, 0x80, 2},
        {"\xD7\xAA", true, 0x05EA, 2},
        {"\xE1\xBE\xB3", true, 0x1FB3, 3},
        {"\xEF\xBF\xBF", true, 0xFFFF, 3},
        {"\xF0\x90\x80\x80", true, 0x10000, 4},
        {"\xF4\x8F\xBF\xBF", true, 0x10FFFF, 4},
        {"\x80", false, 0, 0},  // stray continuation byte
        {"\xBF", false, 0, 0},
        {"\xC0\x80", false, 0, 0},          // overlong zero
        {"\xC1\xBF", false, 0, 0},          // overlong U+007F
        {"\xE0\x9F\xBF", false, 0, 0},      // overlong U+07FF
        {"\xF0\x8F\xBF\xBF", false, 0, 0},  // overlong U+FFFF
        {"\xED\xA0\x80", false, 0, 0},      // surrogate U+D800
        {"\xED\xBF\xBF", false, 0, 0},      // surrogate U+DFFF
        {"\xF4\x90\x80\x80", false, 0, 0},  // U+110000
        {"\xF5\x80\x80\x80", false, 0, 0},
        {"\xFF", false, 0, 0},
        {"\xD7", false, 0, 0},  // truncated at the end
        {"\xE1\xBE", false, 0, 0},
        {"\xE1\xBE"
         "A",
         false, 0, 0},  // truncated by an ASCII byte
        {"\xF0\x90\x80", false, 0, 0},
    };
    for (const auto& c : cases) {
        std::size_t at = 0;
        char32_t codePoint = 0;
        EXPECT_EQ(DecodeUtf8(c.bytes, at, codePoint), c.valid) << testing::PrintToString(c.bytes);
        EXPECT_EQ(at, c.length) << testing::PrintToString(c.bytes);
        if (c.valid) {
            EXPECT_EQ(codePoint, c.codePoint) << testing::PrintToString(c.bytes);
        }
    }
}

TEST(DecodeUtf8, ReadsBackEveryScalarValueAppendUtf8Writes) {
    std::string text;
    for (std::uint32_t value = 0; value <= 0x10FFFF; ++value) {
        if (value >= 0xD800 && value <= 0xDFFF) continue;
        const auto c = static_cast<char32_t>(value);
        text.clear();
        AppendUtf8(text, c);
        std::size_t at = 0;
        char32_t back = 0;
        ASSERT_TRUE(DecodeUtf8(text, at, back)) << value;
        ASSERT_EQ(back, c) << value;
        ASSERT_EQ(at, text.size()) << value;
        ASSERT_EQ(text.size(), c < 0x80 ? 1u : c < 0x800 ? 2u : c < 0x10000 ? 3u : 4u) << value;
    }
}

TEST(FindInvalidUtf8, NamesTheOffsetOfTheFirstBadByte) {
    const struct {
        std::string text;
        std::size_t offset;
    } cases[] = {
        {"", std::string_view::npos},
        {"plain \xD7\x90\xCE\xB1 text", std::string_view::npos},
        {"ab\xC3", 2},
        {"\xCE\xB1\xCE\xB2\xED\xA0\x80", 4},
        {"\xEF\xBB\xBF\xD7\x90\xE9t\xE9", 5},  // a Latin-1 e acute in a UTF-8 document
        {"\xD7\x90\x80\x80", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindInvalidUtf8(c.text), c.offset) << testing::PrintToString(c.text);
}

TEST(Utf8BomLength, IsThreeOnlyForALeadingMark) {
    EXPECT_EQ(Utf8BomLength("\xEF\xBB\xBFx"), 3u);
    EXPECT_EQ(Utf8BomLength("x\xEF\xBB\xBF"), 0u);
    EXPECT_EQ(Utf8BomLength("\xEF\xBB"), 0u);
    EXPECT_EQ(Utf8BomLength(""), 0u);
}

}  // namespace
