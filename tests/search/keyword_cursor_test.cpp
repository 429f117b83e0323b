#include "search/keyword_cursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> AllSkips(KeywordCursor& cursor) {
    std::vector<int> skips;
    if (!cursor.HasValidSkip()) return skips;
    do {
        skips.push_back(cursor.skip);
    } while (cursor.NextSkip());
    return skips;
}

TEST(KeywordCursor, SkipsRunFromMostNegativeUpThenPositive) {
    SearchSettings settings;
    settings.MaxDistanceBetweenLetters = 3;
    KeywordCursor cursor;
    cursor.settings = &settings;
    ASSERT_TRUE(cursor.Reset(0, 20, 3));
    cursor.position = 5;  // room: 5 below (skips down to -2), 15 above (up to +3 by D)
    ASSERT_TRUE(cursor.FirstSkip());
    EXPECT_EQ(AllSkips(cursor), (std::vector<int>{-2, -1, 1, 2, 3}));
    EXPECT_EQ(cursor.skip, 3) << "a failed NextSkip leaves the cursor unchanged";
}

TEST(KeywordCursor, ValidSkipRules) {
    const struct {
        bool reverse, exclude;
        int maxLength, maxDistance, start, end, n, position;
        std::vector<int> skips;
        int minSkip = 1;
    } cases[] = {
        {true, false, 1000, 500, 0, 9, 2, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {false, false, 1000, 500, 0, 9, 2, 4, {1, 2, 3, 4, 5}},
        {true, true, 1000, 500, 0, 9, 2, 8, {-8, -7, -6, -5, -4, -3, -2, -1}},
        {true, true, 1000, 500, 0, 9, 2, 0, {2, 3, 4, 5, 6, 7, 8, 9}},
        // |s| * (n - 1) <= M: M = 4 with three letters allows |s| <= 2.
        {true, false, 4, 500, 0, 20, 3, 10, {-2, -1, 1, 2}},
        // The range bounds the letters, not only the first one.
        {true, false, 1000, 500, 3, 9, 3, 5, {-1, 1, 2}},
        // No valid skip at all: +1 excluded and nothing else fits.
        {false, true, 1000, 500, 0, 1, 2, 0, {}},
        // A one-letter keyword has the single skip 0.
        {true, false, 1000, 500, 0, 9, 1, 4, {0}},
        // |s| >= the smallest skip on both sides; excluding +1 then changes nothing.
        {true, false, 1000, 500, 0, 9, 2, 4, {-4, -3, 3, 4, 5}, 3},
        {true, true, 1000, 500, 0, 9, 2, 4, {-4, -3, -2, 2, 3, 4, 5}, 2},
        // Only reverse skips below the smallest: none on that side.
        {true, false, 1000, 500, 0, 9, 2, 2, {3, 4, 5, 6, 7}, 3},
        {true, false, 1000, 500, 0, 9, 2, 8, {-8, -7, -6, -5, -4}, 4},
        {true, false, 1000, 500, 0, 9, 2, 5, {}, 6},
        {true, false, 1000, 500, 0, 9, 1, 4, {0}, 5},
    };
    for (const auto& c : cases) {
        SearchSettings settings;
        settings.AllowReverseKeywords = c.reverse;
        settings.ExcludeWordsDirectlyFromText = c.exclude;
        settings.MaxResultLength = c.maxLength;
        settings.MaxDistanceBetweenLetters = c.maxDistance;
        settings.MinSkip = c.minSkip;
        KeywordCursor cursor;
        cursor.settings = &settings;
        ASSERT_TRUE(cursor.Reset(c.start, c.end, c.n));
        cursor.position = c.position;
        EXPECT_EQ(cursor.FirstSkip(), !c.skips.empty());
        EXPECT_EQ(AllSkips(cursor), c.skips) << "position " << c.position;
    }
}

TEST(KeywordCursor, ResetNeedsRoomForTheKeywordAndLeavesTheCursorAloneOnFailure) {
    SearchSettings settings;
    settings.MaxResultLength = 3;
    KeywordCursor cursor;
    cursor.settings = &settings;
    ASSERT_TRUE(cursor.Reset(2, 4, 3));
    EXPECT_EQ(cursor.position, 2);
    EXPECT_FALSE(cursor.Reset(0, 1, 3)) << "range shorter than the keyword";
    EXPECT_FALSE(cursor.Reset(0, 100, 4)) << "keyword longer than MaxResultLength";
    EXPECT_EQ(cursor.start, 2);
    EXPECT_EQ(cursor.end, 4);
    EXPECT_EQ(cursor.length, 3);
}

}  // namespace
