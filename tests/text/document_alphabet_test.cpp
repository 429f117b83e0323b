#include "text/document_alphabet.h"
#include "tests/support/samples.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace {

TEST(DocumentAlphabet, FollowsTheLettersOfAValidUtf8Document) {
    const struct {
        const char* name;
        std::string document;
        AlphabetName expected;
    } cases[] = {
        {"empty", "", AlphabetName::Latin},
        {"a byte-order mark alone", "\xEF\xBB\xBF", AlphabetName::Latin},
        {"pure Latin in a single-byte code page (\xE9 is e acute in Windows-1252)",
         "In the beginning God cr\xE9"
         "ated the heaven.\r\n",
         AlphabetName::Latin},
        {"Latin UTF-8 with a few Hebrew words",
         "The word \xD7\xAA\xD7\x95\xD7\xA8\xD7\x94 (torah) means teaching; "
         "\xD7\x9E\xD7\xA9\xD7\x94 is Moses.\n",
         AlphabetName::Latin},
        {"Hebrew with Latin verse numbers",
         "Gen 1:1 \xD7\x91\xD7\xA8\xD7\x90\xD7\xA9\xD7\x99\xD7\xAA "
         "\xD7\x91\xD7\xA8\xD7\x90 \xD7\x90\xD7\x9C\xD7\x94\xD7\x99\xD7\x9D\n",
         AlphabetName::Hebrew},
        {"pointed Hebrew after a byte-order mark: the points are no letters",
         "\xEF\xBB\xBF"
         "ab \xD7\x91\xD6\xBC\xD6\xB0\xD7\xA8\xD6\xB5\xD7\x90\xD7\xA9\xD6\xB4\xD7\x99"
         "\xD7\xAA",
         AlphabetName::Hebrew},
        {"Greek with accents and breathings",
         "1:1 \xE1\xBC\x98\xCE\xBD \xE1\xBC\x80\xCF\x81\xCF\x87\xE1\xBF\x87 \xE1\xBC\xA6\xCE\xBD "
         "\xE1\xBD\x81 \xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82\n",
         AlphabetName::Greek},
        {"invalid UTF-8: Hebrew in Windows-1255", "\xFA\xE5\xF8\xE4 \xEE\xF9\xE4\n",
         AlphabetName::Latin},
        {"Hebrew letters, then one byte that is no UTF-8", "\xD7\xAA\xD7\x95\xD7\xA8\xD7\x94 \xFF",
         AlphabetName::Latin},
        {"exactly half Hebrew is not mostly Hebrew", "ab\xD7\xAA\xD7\x95", AlphabetName::Latin},
        {"Russian with a Greek word: Cyrillic letters count against Greek",
         "\xD0\xA1\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE \xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82",
         AlphabetName::Latin},
        {"the Ohm sign is omega", "\xE2\x84\xA6\xE2\x84\xA6 a", AlphabetName::Greek},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DocumentAlphabet(c.document), c.expected) << c.name;
}

TEST(DocumentAlphabet, KnowsTheBundledSamples) {
    EXPECT_EQ(DocumentAlphabet(ReadSample("genesis.txt")), AlphabetName::Latin);
    EXPECT_EQ(DocumentAlphabet(ReadSample("torah-wlc.txt")), AlphabetName::Hebrew);
    EXPECT_EQ(DocumentAlphabet(ReadSample("john-byz.txt")), AlphabetName::Greek);
}

TEST(SuggestedAlphabet, OnlyForADocumentWithoutALetterOfTheAlphabet) {
    const CAlphabet latin, hebrew(AlphabetName::Hebrew), greek(AlphabetName::Greek);
    const std::string hebrewText = "1:1 \xD7\x91\xD7\xA8\xD7\x90\xD7\xA9\xD7\x99\xD7\xAA\n";
    const std::string greekText = "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82 12\n";
    const struct {
        const char* name;
        const CAlphabet& alphabet;
        std::string document;
        std::optional<AlphabetName> expected;
    } cases[] = {
        {"Hebrew read as Latin", latin, hebrewText, AlphabetName::Hebrew},
        {"Greek read as Latin", latin, greekText, AlphabetName::Greek},
        {"Greek read as Hebrew", hebrew, greekText, AlphabetName::Greek},
        {"Latin read as Greek", greek, "In the beginning 1:1", AlphabetName::Latin},
        {"Latin in a single-byte code page read as Hebrew", hebrew,
         "Cr\xE9"
         "ation",
         AlphabetName::Latin},
        {"one Latin letter is a letter of the alphabet", latin, "a " + hebrewText, std::nullopt},
        {"one Hebrew letter is a letter of the alphabet", hebrew, "abc \xD7\x90", std::nullopt},
        {"the document's own alphabet", greek, greekText, std::nullopt},
        {"no alphabet has most letters: Cyrillic", greek, "\xD0\xA1\xD0\xBB\xD0\xBE", std::nullopt},
        {"half Hebrew, half Cyrillic", latin, "\xD7\x90\xD0\xA1", std::nullopt},
        {"digits only", latin, "12 34", std::nullopt},
        {"empty", hebrew, "", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SuggestedAlphabet(c.document, c.alphabet), c.expected) << c.name;
}

}  // namespace
