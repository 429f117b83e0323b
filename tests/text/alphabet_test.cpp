#include "text/alphabet.h"

#include <gtest/gtest.h>

#include <numeric>

#include <random>
#include <set>

namespace {

std::string Mapped(const CAlphabet& alphabet, const std::string& document,
                   bool ignoreNumbers = false) {
    std::string text;
    std::string errorText;
    EXPECT_TRUE(alphabet.MapDocument(document, ignoreNumbers, text, errorText)) << errorText;
    return alphabet.Spell(text);
}

TEST(ParseAlphabetName, KnowsTheThreeNamesExactly) {
    const struct {
        const char* text;
        bool known;
        AlphabetName name;
    } cases[] = {
        {"latin", true, AlphabetName::Latin},   {"hebrew", true, AlphabetName::Hebrew},
        {"greek", true, AlphabetName::Greek},   {"Hebrew", false, AlphabetName::Latin},
        {"", false, AlphabetName::Latin},       {"greek ", false, AlphabetName::Latin},
        {"arabic", false, AlphabetName::Latin},
    };
    for (const auto& c : cases) {
        AlphabetName name = AlphabetName::Latin;
        EXPECT_EQ(ParseAlphabetName(c.text, name), c.known) << c.text;
        EXPECT_EQ(name, c.name) << c.text;
    }
}

TEST(CAlphabet, HebrewKeepsTheConsonantsOnly) {
    const struct {
        const char* document;
        bool keepFinals;
        bool ignoreNumbers;
        const char* expected;
    } cases[] = {
        {"ךםןףץ כמנפצ", false, false, "כמנפצכמנפצ"},
        {"ךםןףץ כמנפצ", true, false, "ךםןףץכמנפצ"},
        // Vowel points, dagesh, shin dot and cantillation (tipcha) are marks of the letter.
        {"בְּרֵאשִׁ֖ית", false, false, "בראשית"},
        // Maqaf, sof pasuq, paseq and geresh are punctuation.
        {"עַל־פְּנֵי׃ ׀ ג׳", false, false, "עלפניג"},
        // Presentation forms are their letters with marks: shin with shin dot, vav with holam.
        {"\uFB2A\uFB4B\uFB2E", false, false, "שוא"},
        // Letters of other scripts, and the Yiddish ligatures, are no Hebrew letters.
        {"abc שלום αβγ \u05F0 12", false, false, "שלומ12"},
        {"abc שלום αβγ \u05F0 12", false, true, "שלומ"},
        {"\xEF\xBB\xBFאב", false, false, "אב"},
    };
    for (const auto& c : cases) {
        const CAlphabet hebrew(AlphabetName::Hebrew, c.keepFinals);
        EXPECT_EQ(Mapped(hebrew, c.document, c.ignoreNumbers), c.expected) << c.document;
    }
}

TEST(CAlphabet, GreekFoldsMarksCaseAndSigmas) {
    const struct {
        const char* document;
        const char* expected;
    } cases[] = {
        {"Ἐν ἀρχῇ ἦν ὁ λόγος", "ΕΝΑΡΧΗΗΝΟΛΟΓΟΣ"},
        // The iota subscript goes with the other marks: it never becomes a letter iota.
        {"ᾳ ᾼ ῷ ᾆ", "ΑΑΩΑ"},
        {"α\u0345 ω\u0313\u0342\u0345", "ΑΩ"},
        // Diaeresis, and the spacing iota subscript (a mark, not a letter).
        {"ϊ ΐ ϋ \u037A", "ΙΙΥ"},
        {"ς σ Σ ϲ Ϲ", "ΣΣΣΣΣ"},
        // The Ohm sign is canonically capital omega; the micro sign is a Latin-1 character.
        {"\u2126 \u00B5", "Ω"},
        {"abc λόγος שלום 3", "ΛΟΓΟΣ3"},
    };
    const CAlphabet greek(AlphabetName::Greek);
    for (const auto& c : cases)
        EXPECT_EQ(Mapped(greek, c.document), c.expected) << c.document;
}

TEST(CAlphabet, GivesEachLetterItsOwnCodeAndSpellsItBack) {
    const struct {
        AlphabetName name;
        bool keepFinals;
        std::size_t letters;
    } cases[] = {
        {AlphabetName::Latin, false, 26},
        {AlphabetName::Hebrew, false, 22},
        {AlphabetName::Hebrew, true, 27},
        {AlphabetName::Greek, false, 24},
    };
    for (const auto& c : cases) {
        const CAlphabet alphabet(c.name, c.keepFinals);
        ASSERT_EQ(alphabet.LetterCount(), c.letters);
        std::set<std::string> spelled;
        for (std::size_t i = 0; i < alphabet.LetterCount(); ++i) {
            const char code = alphabet.LetterCode(i);
            // The search upper-cases a-z and ends the text at a zero byte.
            EXPECT_FALSE(code == 0 || (code >= 'a' && code <= 'z') || IsAsciiDigit(code));
            const std::string letter(alphabet.Spell(code));
            spelled.insert(letter);
            std::string text;
            std::string errorText;
            ASSERT_TRUE(alphabet.MapDocument(letter, false, text, errorText));
            EXPECT_EQ(text, std::string(1, code)) << letter;
        }
        EXPECT_EQ(spelled.size(), c.letters);
        EXPECT_EQ(alphabet.Spell("0189"), "0189");
    }
}

TEST(CAlphabet, LatinIsTheByteNormalisationUnchanged) {
    std::mt19937 random(13);
    const CAlphabet latin;
    for (int round = 0; round < 200; ++round) {
        std::string document(random() % 300, '\0');
        for (char& c : document)
            c = static_cast<char>(random() % 256);
        for (const bool ignoreNumbers : {false, true}) {
            std::string expected = document;
            NormaliseText(expected, ignoreNumbers);
            std::string text;
            std::string errorText;
            ASSERT_TRUE(latin.MapDocument(document, ignoreNumbers, text, errorText));
            ASSERT_EQ(text, expected);
        }
        KeywordList keywords;
        std::string errorText;
        ASSERT_TRUE(latin.ReadKeywords(document, keywords, errorText));
        ASSERT_EQ(keywords, ReadKeywords(document));
    }
}

TEST(CAlphabet, RefusesInvalidUtf8AtItsOffset) {
    const struct {
        AlphabetName name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {AlphabetName::Hebrew, "אב\xE9ג",
         "The document is not valid UTF-8: the bytes at offset 4 are no character."},
        {AlphabetName::Hebrew, "\xEF\xBB\xBFא\xED\xA0\x80",
         "The document is not valid UTF-8: the bytes at offset 5 are no character."},
        {AlphabetName::Greek, "αβ\xC0\xAF",
         "The document is not valid UTF-8: the bytes at offset 4 are no character."},
        {AlphabetName::Greek, "αβ\xCE",
         "The document is not valid UTF-8: the bytes at offset 4 are no character."},
    };
    for (const auto& c : cases) {
        const CAlphabet alphabet(c.name);
        std::string text = "left over";
        std::string errorText;
        EXPECT_FALSE(alphabet.MapDocument(c.bytes, false, text, errorText));
        EXPECT_EQ(errorText, c.message);
        EXPECT_EQ(text, "");

        KeywordList keywords{"left over"};
        errorText.clear();
        EXPECT_FALSE(alphabet.ReadKeywords(c.bytes, keywords, errorText));
        EXPECT_EQ(errorText.substr(0, 21), "The keywords are not ");
        EXPECT_TRUE(keywords.empty());
    }
    // Latin reads bytes in the user's code page: no byte is invalid.
    std::string text;
    std::string errorText;
    EXPECT_TRUE(CAlphabet().MapDocument("caf\xE9", false, text, errorText));
    EXPECT_EQ(text, "CAF");
}

TEST(CAlphabet, ReadsKeywordsInTheScript) {
    const struct {
        AlphabetName name;
        const char* text;
        std::vector<std::string> expected;
    } cases[] = {
        {AlphabetName::Hebrew, "תורה, משה;אהרן", {"תורה", "משה", "אהרנ"}},
        // Points inside a word keep it whole; maqaf and Latin letters separate like blanks.
        {AlphabetName::Hebrew, "תּוֹרָה", {"תורה"}},
        {AlphabetName::Hebrew, "בית־אל moses 2שנה", {"בית", "אל", "2שנה"}},
        {AlphabetName::Hebrew, "abc, \u05B0", {}},
        {AlphabetName::Greek, "Λόγος;θεός ἀρχῇ", {"ΛΟΓΟΣ", "ΘΕΟΣ", "ΑΡΧΗ"}},
        {AlphabetName::Greek, "", {}},
    };
    for (const auto& c : cases) {
        const CAlphabet alphabet(c.name);
        KeywordList keywords;
        std::string errorText;
        ASSERT_TRUE(alphabet.ReadKeywords(c.text, keywords, errorText)) << c.text;
        std::vector<std::string> spelled;
        for (const std::string& keyword : keywords)
            spelled.push_back(alphabet.Spell(keyword));
        EXPECT_EQ(spelled, c.expected) << c.text;
    }
    KeywordList keywords;
    std::string errorText;
    ASSERT_TRUE(CAlphabet(AlphabetName::Hebrew, true).ReadKeywords("אהרן", keywords, errorText));
    EXPECT_EQ(CAlphabet(AlphabetName::Hebrew, true).Spell(keywords.at(0)), "אהרן");
}

TEST(AlphabetTest, WordLengthsAreTheRunsTheMappingKeepsInEveryScript) {
    const struct {
        AlphabetName name;
        bool ignoreNumbers;
        std::string document;
        std::vector<std::int32_t> expected;
    } cases[] = {
        {AlphabetName::Latin, false, "In the beginning, 42!", {2, 3, 9, 2}},
        {AlphabetName::Latin, true, "a1b caf\xE9", {1, 1, 3}},
        // Points and accents inside a word keep it whole; maqaf, punctuation and Latin letters
        // end it.
        {AlphabetName::Hebrew, false, "בְּרֵאשִׁית בָּרָא", {6, 3}},
        {AlphabetName::Hebrew, false, "\xEF\xBB\xBFבית־אל moses 2שנה", {3, 2, 4}},
        {AlphabetName::Hebrew, true, "2שנה", {3}},
        {AlphabetName::Greek, false, "Ἐν ἀρχῇ ἦν ὁ λόγος,", {2, 4, 2, 1, 5}},
        {AlphabetName::Greek, false, "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document);
        const CAlphabet alphabet(c.name);
        const std::vector<std::int32_t> lengths = alphabet.WordLengths(c.document, c.ignoreNumbers);
        EXPECT_EQ(lengths, c.expected);
        std::string text, errorText;
        ASSERT_TRUE(alphabet.MapDocument(c.document, c.ignoreNumbers, text, errorText));
        EXPECT_EQ(std::accumulate(lengths.begin(), lengths.end(), std::size_t{0}), text.size());
    }
}

}  // namespace
