#include "text/latin_text.h"

#include <gtest/gtest.h>

#include "search/find_sequences.h"

namespace {

TEST(ReadKeywords, SplitsAtEveryByteThatIsNoLetterOrDigit) {
    const struct {
        std::string text;
        KeywordList expected;
    } cases[] = {
        {"moses, Aaron;  jacob", {"moses", "Aaron", "jacob"}},
        {"it's", {"it", "s"}},
        {"re-read", {"re", "read"}},
        {"a1b2", {"a1b2"}},
        {"  ,;, ;", {}},
        {"", {}},
        {"ab\xE9"
         "cd",
         {"ab", "cd"}},
        {std::string("ab\0cd", 5), {"ab", "cd"}},
        {"god god\tGOD\n", {"god", "god", "GOD"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadKeywords(c.text), c.expected) << c.text;
    }
}

TEST(NormaliseText, KeepsUpperCasedLettersAndOptionallyDigits) {
    const struct {
        std::string document;
        bool ignoreNumbers;
        std::string expected;
    } cases[] = {
        {"Hello, World! 42", true, "HELLOWORLD"},
        {"Hello, World! 42", false, "HELLOWORLD42"},
        {"", false, ""},
        {" .,;!\r\n\t", false, ""},
        {"in the\r\nbeginning", false, "INTHEBEGINNING"},
        {"caf\xE9 na\xEFve \x80\xFF", false, "CAFNAVE"},
        // A zero byte is removed like punctuation and the rest of the document is kept.
        {std::string("ab\0cd\0", 6), false, "ABCD"},
        {std::string("\0\0", 2), false, ""},
    };
    for (const auto& c : cases) {
        std::string text = c.document;
        NormaliseText(text, c.ignoreNumbers);
        EXPECT_EQ(text, c.expected);
        EXPECT_EQ(text.size(), c.expected.size());
        EXPECT_EQ(text.c_str()[text.size()], '\0');
    }
}

TEST(NormaliseText, WorksInPlaceOnARawBuffer) {
    char buffer[] = "a-b-c";
    EXPECT_EQ(NormaliseText(buffer, 5, false), 3u);
    EXPECT_STREQ(buffer, "ABC");
}

TEST(SearchOrder, LongestFirstEqualLengthsInTypedOrderUpperCased) {
    EXPECT_EQ(MakeSearchOrder({"ab", "xyz", "cd"}), (KeywordList{"XYZ", "AB", "CD"}));
    EXPECT_EQ(MakeSearchOrder({"b", "aa", "c", "dd", "eee"}),
              (KeywordList{"EEE", "AA", "DD", "B", "C"}));
    EXPECT_EQ(MakeSearchOrder({"god", "God"}), (KeywordList{"GOD", "GOD"}));
}

}  // namespace
