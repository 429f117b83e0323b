// The partials' framing: which kind a file is, found from its "format" alone, with one message
// for each way a file can fail to be a partial.
#include "common/partial_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(PartialFile, TellsTheKindFromTheFormatAndSaysWhyNot) {
    const std::string controls = "{\"format\": \"strandix-partial\", \"version\": 3}";
    const std::string proximity = "{\"format\": \"strandix-proximity-partial\", \"version\": 1}";
    const struct {
        const char* name;
        std::string text;
        std::optional<PartialKind> kind;
        const char* problem;
    } cases[] = {
        {"controls", controls, PartialKind::Controls, ""},
        {"proximity", proximity, PartialKind::Proximity, ""},
        {"a byte-order mark first", "\xEF\xBB\xBF" + proximity, PartialKind::Proximity, ""},
        {"blank lines first", "\r\n\n  \t" + controls, PartialKind::Controls, ""},
        {"format not first", "{\"version\": 1, \"format\": \"strandix-proximity-partial\"}",
         PartialKind::Proximity, ""},
        // The kind is known before the rest is read: the reader of that kind says what is wrong.
        {"damaged after the format", proximity.substr(0, 40) + "]", PartialKind::Proximity, ""},
        {"empty", "\xEF\xBB\xBF\n\n", std::nullopt, "the file is empty."},
        {"not JSON", "x{}", std::nullopt, "the file is not valid JSON at byte 0: it is damaged."},
        {"not JSON after blank lines", "\n\nx{}", std::nullopt,
         "the file is not valid JSON at byte 2: it is damaged."},
        {"cut off before the format", "{\"form", std::nullopt,
         "the file ends before the partial does: it was cut off."},
        {"another format", "{\"format\": \"strandix-page\"}", std::nullopt,
         "the file is not a strandix partial: its format is \"strandix-page\"."},
        {"no format", "{\"results\": [{\"format\": \"strandix-partial\"}]}", std::nullopt,
         "the file is not a strandix partial: it has no field \"format\"."},
        {"a format that is no text", "{\"format\": 3}", std::nullopt,
         "the file is not a strandix partial."},
        {"a list", "[\"strandix-partial\"]", std::nullopt, "the file is not a strandix partial."},
    };
    for (const auto& c : cases) {
        PartialKind kind = PartialKind::Controls;
        std::string problem;
        const bool found = FindPartialKind(c.text, kind, problem);
        EXPECT_EQ(found, c.kind.has_value()) << c.name << ": " << problem;
        if (c.kind) {
            EXPECT_EQ(kind, *c.kind) << c.name;
        }
        EXPECT_EQ(problem, c.problem) << c.name;
    }
}

TEST(PartialFile, ShardBookNamesTheFieldAndBothValues) {
    CShardBook book;
    std::string message;
    ASSERT_TRUE(
        book.Add("a", {0, 3}, {{"seed", "3", ""}, {"keywords", "MOSES", "moses"}}, message));
    // Compared as folded, shown as typed.
    ASSERT_TRUE(
        book.Add("b", {2, 3}, {{"seed", "3", ""}, {"keywords", "Moses", "moses"}}, message));
    ASSERT_TRUE(book.Missing().has_value());
    EXPECT_EQ(book.Missing()->index, 1);
    EXPECT_FALSE(
        book.Add("c", {1, 3}, {{"seed", "3", ""}, {"keywords", "AARON", "aaron"}}, message));
    EXPECT_EQ(message,
              "c: its keywords (AARON) differs from a's (MOSES), so the two are not parts of the "
              "same run.");
    EXPECT_FALSE(
        book.Add("b", {2, 3}, {{"seed", "3", ""}, {"keywords", "MOSES", "moses"}}, message));
    EXPECT_EQ(message, "b: the file is named twice.");
    ASSERT_TRUE(
        book.Add("c", {1, 3}, {{"seed", "3", ""}, {"keywords", "MOSES", "moses"}}, message));
    EXPECT_FALSE(book.Missing().has_value());
}

}  // namespace
