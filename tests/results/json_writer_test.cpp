// The one JSON escaper, number format and writer that every JSON the program prints goes through.
#include "results/json_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

TEST(JsonStringTest, Utf8PassesThroughAndEverythingElseIsEscaped) {
    const struct {
        std::string text;
        const char* json;
    } cases[] = {
        {"plain", "\"plain\""},
        {"say \"hi\" \\ there", "\"say \\\"hi\\\" \\\\ there\""},
        {"\xD7\xAA\xD7\x95\xD7\xA8\xD7\x94", "\"\xD7\xAA\xD7\x95\xD7\xA8\xD7\x94\""},  // Hebrew
        {"\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82",
         "\"\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82\""},
        {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},  // four bytes
        {std::string("a\0b", 3), "\"a\\u0000b\""},
        {"tab\tline\nend\x1F", "\"tab\\u0009line\\u000Aend\\u001F\""},
        {"\x7F", "\"\\u007F\""},
        {"caf\xE9", "\"caf\\u00E9\""},                  // Latin-1, not UTF-8
        {"\xC0\x80", "\"\\u00C0\\u0080\""},             // overlong
        {"\xED\xA0\x80", "\"\\u00ED\\u00A0\\u0080\""},  // a surrogate
        {"\xD7", "\"\\u00D7\""},                        // cut short
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(JsonString(c.text), c.json);
    }
}

TEST(JsonNumberTest, ShortestTextThatReadsBackTheSameDouble) {
    const struct {
        double value;
        const char* json;
    } cases[] = {
        {0.0, "0"},
        {4.0, "4"},
        {149.6, "149.6"},
        {1.0 / 6, "0.16666666666666666"},
        {5.8e-9, "5.8e-09"},
        {-2.5, "-2.5"},
        {std::numeric_limits<double>::infinity(), "null"},
        {std::nan(""), "null"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(JsonNumber(c.value), c.json);
    }
    for (const double value : {0.1, 1.0 / 3, 456.74, 6.02214076e23, 5e-324}) {
        EXPECT_EQ(std::strtod(JsonNumber(value).c_str(), nullptr), value);
    }
}

TEST(JsonWriterTest, SeparatesMembersAndItems) {
    CJsonWriter json;
    json.BeginObject().Key("name").String("x").Key("list").BeginArray();
    json.Integer(-1).Unsigned(18446744073709551615u).Bool(true).Null().Number(0.5);
    json.EndArray().Key("empty").BeginObject().EndObject().Key("raw").Raw("[1]").EndObject();
    EXPECT_EQ(json.Text(),
              "{\"name\": \"x\", \"list\": [-1, 18446744073709551615, true, null, 0.5], "
              "\"empty\": {}, \"raw\": [1]}");
}

TEST(JsonWriterTest, LineBreaksStartItemsOnLinesOfTheirOwn) {
    CJsonWriter json;
    json.BeginObject().Key("a").Integer(1).LineBreak().Key("items").BeginArray().LineBreak();
    EXPECT_EQ(json.Take(), "{\"a\": 1,\n\"items\": [\n");
    for (int i = 0; i < 2; ++i)
        json.LineBreak().BeginArray().Integer(i).EndArray();
    json.LineBreak().EndArray();
    EXPECT_EQ(json.Take(), "[0],\n[1]\n]");
    // An empty array that was told to break its line breaks it once.
    json.Key("none").BeginArray().LineBreak().LineBreak().EndArray();
    EXPECT_EQ(json.Take(), ", \"none\": [\n]");
    // Separator writes the next separator now; the next member does not repeat it.
    json.LineBreak().Separator();
    EXPECT_EQ(json.Take(), ",\n");
    json.Key("last").Bool(false).EndObject();
    EXPECT_EQ(json.Take(), "\"last\": false}");
}

}  // namespace
