// The control texts of a proximity run: each shuffle keeps what it promises to keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "proximity/proximity_control_text.h"

namespace {

// Three lines of words; marks inside a word (a vowel point) do not split it, a maqaf does.
const std::string kDocument =
    "בְּרֵאשִׁית ברא אלהים\n"
    "את השמים ואת־הארץ\r\n"
    "\n"
    "והארץ היתה תהו ובהו\r";

std::string Letters(const CAlphabet& alphabet) {
    std::string text, error;
    EXPECT_TRUE(alphabet.MapDocument(kDocument, false, text, error)) << error;
    return text;
}

// The text cut into pieces of the given lengths, in order.
std::vector<std::string> Cut(const std::string& text, const std::vector<std::int32_t>& lengths) {
    std::vector<std::string> pieces;
    std::size_t at = 0;
    for (const std::int32_t length : lengths) {
        pieces.push_back(text.substr(at, static_cast<std::size_t>(length)));
        at += static_cast<std::size_t>(length);
    }
    return pieces;
}

// Whether text[at..] is the unused `pieces` one after the other in some order.
bool IsOrderOf(const std::string& text, std::size_t at, const std::vector<std::string>& pieces,
               std::vector<bool> used) {
    if (at == text.size()) return std::find(used.begin(), used.end(), false) == used.end();
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (used[i] || text.compare(at, pieces[i].size(), pieces[i]) != 0) continue;
        used[i] = true;
        if (IsOrderOf(text, at + pieces[i].size(), pieces, used)) return true;
        used[i] = false;
    }
    return false;
}

TEST(ProximityControlText, FindsWordsAndLines) {
    const CAlphabet alphabet(AlphabetName::Hebrew);
    const TextPieces pieces = FindTextPieces(kDocument, alphabet, false);
    EXPECT_EQ(pieces.wordLengths, (std::vector<std::int32_t>{6, 3, 5, 2, 5, 3, 4, 5, 4, 3, 4}));
    EXPECT_EQ(pieces.lineWords, (std::vector<std::int32_t>{3, 4, 4}));
}

TEST(ProximityControlText, EachKindKeepsItsPieces) {
    const CAlphabet alphabet(AlphabetName::Hebrew);
    const std::string original = Letters(alphabet);
    const TextPieces pieces = FindTextPieces(kDocument, alphabet, false);
    const std::vector<std::string> words = Cut(original, pieces.wordLengths);
    for (const ControlTextKind kind : {ControlTextKind::Letters, ControlTextKind::Words,
                                       ControlTextKind::Lines, ControlTextKind::WordsInLines}) {
        SCOPED_TRACE(ControlTextKindName(kind));
        std::string shuffled = original;
        MakeControlText(kind, pieces, 7, shuffled);
        std::string again = original;
        MakeControlText(kind, pieces, 7, again);
        EXPECT_EQ(shuffled, again);  // the seed alone decides
        EXPECT_NE(shuffled, original);
        std::string a = shuffled, b = original;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_EQ(a, b);
        if (kind == ControlTextKind::Words) {
            // Some order of the same words.
            EXPECT_TRUE(IsOrderOf(shuffled, 0, words, std::vector<bool>(words.size())));
        }
        if (kind == ControlTextKind::WordsInLines || kind == ControlTextKind::Lines) {
            std::vector<std::int32_t> lineLetters;
            std::size_t word = 0;
            for (const std::int32_t count : pieces.lineWords) {
                std::int32_t letters = 0;
                for (std::int32_t i = 0; i < count; ++i)
                    letters += pieces.wordLengths[word++];
                lineLetters.push_back(letters);
            }
            const std::vector<std::string> originalLines = Cut(original, lineLetters);
            if (kind == ControlTextKind::WordsInLines) {
                // Each line holds its own letters.
                const std::vector<std::string> lines = Cut(shuffled, lineLetters);
                for (std::size_t i = 0; i < lines.size(); ++i) {
                    std::string x = lines[i], y = originalLines[i];
                    std::sort(x.begin(), x.end());
                    std::sort(y.begin(), y.end());
                    EXPECT_EQ(x, y) << "line " << i;
                }
            } else {
                bool found = false;
                std::vector<std::size_t> order = {0, 1, 2};
                do {
                    found = originalLines[order[0]] + originalLines[order[1]] +
                                originalLines[order[2]] ==
                            shuffled;
                } while (!found && std::next_permutation(order.begin(), order.end()));
                EXPECT_TRUE(found);
            }
        }
    }
}

}  // namespace
