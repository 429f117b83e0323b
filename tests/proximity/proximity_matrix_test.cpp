// The c matrix of a list: every name of i with every date of j, the same for any number of
// threads and any split into row ranges, with progress, a stop and the words left out.
#include "proximity/proximity_matrix.h"

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "common/random.h"
#include "tests/proximity/proximity_support.h"

namespace {

const std::string kLetters = "abcdefg";

// A seeded random text and a list of persons whose words are drawn from it.
struct ListFixture {
    CProximityText text{RandomLetters(kLetters, 3000, 77)};
    std::vector<ProximityPerson> persons;

    ListFixture() {
        CXoshiro256StarStar random = CXoshiro256StarStar::FromSeed(78);
        const auto word = [&](std::size_t length) {
            const auto start = UniformBelow(random, 3000 - 10);
            return std::string(text.Letters().substr(start, length));
        };
        for (int p = 0; p < 4; ++p) {
            ProximityPerson person;
            person.id = std::to_string(p);
            person.names = {word(5), word(6)};
            person.dates = {word(5), word(7)};
            persons.push_back(person);
        }
        // Left out: a short name, a long date; and a person with no date that fits.
        persons[1].names.push_back("abc");
        persons[3].dates.insert(persons[3].dates.begin(), "abcdefgab");
        persons.push_back({"4", {word(6)}, {"ab"}});
    }
};

bool SameSummary(const PairSummary& a, const PairSummary& b) {
    return a.skipLimit1 == b.skipLimit1 && a.skipLimit2 == b.skipLimit2 &&
           a.validTriples == b.validTriples && a.rank == b.rank && a.defined == b.defined &&
           std::memcmp(&a.c, &b.c, sizeof a.c) == 0 && a.hasOmega == b.hasOmega &&
           std::memcmp(&a.omega, &b.omega, sizeof a.omega) == 0;
}

void ExpectSameRows(const CProximityMatrix& a, const CProximityMatrix& b, std::size_t first,
                    std::size_t last) {
    for (std::size_t i = first; i < last; ++i) {
        for (std::size_t j = 0; j < a.Persons(); ++j) {
            ASSERT_EQ(a.CellSize(i, j), b.CellSize(i, j));
            for (std::size_t k = 0; k < a.CellSize(i, j); ++k)
                EXPECT_TRUE(SameSummary(a.Cell(i, j)[k], b.Cell(i, j)[k])) << i << " " << j;
        }
    }
}

TEST(ProximityMatrix, CellsHoldEveryNameWithEveryDate) {
    const ListFixture list;
    const ProximitySettings settings;
    ProximityMatrixOptions options;
    options.threads = 1;
    options.keepDiagonalTriples = true;
    CProximityMatrix matrix;
    matrix.Compute(list.text, list.persons, settings, options);
    ASSERT_TRUE(matrix.Complete());
    ASSERT_EQ(matrix.Persons(), 5u);
    // Person 1: two names (the third is too short) with person 3's dates (the first too long).
    ASSERT_EQ(matrix.CellSize(1, 3), 4u);
    for (std::size_t k = 0; k < 4; ++k) {
        const auto index = matrix.PairAt(1, 3, k);
        EXPECT_EQ(index.name, k / 2);
        EXPECT_EQ(index.date, 1 + k % 2);
        const std::string& name = list.persons[1].names[index.name];
        const std::string& date = list.persons[3].dates[index.date];
        const PairResult direct =
            CorrectedDistance(list.text, FindFamilies(list.text, name, settings),
                              FindFamilies(list.text, date, settings), settings);
        const PairSummary& kept = matrix.Cell(1, 3)[k];
        EXPECT_EQ(kept.validTriples, direct.validTriples);
        EXPECT_EQ(kept.rank, direct.rank);
        EXPECT_EQ(kept.defined, direct.defined);
        EXPECT_EQ(kept.c, direct.c);
        EXPECT_EQ(kept.hasOmega, direct.omega[kIdentityTriple].has_value());
    }
    EXPECT_EQ(matrix.CellSize(2, 4), 0u);
    ASSERT_EQ(matrix.DiagonalResults(2).size(), matrix.CellSize(2, 2));
    EXPECT_EQ(matrix.DiagonalResults(2)[0].rank, matrix.Cell(2, 2)[0].rank);

    ASSERT_EQ(matrix.LeftOut().size(), 3u);
    EXPECT_EQ(matrix.LeftOut()[0].person, 1u);
    EXPECT_FALSE(matrix.LeftOut()[0].isDate);
    EXPECT_EQ(matrix.LeftOut()[0].word, "abc");
    EXPECT_EQ(matrix.LeftOut()[0].reason, "has 3 letters, fewer than 5");
    EXPECT_EQ(matrix.LeftOut()[1].person, 3u);
    EXPECT_TRUE(matrix.LeftOut()[1].isDate);
    EXPECT_EQ(matrix.LeftOut()[1].index, 0u);
    EXPECT_EQ(matrix.LeftOut()[1].reason, "has 9 letters, more than 8");
    EXPECT_EQ(matrix.LeftOut()[2].word, "ab");
}

TEST(ProximityMatrix, ThreadsAndRowRangesGiveTheSameBits) {
    const ListFixture list;
    const ProximitySettings settings;
    ProximityMatrixOptions options;
    options.threads = 1;
    CProximityMatrix one;
    one.Compute(list.text, list.persons, settings, options);
    options.threads = 2;
    CProximityMatrix two;
    two.Compute(list.text, list.persons, settings, options);
    options.threads = 3;
    CProximityMatrix three;
    three.Compute(list.text, list.persons, settings, options);
    ExpectSameRows(one, two, 0, 5);
    ExpectSameRows(one, three, 0, 5);

    // Shards: rows [0, 2), [2, 4), [4, 5).
    for (const auto& [first, last] : {std::pair<std::size_t, std::size_t>{0, 2}, {2, 4}, {4, 5}}) {
        options.firstRow = first;
        options.lastRow = last;
        CProximityMatrix shard;
        shard.Compute(list.text, list.persons, settings, options);
        ASSERT_TRUE(shard.Complete());
        EXPECT_EQ(shard.FirstRow(), first);
        EXPECT_EQ(shard.LastRow(), last);
        ExpectSameRows(one, shard, first, last);
    }

    const CellMatrix cells = CellsOfMatrix(one, list.persons);
    EXPECT_EQ(cells.persons, 5u);
    EXPECT_EQ(cells.At(2, 4).pairs, 0);
}

class CRecordingReceiver : public CWorkReceiver {
  public:
    explicit CRecordingReceiver(std::atomic<bool>* stopAt = nullptr, std::int64_t after = 0)
        : stop_(stopAt), after_(after) {}
    void WorkDone(std::int64_t done, std::int64_t total) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        calls.push_back({done, total});
        if (stop_ && done >= after_) *stop_ = true;
    }
    std::vector<std::pair<std::int64_t, std::int64_t>> calls;

  private:
    std::mutex mutex_;
    std::atomic<bool>* stop_;
    std::int64_t after_;
};

TEST(ProximityMatrix, ReportsEveryUnitInOrder) {
    const ListFixture list;
    CRecordingReceiver receiver;
    ProximityMatrixOptions options;
    options.threads = 2;
    options.receiver = &receiver;
    CProximityMatrix matrix;
    matrix.Compute(list.text, list.persons, ProximitySettings(), options);
    ASSERT_TRUE(matrix.Complete());
    ASSERT_FALSE(receiver.calls.empty());
    std::size_t pairs = 0;
    for (std::size_t i = 0; i < 5; ++i) {
        for (std::size_t j = 0; j < 5; ++j)
            pairs += matrix.CellSize(i, j);
    }
    // Units: the distinct words that fit (names of the rows, dates of everyone), then the pairs.
    const std::int64_t total = receiver.calls.front().second;
    EXPECT_GT(total, static_cast<std::int64_t>(pairs));
    EXPECT_EQ(receiver.calls.size(), static_cast<std::size_t>(total));
    for (std::size_t i = 0; i < receiver.calls.size(); ++i) {
        EXPECT_EQ(receiver.calls[i].first, static_cast<std::int64_t>(i + 1));
        EXPECT_EQ(receiver.calls[i].second, total);
    }
}

TEST(ProximityMatrix, AStopEndsTheComputationEarly) {
    const ListFixture list;
    std::atomic<bool> stop{false};
    CRecordingReceiver receiver(&stop, 30);
    ProximityMatrixOptions options;
    options.threads = 2;
    options.receiver = &receiver;
    options.stop = &stop;
    CProximityMatrix matrix;
    matrix.Compute(list.text, list.persons, ProximitySettings(), options);
    EXPECT_FALSE(matrix.Complete());
    // No unit starts after the stop; the two threads finish at most one each.
    EXPECT_LE(receiver.calls.back().first, 32);
    EXPECT_LT(receiver.calls.back().first, receiver.calls.back().second);
}

TEST(ProximityMatrix, AStoppedMatrixSaysHowFarItCame) {
    const ListFixture list;
    for (const std::int64_t after : {3, 40}) {
        SCOPED_TRACE(after);
        std::atomic<bool> stop{false};
        CRecordingReceiver receiver(&stop, after);
        ProximityMatrixOptions options;
        options.threads = 1;
        options.receiver = &receiver;
        options.stop = &stop;
        CProximityMatrix matrix;
        matrix.Compute(list.text, list.persons, ProximitySettings(), options);
        ASSERT_FALSE(matrix.Complete());
        EXPECT_EQ(static_cast<std::int64_t>(matrix.WordsDone() + matrix.PairsDone()), after);
        EXPECT_EQ(static_cast<std::int64_t>(matrix.Words() + matrix.Pairs()),
                  receiver.calls.back().second);
        // Alone, the thread stops right after the unit that asked for the stop; the rows
        // finished are those whose pairs all come before it.
        std::size_t rows = 0, pairs = 0;
        for (std::size_t row = 0; row < matrix.Persons(); ++row) {
            for (std::size_t column = 0; column < matrix.Persons(); ++column)
                pairs += matrix.CellSize(row, column);
            if (matrix.WordsDone() == matrix.Words() && pairs <= matrix.PairsDone()) rows = row + 1;
        }
        EXPECT_EQ(matrix.FinishedRows(), rows);
        if (after == 3) {
            EXPECT_LT(matrix.WordsDone(), matrix.Words());
        }
    }
}

TEST(ProximityMatrix, SettingsAreChecked) {
    struct Case {
        ProximitySettings settings;
        const char* error;
    };
    const auto with = [](auto change) {
        ProximitySettings settings;
        change(settings);
        return settings;
    };
    const Case cases[] = {
        {ProximitySettings(), ""},
        {with([](ProximitySettings& s) { s.deltaConstant = -1; }), ""},
        {with([](ProximitySettings& s) { s.deltaConstant = -2; }),
         "The delta constant must be at least -1: below it a delta can be 0 or negative."},
        {with([](ProximitySettings& s) { s.minLetters = 3; }),
         "Words need at least 4 letters: the last three are perturbed."},
        {with([](ProximitySettings& s) { s.maxLetters = 4; }),
         "The most letters of a word must be at least the fewest."},
        {with([](ProximitySettings& s) { s.maxLetters = 65; }),
         "Words of more than 64 letters are not measured."},
        {with([](ProximitySettings& s) { s.expectedEls = 0; }),
         "The expected number of sequences must be a number above 0."},
        {with([](ProximitySettings& s) { s.minTriples = 126; }),
         "The fewest valid triples must lie between 1 and 125."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckProximitySettings(c.settings), c.error);
}

}  // namespace
