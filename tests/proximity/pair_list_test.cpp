// The list file of a proximity run: what it reads and every way a line can be wrong.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
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
        {"a\tname\tאברהם\nb\tdate\tמתניה\n", 0,
         "no person has both a name and a date, so the list makes no pair."},
        {"a\tname\tמכפלהx\n", 1,
         "the word \"מכפלהx\" holds \"x\", no letter of the hebrew alphabet."},
        {"a\tdate\tא׳ Nisan ניסן\n", 1,
         "the word \"א׳ Nisan ניסן\" holds \"N\", \"i\", \"s\", \"a\", \"n\", no letters of the "
         "hebrew alphabet."},
        {"a\tname\tאבαβ\n", 1,
         "the word \"אבαβ\" holds \"α\", \"β\", no letters of the hebrew alphabet."},
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

TEST(PairList, ForeignLettersAreNamedInEveryAlphabet) {
    EXPECT_EQ(ForeignLetters(CAlphabet(), "Moses משה"), (std::vector<std::string>{"מ", "ש", "ה"}));
    EXPECT_EQ(ForeignLetters(CAlphabet(AlphabetName::Greek), "ΜΩΣΗΣ x"),
              (std::vector<std::string>{"x"}));
    // Digits, marks, blanks and punctuation belong to no alphabet; final forms are Hebrew.
    EXPECT_TRUE(ForeignLetters(Hebrew(), "ה׳ תשרי 5760 - אברהם").empty());
    EXPECT_TRUE(ForeignLetters(CAlphabet(), "nebo-mount 12").empty());
}

TEST(PairList, PersonsWithoutADateOrANameTakePartWithANote) {
    const std::string list =
        "1\tname\tאברהם\n"
        "1\tdate\tמתניה\n"
        "2\tname\tצדקיהו\n"  // no date
        "3\tdate\tתשרי\n"    // no name
        "4\tname\tמשה\n";    // no date
    std::vector<ProximityPerson> persons;
    PairListError error;
    std::vector<PairListNote> notes;
    ASSERT_TRUE(ReadPairList(list, Hebrew(), persons, error, &notes)) << error.message;
    ASSERT_EQ(persons.size(), 4u);
    EXPECT_TRUE(persons[1].dates.empty());
    EXPECT_TRUE(persons[2].names.empty());
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(UnpairedPersonsNote(persons),
              "2 and 4 have names but no date, and 3 has dates but no name: no pair of their "
              "own, but in the permutation test their words meet those of the other persons.");
    persons.erase(persons.begin() + 1, persons.end());
    EXPECT_EQ(UnpairedPersonsNote(persons), "");
}

TEST(PairList, AWordGivenTwiceIsKeptOnceWithANote) {
    // Two date forms with the same letters (ב בשבט and בב שבט), and a name given twice.
    const std::string list =
        "26\tname\tצמחצדק\n"
        "26\tdate\tב בשבט\n"
        "26\tdate\tבב שבט\n"
        "26\tname\tצמח צדק\n"
        "26\tdate\tבשבט\n";
    std::vector<ProximityPerson> persons;
    PairListError error;
    std::vector<PairListNote> notes;
    ASSERT_TRUE(ReadPairList(list, Hebrew(), persons, error, &notes)) << error.message;
    ASSERT_EQ(persons.size(), 1u);
    EXPECT_EQ(persons[0].names, (std::vector<std::string>{Codes("צמחצדק")}));
    EXPECT_EQ(persons[0].dates, (std::vector<std::string>{Codes("בבשבט"), Codes("בשבט")}));
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].line, 3u);
    EXPECT_EQ(notes[0].message,
              "it gives the date \"בב שבט\" of 26 again (line 2); the word is "
              "paired once.");
    EXPECT_EQ(notes[1].line, 4u);
    // A name that is also a date of the same person pairs with itself: noted.
    EXPECT_TRUE(SelfPairNotes(persons, Hebrew()).empty());
    persons[0].dates.push_back(Codes("צמחצדק"));
    EXPECT_EQ(SelfPairNotes(persons, Hebrew()),
              (std::vector<std::string>{"\"צמחצדק\" is both a name and a date of 26: the word "
                                        "is paired with itself."}));
}

TEST(PairList, ThePublishedListsAreReadWhole) {
    struct Case {
        const char* file;
        std::size_t persons, names, dates;
        std::vector<std::string> withoutDate;
    };
    const Case cases[] = {
        {"wrr-list2.txt", 32, 174, 92, {"4", "8"}},
        {"wrr-list1.txt", 34, 166, 117, {"23"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.file);
        std::ifstream file(std::string(STRANDIX_SAMPLES) + "/" + test.file, std::ios::binary);
        ASSERT_TRUE(file);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        std::vector<ProximityPerson> persons;
        PairListError error;
        std::vector<PairListNote> notes;
        ASSERT_TRUE(ReadPairList(text, Hebrew(), persons, error, &notes)) << error.message;
        EXPECT_TRUE(notes.empty());
        EXPECT_EQ(persons.size(), test.persons);
        std::size_t names = 0, dates = 0;
        std::vector<std::string> withoutDate;
        for (const ProximityPerson& person : persons) {
            names += person.names.size();
            dates += person.dates.size();
            if (person.dates.empty()) withoutDate.push_back(person.id);
        }
        EXPECT_EQ(names, test.names);
        EXPECT_EQ(dates, test.dates);
        EXPECT_EQ(withoutDate, test.withoutDate);
    }
}

}  // namespace
