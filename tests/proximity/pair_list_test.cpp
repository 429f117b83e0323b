// The list file of a proximity run: what it reads and every way a line can be wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "proximity/pair_list.h"

namespace {

const CAlphabet& Hebrew() {
    static const CAlphabet alphabet(AlphabetName::Hebrew);
    return alphabet;
}

std::string Codes(const std::string& word) {
    std::string codes, error;
    EXPECT_TRUE(ReadProximityWord(Hebrew(), word, codes, error)) << error;
    return codes;
}

TEST(PairList, ReadsPersonsInTheOrderOfTheirFirstLine) {
    const std::string list =
        "\xEF\xBB\xBF# people and dates\n"
        "\n"
        "b\tname\tצדקיהו   # a comment after the word\r\n"
        "a\tname\tאברהם\n"
        "b\tdate\tמתניה\n"
        "  a \t date \tה׳ תשרי\n"
        "b\tname\tמתנ״יה\n";
    std::vector<ProximityPerson> persons;
    PairListError error;
    ASSERT_TRUE(ReadPairList(list, Hebrew(), persons, error)) << error.line << error.message;
    ASSERT_EQ(persons.size(), 2u);
    EXPECT_EQ(persons[0].id, "b");
    EXPECT_EQ(persons[0].names, (std::vector<std::string>{Codes("צדקיהו"), Codes("מתניה")}));
    EXPECT_EQ(persons[0].dates, (std::vector<std::string>{Codes("מתניה")}));
    EXPECT_EQ(persons[1].id, "a");
    EXPECT_EQ(persons[1].names, (std::vector<std::string>{Codes("אברהם")}));
    // The geresh and the blank inside the word are dropped, as in keywords.
    EXPECT_EQ(persons[1].dates, (std::vector<std::string>{Codes("התשרי")}));
}

TEST(PairList, LatinWordsAreUpperCase) {
    std::vector<ProximityPerson> persons;
    PairListError error;
    ASSERT_TRUE(ReadPairList("p\tname\tMoses\np\tdate\tnebo-mount\n", CAlphabet(), persons, error));
    EXPECT_EQ(persons[0].names[0], "MOSES");
    EXPECT_EQ(persons[0].dates[0], "NEBOMOUNT");
}

TEST(PairList, BadLinesAreNamedWithWhatIsWrong) {
    struct Case {
        const char* list;
        std::size_t line;
        const char* message;
    };
    const Case cases[] = {
        {"a\tname\tאברהם\na\tdate\n", 2,
         "it has 2 fields; a line is ID<TAB>name<TAB>WORD or ID<TAB>date<TAB>WORD."},
        {"a name אברהם\n", 1,
         "it has 1 field; a line is ID<TAB>name<TAB>WORD or ID<TAB>date<TAB>WORD."},
        {"a\tname\tאברהם\textra\n", 1,
         "it has 4 fields; a line is ID<TAB>name<TAB>WORD or ID<TAB>date<TAB>WORD."},
        {"\tname\tאברהם\n", 1, "the ID (the first field) is empty."},
        {"a\tnames\tאברהם\n", 1, "the second field is \"names\"; it must be name or date."},
        {"a\tname\tabc\n", 1, "the word \"abc\" has no letters of the hebrew alphabet."},
        {"a\tname\t״\n", 1, "the word \"״\" has no letters of the hebrew alphabet."},
        {"a\tname\tאב\xFFגד\n", 1, "the line is not UTF-8 text."},
        {"a\tname\tאברהם\na\tdate\tמתניה\na\tname\tאב רהם\n", 3,
         "it gives the name \"אב רהם\" of a again (line 1)."},
        {"a\tname\tאברהם\nb\tdate\tמתניה\n", 1, "a has names but no date, so no pair."},
        {"a\tname\tאברהם\na\tdate\tמתניה\n\nb\tdate\tמתניה\n", 4,
         "b has dates but no name, so no pair."},
        {"# nothing but a comment\n\n", 0,
         "the list names no one: every line is blank or a comment."},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.list);
        std::vector<ProximityPerson> persons;
        PairListError error;
        EXPECT_FALSE(ReadPairList(test.list, Hebrew(), persons, error));
        EXPECT_EQ(error.line, test.line);
        EXPECT_EQ(error.message, test.message);
    }
}

}  // namespace
