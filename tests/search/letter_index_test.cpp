// The letter index: what it holds, however its work is cut into pieces and shared between
// threads; that it asks whether to go on between pieces and stops at once when told; and the
// budget it is chosen against.

#include <gtest/gtest.h>

#include <random>

#include "search/find_sequences.h"
#include "search/indexed_search.h"
#include "search/letter_index.h"
#include "tests/support/random_text.h"
#include "tests/support/recording_sink.h"

namespace {

// Answers yes until its `stopAt`-th question (0: never says no), and counts the questions.
class CCountingReceiver : public IndexBuildReceiver {
  public:
    explicit CCountingReceiver(int stopAt = 0) : stopAt_(stopAt) {}
    bool GoOn() override { return ++asked != stopAt_; }
    int asked = 0;

  private:
    int stopAt_;
};

LetterCounts CountsOf(const std::string& text) {
    LetterCounts counts;
    CCountingReceiver goOn;
    EXPECT_TRUE(
        CountLetters(text.c_str(), static_cast<std::int32_t>(text.size()), counts, goOn, 1000));
    return counts;
}

// Every bit of every bitmap and every first-letter list, read straight from the text. Lengths
// around a multiple of 64 strides, and long enough for the second thread, with pieces from one
// word to the whole text.
TEST(LetterIndex, HoldsWhereEveryLetterStandsHoweverTheWorkIsCut) {
    const struct {
        std::size_t length;
        std::int64_t stepLetters;
    } cases[] = {
        {1, 1},          {255, 1},          {256, 64},           {257, 1000},
        {3 * 64 + 2, 7}, {70001, 1},        {70001, 64 * 3 + 1}, {70001, 4096},
        {131072, 65536}, {131075, 1 << 30},
    };
    const KeywordList order = MakeSearchOrder({"ABCDE", "CAB", "DDDDD", "E"});
    for (const auto& c : cases) {
        const std::string text = RandomText(c.length, 5, static_cast<std::uint32_t>(c.length));
        const auto length = static_cast<std::int32_t>(text.size());
        const LetterCounts counts = CountsOf(text);
        for (const char letter : {'A', 'B', 'C', 'D', 'E', 'F'}) {
            ASSERT_EQ(counts[static_cast<unsigned char>(letter)],
                      static_cast<std::uint64_t>(std::count(text.begin(), text.end(), letter)));
        }
        LetterIndex index(text.c_str(), length, order, kFullBitmapLetters, counts);
        CCountingReceiver goOn;
        ASSERT_TRUE(index.Fill(goOn, c.stepLetters));
        for (const char first : {'A', 'C', 'D', 'E'}) {
            std::vector<std::int32_t> expected;
            for (std::int32_t i = 0; i < length; ++i) {
                if (text[i] == first) expected.push_back(i);
            }
            ASSERT_EQ(index.Occurrences(first), expected) << c.length << " " << first;
        }
        for (const std::string& keyword : order) {
            for (std::int32_t stride = 1;
                 stride < std::min(5, static_cast<std::int32_t>(keyword.size())); ++stride) {
                const StridedBitmap& bitmap = index.Bitmap(keyword[stride], stride);
                ASSERT_EQ(bitmap.Count(), counts[static_cast<unsigned char>(keyword[stride])]);
                for (std::int32_t phase = 0; phase < stride; ++phase) {
                    const std::uint64_t* words = bitmap.Phase(phase);
                    const std::int64_t bits = (length - phase + stride - 1) / stride;
                    // The two words past the last bit must read as zero as well.
                    for (std::int64_t k = 0; k < (bits / 64 + 2) * 64; ++k) {
                        const bool expected =
                            k < bits && text[stride * k + phase] == keyword[stride];
                        ASSERT_EQ((words[k / 64] >> (k % 64)) & 1, expected)
                            << c.length << " step " << c.stepLetters << " " << keyword[stride]
                            << stride << " phase " << phase << " bit " << k;
                    }
                }
            }
        }
    }
}

// Counting and filling ask between every two pieces and stop at the first no, whether it comes
// while letters are counted, first letters listed or bitmaps filled.
TEST(LetterIndex, AsksToGoOnBetweenPiecesAndStopsAtTheFirstNo) {
    const std::string text = RandomText(100000, 4, 5);
    const auto length = static_cast<std::int32_t>(text.size());
    const KeywordList order = MakeSearchOrder({"ABCD", "BCDA"});
    constexpr std::int64_t kStep = 1000;

    CCountingReceiver counting;
    LetterCounts counts;
    ASSERT_TRUE(CountLetters(text.c_str(), length, counts, counting, kStep));
    EXPECT_EQ(counting.asked, 99);  // between the 100 pieces
    CCountingReceiver stopsCounting(40);
    EXPECT_FALSE(CountLetters(text.c_str(), length, counts, stopsCounting, kStep));
    EXPECT_EQ(stopsCounting.asked, 40);

    CCountingReceiver filling;
    {
        LetterIndex index(text.c_str(), length, order, kFullBitmapLetters, counts);
        ASSERT_TRUE(index.Fill(filling, kStep));
    }
    // Before each of the 100 pieces of first letters, and at least once for the bitmaps (which
    // the second thread shares, so how often is not known).
    ASSERT_GE(filling.asked, 101);
    for (const int stopAt : {1, 50, 100, 101}) {
        LetterIndex index(text.c_str(), length, order, kFullBitmapLetters, counts);
        CCountingReceiver stops(stopAt);
        EXPECT_FALSE(index.Fill(stops, kStep)) << stopAt;
        EXPECT_EQ(stops.asked, stopAt);
    }
}

// While a large index is built, the sink hears of progress at its usual cadence (at the first
// letter), and a no stops the search without building the rest.
TEST(LetterIndex, TheSearchReportsProgressAndCancelsWhileItBuildsTheIndex) {
    // No keyword's first letter occurs, so the search itself has nothing to do.
    const std::string text = RandomText(200000, 4, 9);
    const auto length = static_cast<std::int32_t>(text.size());
    const KeywordList keywords = {"zabc", "zbcd"};
    IndexedSearchPlan plan;
    plan.indexStepLetters = 1000;
    plan.indexBudget = UINT64_MAX;
    const std::string atStart = "Progress 0 " + std::to_string(length);

    CRecordingSink sink;
    CSteppingClock clock(21);
    std::string errorText;
    ASSERT_TRUE(
        FindSequencesIndexed(text.c_str(), length, keywords, {}, sink, errorText, clock, plan));
    // Between the 200 pieces counted, before the 200 listed, and for the bitmaps.
    EXPECT_GE(std::count(sink.calls.begin(), sink.calls.end(), atStart), 400);
    EXPECT_EQ(sink.calls.back(), "End");

    // A no while letters are counted, and one while first letters are listed.
    for (const std::size_t refusal : {2u, 300u}) {
        CRecordingSink canceling;
        canceling.progressAnswers.assign(refusal - 1, true);
        canceling.progressAnswers.push_back(false);
        CSteppingClock ticking(21);
        ASSERT_TRUE(FindSequencesIndexed(text.c_str(), length, keywords, {}, canceling, errorText,
                                         ticking, plan));
        std::vector<std::string> expected(refusal + 2, atStart);
        expected.front() = "Begin";
        expected.back() = "End canceled";
        EXPECT_EQ(canceling.calls, expected) << refusal;
    }
}

// The largest text: every size is 64-bit (a 32-bit sum would wrap around near 2^31 letters).
TEST(LetterIndex, EstimatesAnIndexForTheLargestText) {
    const std::uint64_t letters = INT32_MAX;
    for (std::int32_t stride = 1; stride <= kFullBitmapLetters; ++stride) {
        // A bit per letter, and per phase two spare words and the bookkeeping.
        const std::uint64_t bytes = StridedBitmap::Bytes(INT32_MAX, stride);
        EXPECT_GE(bytes, letters / 8) << stride;
        EXPECT_LE(bytes, letters / 8 + 64 * static_cast<std::uint64_t>(stride) + 64) << stride;
    }
    LetterCounts counts{};
    counts['A'] = INT32_MAX;
    // 4 bytes per first letter, and four bitmaps.
    const std::uint64_t bytes =
        LetterIndex::Bytes(counts, INT32_MAX, {"AAAAA"}, kFullBitmapLetters);
    EXPECT_GE(bytes, 4 * letters + 4 * (letters / 8));
    EXPECT_LE(bytes, 4 * letters + 4 * (letters / 8) + 16384);
}

TEST(LetterIndex, DefaultBudgetKeepsToFourBytesPerLetterAndHalfTheMachine) {
    constexpr std::uint64_t kMB = 1 << 20;
    const struct {
        std::int64_t letters;
        std::uint64_t physical;
        std::uint64_t budget;
    } cases[] = {
        {0, 0, 40 * kMB},                                      // machine unknown
        {1000000, 0, 4000000 + 40 * kMB},                      // 4 bytes per letter and 40 MB
        {1000000, 16384 * kMB, 4000000 + 40 * kMB},            // a large machine changes nothing
        {1000000000, 4096 * kMB, 2048 * kMB - 1000000000},     // half the machine beside the text
        {2000000000, 3072 * kMB, 0},                           // the text alone fills that half
        {INT32_MAX, 1ull << 40, 4ull * INT32_MAX + 40 * kMB},  // no 32-bit overflow
    };
    for (const auto& c : cases)
        EXPECT_EQ(DefaultIndexBudget(c.letters, c.physical), c.budget) << c.letters;
}

}  // namespace
