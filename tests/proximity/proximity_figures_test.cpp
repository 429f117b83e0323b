// The published figures of the corrected distance on the Koren Genesis (delta constant 0).
#include <gtest/gtest.h>

#include <vector>

#include "proximity/proximity.h"
#include "tests/proximity/proximity_support.h"

namespace {

TEST(ProximityFigures, TheKorenGenesisHas78064Letters) {
    EXPECT_EQ(KorenGenesis().Length(), 78064);
}

TEST(ProximityFigures, SkipLimitOfMattaniah) {
    EXPECT_EQ(SkipLimit(KorenGenesis(), HebrewCodes("מתניה"), ProximitySettings()), 36);
}

TEST(ProximityFigures, TheMinusTwoFamilyOfMattaniahAndItsDomains) {
    const WordFamilies families =
        FindFamilies(KorenGenesis(), HebrewCodes("מתניה"), ProximitySettings());
    const int triple = TripleIndex({-2, -2, -2});
    ASSERT_EQ(triple, 0);
    struct Expected {
        std::int32_t start, skip, low, high;
    };
    const std::vector<Expected> expected = {
        {7675, -24, 0, 11299},      {11247, 13, 0, 12217},     {12197, 5, 0, 78064},
        {17451, 13, 12197, 78064},  {43802, 33, 17451, 46903}, {46839, 16, 17451, 78064},
        {59073, -22, 46839, 78064}, {70939, 24, 58985, 78064},
    };
    // The family's own order is by |d|; the published list is by start.
    std::vector<FamilyMember> members = families.families[triple];
    std::sort(members.begin(), members.end(), [](const FamilyMember& a, const FamilyMember& b) {
        return a.els.start < b.els.start;
    });
    ASSERT_EQ(members.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(members[i].els.start, expected[i].start);
        EXPECT_EQ(members[i].els.skip, expected[i].skip);
        EXPECT_TRUE(members[i].hasDomain);
        EXPECT_EQ(members[i].low, expected[i].low);
        EXPECT_EQ(members[i].high, expected[i].high);
    }
}

TEST(ProximityFigures, PublishedCorrectedDistances) {
    struct Case {
        const char* word1;
        const char* word2;
        int rank, triples;
    };
    const Case cases[] = {
        {"צדקיהו", "מתניה", 2, 125},
        {"בנבנשת", "הורוויץ", 68, 125},
    };
    const ProximitySettings settings;
    for (const Case& pair : cases) {
        SCOPED_TRACE(pair.word1);
        const WordFamilies first = FindFamilies(KorenGenesis(), HebrewCodes(pair.word1), settings);
        const WordFamilies second = FindFamilies(KorenGenesis(), HebrewCodes(pair.word2), settings);
        const PairResult result = CorrectedDistance(KorenGenesis(), first, second, settings);
        EXPECT_EQ(result.validTriples, pair.triples);
        EXPECT_TRUE(result.defined);
        EXPECT_EQ(result.rank, pair.rank);
        EXPECT_EQ(result.c, double(pair.rank) / pair.triples);
    }
}

}  // namespace
