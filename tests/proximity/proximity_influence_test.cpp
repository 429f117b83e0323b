// --influence: the permutation test with one person or one word left out is the test of the list
// without that person's (or that word's) lines, computed from scratch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "common/random.h"
#include "proximity/proximity_run.h"
#include "tests/proximity/proximity_support.h"

namespace {

// A seeded random text and six persons whose words are drawn from it; person 5 has no date.
struct InfluenceFixture {
    CProximityText text{RandomLetters("abcdefgh", 1000, 91)};
    ProximityRequest request;

    InfluenceFixture() {
        CXoshiro256StarStar random = CXoshiro256StarStar::FromSeed(92);
        const auto word = [&](std::size_t length) {
            const auto start = UniformBelow(random, 1000 - 10);
            return std::string(text.Letters().substr(start, length));
        };
        request.fromList = true;
        request.permutations = 700;
        request.settings.minTriples = 2;  // more pairs with c defined in a short text
        for (int p = 0; p < 6; ++p) {
            ProximityPerson person;
            person.id = "p" + std::to_string(p);
            person.names = {word(5), word(6)};
            if (p != 5) person.dates = {word(5), word(6), "abc"};  // "abc" is left out
            request.persons.push_back(person);
        }
    }
};

// The cells of `request`'s list from scratch: its own matrix, as the tool computes it.
CellMatrix CellsFromScratch(const CProximityText& text, const ProximityRequest& request) {
    CProximityMatrix matrix;
    matrix.Compute(text, request.persons, request.settings, ProximityMatrixOptions());
    EXPECT_TRUE(matrix.Complete());
    return CellMatrixOfRows(request, RowsOf(matrix, false));
}

struct FromScratch {
    std::int64_t pairs;
    PermutationCounts counts;
};

void ExpectRow(const InfluenceRow& row, const FromScratch& expected) {
    EXPECT_EQ(row.pairs, expected.pairs);
    EXPECT_EQ(row.counts.permutations, expected.counts.permutations);
    EXPECT_EQ(row.counts.atMostP1, expected.counts.atMostP1);
    EXPECT_EQ(row.counts.atMostP2, expected.counts.atMostP2);
    EXPECT_EQ(row.counts.atMostT, expected.counts.atMostT);
}

TEST(ProximityInfluence, LeavingOutAPersonOrAWordIsTheListWithoutItsLines) {
    InfluenceFixture fixture;
    ProximityRequest& request = fixture.request;
    const CProximityText& text = fixture.text;
    CProximityMatrix matrix;
    matrix.Compute(text, request.persons, request.settings, ProximityMatrixOptions());
    const ProximityRows rows = RowsOf(matrix, false);
    const CellMatrix cells = CellMatrixOfRows(request, rows);
    ASSERT_GE(ListStatistics(cells).pairs, 10);

    // The lists without one person, and without one fitting word (each person's names, then its
    // dates, as the influence rows come before sorting), from scratch.
    std::vector<CellMatrix> withoutPerson, withoutWord;
    for (std::size_t p = 0; p < request.persons.size(); ++p) {
        ProximityRequest without = request;
        without.persons.erase(without.persons.begin() + static_cast<std::ptrdiff_t>(p));
        withoutPerson.push_back(CellsFromScratch(text, without));
    }
    std::vector<ListWord> words;
    for (std::size_t p = 0; p < request.persons.size(); ++p) {
        for (const bool isDate : {false, true}) {
            const std::vector<std::string>& list =
                isDate ? request.persons[p].dates : request.persons[p].names;
            for (std::uint32_t i = 0; i < list.size(); ++i) {
                if (CheckWord(list[i], request.settings) != WordFit::Fits) continue;
                words.push_back({p, isDate, i});
                ProximityRequest without = request;
                std::vector<std::string>& kept =
                    isDate ? without.persons[p].dates : without.persons[p].names;
                kept.erase(kept.begin() + i);
                withoutWord.push_back(CellsFromScratch(text, without));
            }
        }
    }
    // Each fitting word once: 2 names of each person, 2 dates of five ("abc" is too short).
    ASSERT_EQ(words.size(), 22u);

    for (const std::uint64_t seed : {1u, 5u, 20261210u}) {
        SCOPED_TRACE(seed);
        request.seed = seed;
        const PermutationCounts whole = PermutationTest(cells, seed, request.permutations, 2);
        const std::optional<ProximityInfluence> influence =
            RunInfluence(request, rows, whole, 2, nullptr, nullptr);
        ASSERT_TRUE(influence.has_value());
        ASSERT_EQ(influence->persons.size(), request.persons.size());
        ASSERT_EQ(influence->words.size(), words.size());
        const auto expected = [&](const CellMatrix& scratch) {
            return FromScratch{ListStatistics(scratch).pairs,
                               PermutationTest(scratch, seed, request.permutations, 1)};
        };
        for (const InfluenceRow& row : influence->persons) {
            SCOPED_TRACE(request.persons[row.person].id);
            EXPECT_FALSE(row.word.has_value());
            ExpectRow(row, expected(withoutPerson[row.person]));
        }
        for (const InfluenceRow& row : influence->words) {
            ASSERT_TRUE(row.word.has_value());
            const auto found = std::find_if(words.begin(), words.end(), [&](const ListWord& w) {
                return w.person == row.word->person && w.isDate == row.word->isDate &&
                       w.index == row.word->index;
            });
            ASSERT_NE(found, words.end());
            SCOPED_TRACE(request.persons[row.person].id + (row.word->isDate ? " date " : " name ") +
                         std::to_string(row.word->index));
            ExpectRow(row, expected(withoutWord[static_cast<std::size_t>(found - words.begin())]));
        }
        // Sorted by how far the rank of P2 moves, the farthest first.
        for (const std::vector<InfluenceRow>* list : {&influence->persons, &influence->words}) {
            EXPECT_TRUE(std::is_sorted(list->begin(), list->end(),
                                       [&](const InfluenceRow& a, const InfluenceRow& b) {
                                           return std::llabs(a.counts.atMostP2 - whole.atMostP2) >
                                                  std::llabs(b.counts.atMostP2 - whole.atMostP2);
                                       }));
        }
    }
}

}  // namespace
