// The bundled Hebrew and Greek samples, read through their alphabets.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "search/find_sequences.h"
#include "tests/support/recording_sink.h"
#include "tests/support/samples.h"
#include "text/alphabet.h"
#include "text/letter_places.h"

namespace {

std::string FirstLine(const std::string& document) {
    return document.substr(0, document.find('\n'));
}

std::string Map(const CAlphabet& alphabet, const std::string& document) {
    std::string text;
    std::string errorText;
    EXPECT_TRUE(alphabet.MapDocument(document, false, text, errorText)) << errorText;
    return text;
}

TEST(SampleText, TorahHasItsKnownLetterCounts) {
    const std::string torah = ReadSample("torah-wlc.txt");
    const CAlphabet hebrew(AlphabetName::Hebrew);
    EXPECT_EQ(Map(hebrew, torah).size(), 304850u);
    EXPECT_EQ(hebrew.Spell(Map(hebrew, FirstLine(torah))), "בראשיתבראאלהימאתהשמימואתהארצ");
    EXPECT_EQ(Map(hebrew, FirstLine(torah)).size(), 28u);
    const CAlphabet withFinals(AlphabetName::Hebrew, true);
    EXPECT_EQ(withFinals.Spell(Map(withFinals, FirstLine(torah))), "בראשיתבראאלהיםאתהשמיםואתהארץ");
}

TEST(SampleText, JohnHasItsKnownLetterCounts) {
    const std::string john = ReadSample("john-byz.txt");
    const CAlphabet greek(AlphabetName::Greek);
    EXPECT_EQ(Map(greek, john).size(), 72382u);
    EXPECT_EQ(greek.Spell(Map(greek, FirstLine(john))),
              "ΕΝΑΡΧΗΗΝΟΛΟΓΟΣΚΑΙΟΛΟΓΟΣΗΝΠΡΟΣΤΟΝΘΕΟΝΚΑΙΘΕΟΣΗΝΟΛΟΓΟΣ");
}

// From the first tav of Genesis every 50th letter spells TORAH.
TEST(SampleText, TorahStandsAtSkipFiftyFromTheFirstTav) {
    const std::string torah = ReadSample("torah-wlc.txt");
    const CAlphabet hebrew(AlphabetName::Hebrew);
    const std::string text = Map(hebrew, torah);
    KeywordList keywords;
    std::string errorText;
    ASSERT_TRUE(hebrew.ReadKeywords("תורה", keywords, errorText));
    const std::size_t tav = text.find(keywords.at(0)[0]);
    ASSERT_EQ(tav, 5u);  // the last letter of the first word

    SearchSettings settings;
    settings.MaxDistanceBetweenLetters = 50;
    settings.MaxResultLength = 150;
    settings.AllowReverseKeywords = false;
    CRecordingSink sink;
    ASSERT_TRUE(FindSequences(text.c_str(), 2000, keywords, settings, sink, errorText));
    const std::vector<std::string> results = sink.Results();
    const std::string letters = " [5,55,105,155]";
    EXPECT_EQ(std::count_if(results.begin(), results.end(),
                            [&](const std::string& result) {
                                return result.size() > letters.size() &&
                                       result.compare(result.size() - letters.size(),
                                                      letters.size(), letters) == 0;
                            }),
              1);

    // Its letters stand in Genesis 1:1 and 1:2 (line 1, after the first word; line 2).
    CLetterPlaces places(hebrew, torah, false);
    EXPECT_EQ(places.Find(5).line, 1);
    EXPECT_EQ(places.Find(5).column, 6);
    EXPECT_EQ(places.Find(28).line, 2);
    EXPECT_EQ(places.Find(28).column, 1);
}

}  // namespace
