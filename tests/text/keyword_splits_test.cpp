#include "text/keyword_splits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each split as "word: KEYWORD + KEYWORD at separator", keywords spelled in the alphabet.
std::vector<std::string> Describe(const CAlphabet& alphabet, const std::string& keywordText) {
    std::vector<std::string> lines;
    for (const KeywordSplit& split : FindKeywordSplits(alphabet, keywordText)) {
        std::string line = split.word + ":";
        for (const std::string& keyword : split.keywords)
            line += " " + alphabet.Spell(keyword);
        lines.push_back(line + " at " + split.separator);
    }
    return lines;
}

TEST(KeywordSplits, NameEveryWordReadAsSeveralKeywords) {
    const CAlphabet latin, hebrew(AlphabetName::Hebrew), greek(AlphabetName::Greek);
    const struct {
        const char* name;
        const CAlphabet& alphabet;
        std::string text;
        std::vector<std::string> expected;
    } cases[] = {
        {"blanks, commas and semicolons part words, not keywords",
         latin,
         " moses,aaron;\tlevel\r\nabc ",
         {}},
        {"an accented letter in UTF-8", latin, "mos\xC3\xA9s", {"mos\xC3\xA9s: mos s at U+00E9"}},
        {"an accented letter in a single-byte code page",
         latin,
         "mos\xE9s",
         {"mos\xE9s: mos s at byte 0xE9"}},
        {"a zero-width space",
         latin,
         "ab\xE2\x80\x8B"
         "cd",
         {"ab\xE2\x80\x8B"
          "cd: ab cd at U+200B"}},
        {"punctuation, the first one named", latin, "x a.b-c", {"a.b-c: a b c at \".\""}},
        {"a separator at either end splits nothing", latin, "-moses- \"aaron\"", {}},
        {"digits belong to a keyword", latin, "ab12cd", {}},
        {"each split word in order",
         latin,
         "a/b c d_e",
         {"a/b: a b at \"/\"", "d_e: d e at \"_\""}},
        {"a Latin o inside a Greek word",
         greek,
         "\xCE\xBB\xCF\x8Co\xCE\xB3\xCE\xBF\xCF\x82",
         {"\xCE\xBB\xCF\x8Co\xCE\xB3\xCE\xBF\xCF\x82: \xCE\x9B\xCE\x9F \xCE\x93\xCE\x9F\xCE\xA3 at "
          "\"o\""}},
        {"Greek accents belong to their letters",
         greek,
         "\xE1\xBC\x80\xCF\x81\xCF\x87\xE1\xBF\x87",
         {}},
        {"Hebrew vowel points stand inside a word",
         hebrew,
         "\xD7\x91\xD6\xBC\xD6\xB0\xD7\xA8\xD6\xB5\xD7\x90",
         {}},
        {"a maqaf joins two Hebrew words into one typed word",
         hebrew,
         "\xD7\x9B\xD7\x9C\xD6\xBE\xD7\x90\xD7\xA9",
         {"\xD7\x9B\xD7\x9C\xD6\xBE\xD7\x90\xD7\xA9: \xD7\x9B\xD7\x9C \xD7\x90\xD7\xA9 at U+05BE"}},
        {"text that is no UTF-8 is the reader's to refuse", hebrew, "\xD7\x91\xFF\xD7\x90", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Describe(c.alphabet, c.text), c.expected) << c.name;
}

}  // namespace
