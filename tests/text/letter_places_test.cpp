#include "text/letter_places.h"

#include <gtest/gtest.h>

#include <random>

#include "text/utf8.h"

namespace {

using Places = std::vector<std::pair<std::int64_t, std::int64_t>>;

Places AllPlaces(const CAlphabet& alphabet, const std::string& document, bool ignoreNumbers,
                 std::size_t letters) {
    CLetterPlaces places(alphabet, document, ignoreNumbers);
    Places all;
    for (std::size_t i = 0; i < letters; ++i) {
        const LetterPlace place = places.Find(static_cast<std::int64_t>(i));
        all.emplace_back(place.line, place.column);
    }
    return all;
}

TEST(CLetterPlaces, CountsLinesAndCharacters) {
    const struct {
        AlphabetName name;
        std::string document;
        bool ignoreNumbers;
        Places expected;
    } cases[] = {
        {AlphabetName::Latin, "ab c", false, {{1, 1}, {1, 2}, {1, 4}}},
        // LF, CR LF and a lone CR end a line; an empty line still counts.
        {AlphabetName::Latin, "a\nb\r\nc\rd\n\ne", false, {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {6, 1}}},
        {AlphabetName::Latin, "1a2", false, {{1, 1}, {1, 2}, {1, 3}}},
        {AlphabetName::Latin, "1a2", true, {{1, 2}}},
        // A UTF-8 document counts code points; any other counts bytes.
        {AlphabetName::Latin, "caf\xC3\xA9 x", false, {{1, 1}, {1, 2}, {1, 3}, {1, 6}}},
        {AlphabetName::Latin, "caf\xE9 x", false, {{1, 1}, {1, 2}, {1, 3}, {1, 6}}},
        {AlphabetName::Latin, "\xC3\xA9\xC3\xA9x \xE9x", false, {{1, 5}, {1, 8}}},
        {AlphabetName::Latin, "\xEF\xBB\xBFxy", false, {{1, 1}, {1, 2}}},
        // Points and cantillation are code points of the line too.
        {AlphabetName::Hebrew,
         "\xEF\xBB\xBF"
         "בְּרֵא\nשִׁ֖ית",
         false,
         {{1, 1}, {1, 4}, {1, 6}, {2, 1}, {2, 5}, {2, 6}}},
        {AlphabetName::Greek, "ᾳ α\u0345β", false, {{1, 1}, {1, 3}, {1, 5}}},
    };
    for (const auto& c : cases) {
        const CAlphabet alphabet(c.name);
        std::string text;
        std::string errorText;
        ASSERT_TRUE(alphabet.MapDocument(c.document, c.ignoreNumbers, text, errorText));
        ASSERT_EQ(text.size(), c.expected.size()) << testing::PrintToString(c.document);
        EXPECT_EQ(AllPlaces(alphabet, c.document, c.ignoreNumbers, text.size()), c.expected)
            << testing::PrintToString(c.document);
    }
}

TEST(CLetterPlaces, AnswersNothingOutsideTheText) {
    const CAlphabet latin;
    const std::string document = "ab";
    CLetterPlaces places(latin, document, false);
    for (const std::int64_t index : {-1, 2, 1000}) {
        const LetterPlace place = places.Find(index);
        EXPECT_EQ(place.line, 0);
        EXPECT_EQ(place.column, 0);
    }
    CLetterPlaces none(latin, "", false);
    EXPECT_EQ(none.Find(0).line, 0);
}

// Long documents with long lines and long stretches without letters, asked in random order,
// against a plain count from the start.
TEST(CLetterPlaces, AgreesWithAPlainCountOnLongRandomDocuments) {
    std::mt19937 random(1313);
    const CAlphabet hebrew(AlphabetName::Hebrew);
    const char32_t pieces[] = {U'א',  U'ת',  U'ך', U'\u05B0', U'\u0591', U' ',
                               U'\n', U'\r', U'a', U'7',      U'\u05BE'};
    for (int round = 0; round < 6; ++round) {
        std::string document;
        Places expected;
        std::int64_t line = 1;
        std::int64_t column = 1;
        char32_t previous = 0;
        const int length = 2000 + static_cast<int>(random() % 20000);
        for (int i = 0; i < length; ++i) {
            char32_t c = pieces[random() % std::size(pieces)];
            // Some rounds have runs of thousands of blanks between letters.
            if (round % 2 == 1 && previous != U'\r' && random() % 500 == 0) {
                for (int blank = 0; blank < 5000; ++blank)
                    document += ' ';
                column += 5000;
                c = U' ';
            }
            if (previous == U'\r' && c != U'\n') {
                ++line;
                column = 1;
            }
            AppendUtf8(document, c);
            if (c == U'\n') {
                ++line;
                column = 1;
            } else {
                if (c == U'א' || c == U'ת' || c == U'ך' || c == U'7')
                    expected.emplace_back(line, column);
                if (c != U'\r') ++column;
            }
            previous = c;
        }
        CLetterPlaces places(hebrew, document, false);
        std::vector<std::size_t> order(expected.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::shuffle(order.begin(), order.end(), random);
        for (const std::size_t i : order) {
            const LetterPlace place = places.Find(static_cast<std::int64_t>(i));
            ASSERT_EQ(std::make_pair(place.line, place.column), expected[i])
                << "round " << round << ", letter " << i;
        }
        EXPECT_EQ(places.Find(static_cast<std::int64_t>(expected.size())).line, 0);
    }
}

}  // namespace
