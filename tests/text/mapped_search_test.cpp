// A search in an alphabet is the search of the same text written in A-Z: the letters of a small
// model alphabet stand for the script's letters, marks and punctuation vanish, and the results
// must be the same.
#include <gtest/gtest.h>

#include <random>

#include "search/find_sequences.h"
#include "tests/support/recording_sink.h"
#include "text/alphabet.h"
#include "text/utf8.h"

namespace {

struct ModelLetter {
    char32_t character;
    char model;  // the Latin letter the model writes for it
};

// Hebrew letters (a final form is its ordinary letter), Greek letters in several dresses, and
// characters that are no letters.
const ModelLetter kHebrew[] = {{U'א', 'A'}, {U'ב', 'B'}, {U'ת', 'T'}, {U'כ', 'K'},
                               {U'ך', 'K'}, {U'מ', 'M'}, {U'ם', 'M'}, {U'\uFB2E', 'A'}};
const ModelLetter kGreek[] = {{U'α', 'A'}, {U'ᾳ', 'A'}, {U'Ἀ', 'A'}, {U'σ', 'S'}, {U'ς', 'S'},
                              {U'Σ', 'S'}, {U'ϲ', 'S'}, {U'ω', 'W'}, {U'ῷ', 'W'}, {U'β', 'B'}};
const char32_t kNoLetters[] = {U' ',      U'\n',     U'\u05B0', U'\u0591', U'\u05BE',
                               U'\u05C3', U'\u0301', U'\u0345', U'x',      U'·'};

std::vector<std::string> Search(const std::string& text, const KeywordList& keywords,
                                const SearchSettings& settings) {
    CRecordingSink sink;
    sink.recordProgress = false;
    std::string errorText;
    EXPECT_TRUE(FindSequences(text.c_str(), static_cast<std::int32_t>(text.size()), keywords,
                              settings, sink, errorText));
    return sink.calls;
}

template <std::size_t N>
void CheckRandomSearches(AlphabetName name, const ModelLetter (&letters)[N], unsigned seed) {
    std::mt19937 random(seed);
    const CAlphabet alphabet(name);
    int roundsWithResults = 0;
    for (int round = 0; round < 40; ++round) {
        std::string document;
        std::string model;
        const int length = 50 + static_cast<int>(random() % 800);
        for (int i = 0; i < length; ++i) {
            if (random() % 4 == 0) {
                AppendUtf8(document, kNoLetters[random() % std::size(kNoLetters)]);
            } else {
                const ModelLetter& letter = letters[random() % N];
                AppendUtf8(document, letter.character);
                model.push_back(letter.model);
            }
        }
        std::string keywordText;
        std::vector<std::string> modelKeywords;
        for (int k = 1 + static_cast<int>(random() % 2); k > 0; --k) {
            std::string modelKeyword;
            for (int i = 3 + static_cast<int>(random() % 3); i > 0; --i) {
                const ModelLetter& letter = letters[random() % N];
                AppendUtf8(keywordText, letter.character);
                modelKeyword.push_back(letter.model);
            }
            keywordText += random() % 2 ? " " : ", ";
            modelKeywords.push_back(modelKeyword);
        }
        SearchSettings settings;
        settings.MaxDistanceBetweenLetters = 1 + static_cast<std::int32_t>(random() % 60);
        settings.MaxResultLength = 20 + static_cast<std::int32_t>(random() % 150);
        settings.MinColumnWidth = 1 + static_cast<std::int32_t>(random() % 20);
        settings.MaxColumnWidth =
            settings.MinColumnWidth + static_cast<std::int32_t>(random() % 60);
        settings.ExcludeWordsDirectlyFromText = random() % 2 == 0;
        settings.AllowReverseKeywords = random() % 4 != 0;

        std::string text;
        KeywordList keywords;
        std::string errorText;
        ASSERT_TRUE(alphabet.MapDocument(document, false, text, errorText)) << errorText;
        ASSERT_TRUE(alphabet.ReadKeywords(keywordText, keywords, errorText)) << errorText;
        ASSERT_EQ(text.size(), model.size());
        const std::vector<std::string> expected = Search(model, modelKeywords, settings);
        ASSERT_EQ(Search(text, keywords, settings), expected) << "round " << round;
        if (expected.size() > 3) ++roundsWithResults;
    }
    // Most rounds must find something, or the comparison would prove little.
    EXPECT_GT(roundsWithResults, 20);
}

TEST(MappedSearch, HebrewFindsWhatItsModelFinds) {
    CheckRandomSearches(AlphabetName::Hebrew, kHebrew, 2024);
}

TEST(MappedSearch, GreekFindsWhatItsModelFinds) {
    CheckRandomSearches(AlphabetName::Greek, kGreek, 77);
}

}  // namespace
