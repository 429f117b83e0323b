// The indexed engine against the literal one on many seeded random cases, with every size of
// letter index and without one, and its pieces (the letter index, the indexed scanner and the
// width chooser) against the plain code they replace.

#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <optional>
#include <random>

#include "search/column_width.h"
#include "search/find_scanner.h"
#include "search/find_sequences.h"
#include "search/indexed_search.h"
#include "search/keyword_cursor.h"
#include "search/letter_index.h"
#include "search/scan_kernel.h"
#include "tests/support/recording_sink.h"

namespace {

class CRandom {
  public:
    explicit CRandom(std::uint32_t seed) : engine_(seed) {}
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }
    bool OneIn(int n) { return Pick(1, n) == 1; }

    // Small alphabets make many finds; a text may be empty.
    std::string Text(int alphabet, int maxLength) {
        std::string text(Pick(0, maxLength), 'A');
        for (char& c : text)
            c = static_cast<char>('A' + Pick(0, alphabet - 1));
        return text;
    }
    std::string Keyword(int alphabet, int maxLength) {
        std::string keyword(Pick(1, maxLength), 'A');
        for (char& c : keyword)
            c = static_cast<char>((OneIn(2) ? 'a' : 'A') + Pick(0, alphabet - 1));
        return keyword;
    }
    // Mostly ordinary settings, now and then ones at or past the edges of what makes sense.
    SearchSettings Settings(int textLength) {
        SearchSettings s;
        s.AllowReverseKeywords = !OneIn(4);
        s.ExcludeWordsDirectlyFromText = OneIn(3);
        s.MinColumnWidth = OneIn(10) ? Pick(-3, 0) : Pick(1, 20);
        s.MaxColumnWidth = OneIn(8) ? Pick(-2, 20) : s.MinColumnWidth + Pick(0, 60);
        s.MaxResultLength = OneIn(10) ? Pick(-2, 3) : Pick(0, textLength + 10);
        s.MaxDistanceBetweenLetters = OneIn(10) ? Pick(-2, 1) : Pick(1, textLength / 2 + 3);
        return s;
    }

  private:
    std::mt19937 engine_;
};

struct Outcome {
    std::vector<std::string> calls;
    bool outcome = false;
};

// The literal engine when `plan` is null, else the indexed engine with that plan.
Outcome Search(const IndexedSearchPlan* plan, const std::string& text, const KeywordList& keywords,
               const SearchSettings& settings, CRecordingSink sink, CTickClock& clock) {
    std::string errorText;
    Outcome run;
    const auto length = static_cast<std::int32_t>(text.size());
    run.outcome = plan ? FindSequencesIndexed(text.c_str(), length, keywords, settings, sink,
                                              errorText, clock, *plan)
                       : FindSequencesLiteral(text.c_str(), length, keywords, settings, sink,
                                              errorText, clock);
    run.calls = sink.calls;
    return run;
}

std::string Describe(const std::string& text, const KeywordList& keywords,
                     const SearchSettings& s) {
    std::string line = "text '" + text + "' keywords";
    for (const auto& k : keywords)
        line += " " + k;
    return line + " R" + std::to_string(s.AllowReverseKeywords) + " X" +
           std::to_string(s.ExcludeWordsDirectlyFromText) + " widths " +
           std::to_string(s.MinColumnWidth) + ".." + std::to_string(s.MaxColumnWidth) + " M " +
           std::to_string(s.MaxResultLength) + " D " + std::to_string(s.MaxDistanceBetweenLetters);
}

// Every find of one keyword in a range, walked the literal way with a KeywordCursor.
std::vector<LetterPositions> CursorFinds(const std::string& text, const std::string& keyword,
                                         std::int32_t start, std::int32_t end,
                                         const SearchSettings& s) {
    std::vector<LetterPositions> finds;
    KeywordCursor cursor;
    cursor.settings = &s;
    const auto n = static_cast<std::int32_t>(keyword.size());
    if (!cursor.Reset(start, end, n)) return finds;
    for (;;) {
        if (text[cursor.position] == keyword[0] && cursor.HasValidSkip()) {
            do {
                LetterPositions letters;
                for (std::int32_t i = 0; i < n; ++i) {
                    const std::int64_t at = cursor.position + std::int64_t{i} * cursor.skip;
                    if (text[at] != keyword[i]) break;
                    letters.push_back(at);
                }
                if (static_cast<std::int32_t>(letters.size()) == n) {
                    std::sort(letters.begin(), letters.end());
                    finds.push_back(letters);
                }
            } while (cursor.NextSkip());
        }
        if (cursor.position >= cursor.end) return finds;
        ++cursor.position;
        cursor.FirstSkip();
    }
}

// Candidates a case may make at most: the product of its keywords' find counts in the whole
// text, an upper bound of what the search visits. Larger cases would take too long here.
constexpr double kMaxCandidates = 40000;

bool SmallEnough(const std::string& text, const KeywordList& keywords, const SearchSettings& s) {
    if (text.empty()) return true;
    double candidates = 1;
    for (const std::string& keyword : MakeSearchOrder(keywords)) {
        candidates *= static_cast<double>(
            CursorFinds(text, keyword, 0, static_cast<std::int32_t>(text.size()) - 1, s).size());
    }
    return candidates <= kMaxCandidates;
}

class CAlwaysGoOn : public IndexBuildReceiver {
  public:
    bool GoOn() override { return true; }
};

LetterCounts CountsOf(const std::string& text) {
    LetterCounts counts;
    CAlwaysGoOn goOn;
    CountLetters(text.c_str(), static_cast<std::int32_t>(text.size()), counts, goOn, 1 << 20);
    return counts;
}

// The engine's own plan, and plans that cut even small texts into slices, with and without the
// worker thread, and with a queue so short that the worker waits for nearly every result; and
// plans whose memory budget holds exactly an index with 1 to 4 bitmap letters, or none (the
// literal loop), with the index built in pieces of a few letters.
struct Plan {
    const char* name;
    IndexedSearchPlan plan;
    int cases;               // fewer where a thread hands over every few letters
    int bitmapLetters = -1;  // the index the budget is set for; -1 keeps the plan's budget
    std::optional<ScanKernel> kernel = std::nullopt;  // the candidate scan; unset: the processor's
};

IndexedSearchPlan Split(std::int32_t sliceLength, std::int32_t threads, std::size_t queueBytes,
                        std::int64_t indexStepLetters = 1 << 20) {
    IndexedSearchPlan plan;
    plan.sliceLength = sliceLength;
    plan.threads = threads;
    plan.queueBytes = queueBytes;
    plan.indexStepLetters = indexStepLetters;
    return plan;
}

const Plan kPlans[] = {
    {"Default", {}, 6000},
    {"SlicesOneThread", Split(3, 1, 4 << 20), 3000},
    {"SlicesTwoThreads", Split(5, 2, 600), 600},
    {"SlicesThreeThreads", Split(4, 3, 900), 600},
    {"SliceEachLetterTwoThreads", Split(1, 2, 1), 300},
    {"SliceEachLetterThreeThreads", Split(1, 3, 1), 300},
    {"FullIndex", Split(1 << 15, 1, 4 << 20, 7), 1000, kFullBitmapLetters},
    {"ThreeBitmapLetters", Split(4, 2, 200, 1), 400, 3},
    {"TwoBitmapLetters", Split(1 << 15, 1, 4 << 20, 64), 1000, 2},
    {"OneBitmapLetter", Split(6, 3, 200, 300), 400, 1},
    {"NoIndex", Split(1 << 15, 1, 4 << 20), 1000, 0},
    // Every kernel of the candidate scan on one, two and three threads (the plans above take the
    // processor's own, AVX2 on most machines).
    {"ScalarKernel", Split(1 << 15, 1, 4 << 20), 1500, -1, ScanKernel::Scalar},
    {"ScalarKernelTwoThreads", Split(5, 2, 600), 600, -1, ScanKernel::Scalar},
    {"ScalarKernelThreeThreads", Split(4, 3, 900), 600, 3, ScanKernel::Scalar},
    {"Sse2Kernel", Split(1 << 15, 1, 4 << 20), 1500, -1, ScanKernel::Sse2},
    {"Sse2KernelTwoThreads", Split(5, 2, 600), 600, 2, ScanKernel::Sse2},
    {"Sse2KernelThreeThreads", Split(4, 3, 900), 600, -1, ScanKernel::Sse2},
    {"Avx2Kernel", Split(1 << 15, 1, 4 << 20), 1500, -1, ScanKernel::Avx2},
    {"Avx2KernelThreeThreads", Split(4, 3, 900), 600, 1, ScanKernel::Avx2},
};

void PrintTo(const Plan& plan, std::ostream* os) {
    *os << plan.name;
}

// The plan for one case: a budget that just holds the index asked for, or nothing.
IndexedSearchPlan PlanFor(const Plan& plan, const std::string& text, const KeywordList& keywords) {
    IndexedSearchPlan made = plan.plan;
    if (plan.bitmapLetters < 0) return made;
    made.indexBudget = plan.bitmapLetters == 0
                           ? 0
                           : LetterIndex::Bytes(CountsOf(text), static_cast<int>(text.size()),
                                                MakeSearchOrder(keywords), plan.bitmapLetters);
    return made;
}

// Whether the case's budget makes the search use exactly the index the plan asks for (a shorter
// keyword list may make a smaller index the same size as a larger one).
bool UsesAskedIndex(const Plan& plan, const std::string& text, const KeywordList& keywords) {
    const IndexedSearchPlan made = PlanFor(plan, text, keywords);
    if (!made.indexBudget) return false;
    return ChooseBitmapLetters(CountsOf(text), static_cast<std::int32_t>(text.size()),
                               MakeSearchOrder(keywords), *made.indexBudget) == plan.bitmapLetters;
}

class IndexedEngine : public testing::TestWithParam<Plan> {
  protected:
    void SetUp() override {
        const std::optional<ScanKernel> kernel = GetParam().kernel;
        if (!kernel) return;
        if (!ScanKernelAvailable(*kernel)) GTEST_SKIP() << "this processor lacks the kernel";
        ForceScanKernel(*kernel);
        ASSERT_EQ(ChosenScanKernel(), *kernel);
    }
    void TearDown() override { ResetScanKernel(); }
};

TEST_P(IndexedEngine, MakesTheLiteralEnginesCallsOnRandomCases) {
    CRandom random(7001);
    int cases = 0, withResults = 0, askedIndex = 0;
    std::size_t results = 0;
    while (cases < GetParam().cases) {
        const int alphabet = random.Pick(1, 4);
        const std::string text = random.Text(alphabet, random.OneIn(5) ? 400 : 60);
        KeywordList keywords(random.Pick(1, random.OneIn(4) ? 4 : 2));
        for (auto& k : keywords)
            k = random.Keyword(alphabet, random.OneIn(3) ? 7 : 4);
        const SearchSettings s = random.Settings(static_cast<int>(text.size()));
        if (!SmallEnough(text, keywords, s)) continue;
        ++cases;

        CManualClock clock;
        const IndexedSearchPlan plan = PlanFor(GetParam(), text, keywords);
        const Outcome literal = Search(nullptr, text, keywords, s, {}, clock);
        const Outcome indexed = Search(&plan, text, keywords, s, {}, clock);
        ASSERT_EQ(indexed.calls, literal.calls) << Describe(text, keywords, s);
        ASSERT_EQ(indexed.outcome, literal.outcome);
        askedIndex += UsesAskedIndex(GetParam(), text, keywords);
        withResults += literal.calls.size() > 3;
        results += literal.calls.size() - 3;
    }
    std::printf("indexed against literal: %d cases, %d with results, %zu results\n", cases,
                withResults, results);
    // The generator must give a meaningful mix, or the comparison proves little.
    EXPECT_GT(withResults, cases * 2 / 5);
    EXPECT_GT(results, 80u * static_cast<std::size_t>(cases));
    if (GetParam().bitmapLetters >= 0) {
        std::printf("%d cases with exactly the asked index\n", askedIndex);
        EXPECT_GT(askedIndex, cases / 8);
    }
}

// The same run stopped by the sink: Begin refusing, the k-th AddResult refusing, or the j-th
// Progress (reported at every step by a clock that moves 21 ms per reading) asking to cancel.
TEST_P(IndexedEngine, StopsWhereTheLiteralEngineStops) {
    CRandom random(7002);
    int cancels = 0;
    for (int round = 0; round < GetParam().cases / 3; ++round) {
        const int alphabet = random.Pick(1, 3);
        const std::string text = random.Text(alphabet, 50);
        KeywordList keywords(random.Pick(1, 3));
        for (auto& k : keywords)
            k = random.Keyword(alphabet, 4);
        const SearchSettings s = random.Settings(static_cast<int>(text.size()));
        if (!SmallEnough(text, keywords, s)) continue;
        const std::string what = Describe(text, keywords, s);

        CRecordingSink refusing;
        refusing.beginAnswers = {false};
        refusing.addAnswers.assign(random.Pick(0, 20), true);
        refusing.addAnswers.push_back(false);
        if (!random.OneIn(10)) refusing.beginAnswers.clear();
        CManualClock still;
        const IndexedSearchPlan plan = PlanFor(GetParam(), text, keywords);
        const Outcome literal = Search(nullptr, text, keywords, s, refusing, still);
        const Outcome indexed = Search(&plan, text, keywords, s, refusing, still);
        ASSERT_EQ(indexed.calls, literal.calls) << what;
        ASSERT_EQ(indexed.outcome, literal.outcome) << what;

        CRecordingSink canceling;
        const std::size_t refusal = random.Pick(0, 6);
        canceling.progressAnswers.assign(refusal, true);
        canceling.progressAnswers.push_back(false);
        CSteppingClock ticking(21);
        CManualClock frozen;
        const Outcome full = Search(nullptr, text, keywords, s, {}, frozen);
        const Outcome run = Search(&plan, text, keywords, s, canceling, ticking);
        std::vector<std::string> results, progress;
        for (const auto& call : run.calls) {
            if (call.rfind("AddResult", 0) == 0) results.push_back(call);
            if (call.rfind("Progress", 0) == 0) progress.push_back(call);
        }
        ASSERT_TRUE(run.outcome) << what;
        for (std::size_t i = 1; i + 1 < progress.size(); ++i)
            ASSERT_LE(std::stoi(progress[i - 1].substr(9)), std::stoi(progress[i].substr(9)));
        if (progress.size() <= refusal) {
            // Finished before the refusal came up: the full results, then End.
            ASSERT_EQ(run.calls.back(), "End") << what;
            ASSERT_EQ(results.size(), full.calls.size() - 3) << what;
        } else {
            ASSERT_EQ(progress.size(), refusal + 1) << what << ": no Progress after the refusal";
            ASSERT_EQ(run.calls.back(), "End canceled") << what;
            ASSERT_EQ(run.calls[run.calls.size() - 2], progress.back()) << what;
            ++cancels;
        }
        // Whatever came before the end is the beginning of the full run's results.
        ASSERT_LE(results.size(), full.calls.size() - 3) << what;
        ASSERT_TRUE(std::equal(results.begin(), results.end(), full.calls.begin() + 1)) << what;
    }
    EXPECT_GT(cancels, GetParam().cases / 6);
}

// A sink that runs out of memory part-way: the exception reaches the caller (the search run
// shows "Out of memory.") and the worker thread is stopped and joined on the way out.
TEST(IndexedEngineWorker, ASinkThatThrowsStopsTheWorkerAndPassesTheExceptionOn) {
    class CThrowingSink : public CResultSink {
      public:
        bool AddResult(const char*, std::int32_t, std::int32_t, std::int32_t,
                       const ResultPositions&) override {
            if (++results == 3) throw std::bad_alloc();
            return true;
        }
        int results = 0;
    };
    const std::string text(4000, 'A');
    IndexedSearchPlan plan;
    plan.sliceLength = 8;
    plan.threads = 3;
    plan.queueBytes = 1;
    for (int run = 0; run < 20; ++run) {
        CThrowingSink sink;
        CManualClock clock;
        std::string errorText;
        EXPECT_THROW(FindSequencesIndexed(text.c_str(), static_cast<std::int32_t>(text.size()),
                                          {"aa"}, {}, sink, errorText, clock, plan),
                     std::bad_alloc);
        EXPECT_EQ(sink.results, 3);
    }
}

std::string PlanName(const testing::TestParamInfo<Plan>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Plans, IndexedEngine, testing::ValuesIn(kPlans), PlanName);

// A filled index, built in pieces of `stepLetters` letters.
std::unique_ptr<LetterIndex> MakeIndex(const std::string& text, const KeywordList& order,
                                       std::int32_t bitmapLetters, std::int64_t stepLetters) {
    const auto length = static_cast<std::int32_t>(text.size());
    auto index =
        std::make_unique<LetterIndex>(text.c_str(), length, order, bitmapLetters, CountsOf(text));
    CAlwaysGoOn goOn;
    EXPECT_TRUE(index->Fill(goOn, stepLetters));
    return index;
}

TEST(FindScanner, ListsTheFindsOfAKeywordCursorAcrossPauses) {
    CRandom random(7003);
    int nonEmpty = 0;
    for (int round = 0; round < 3000; ++round) {
        const int alphabet = random.Pick(1, 3);
        std::string text = random.Text(alphabet, random.OneIn(3) ? 300 : 80);
        if (text.empty()) text = "A";
        // Up to 7 letters: the letters past the bitmaps' are compared in the text.
        const std::string keyword = MakeSearchOrder({random.Keyword(alphabet, 7)})[0];
        SearchSettings s = random.Settings(static_cast<int>(text.size()));
        const auto length = static_cast<std::int32_t>(text.size());
        const std::int32_t start = random.Pick(0, length - 1);
        const std::int32_t end = random.Pick(start, length - 1);

        const auto index =
            MakeIndex(text, {keyword}, random.Pick(1, kFullBitmapLetters), random.Pick(1, 500));
        FindScanner scanner(text.c_str(), keyword, *index, s);

        const auto expected = CursorFinds(text, keyword, start, end, s);
        KeywordCursor fits;
        fits.settings = &s;
        ASSERT_EQ(scanner.Reset(start, end), fits.Reset(start, end, std::int32_t(keyword.size())));
        std::vector<LetterPositions> found;
        if (fits.length > 0) {
            const std::int32_t workLimit = random.Pick(1, 4);
            LetterPositions letters(keyword.size());
            std::int32_t lastPosition = start;
            for (ScanStep step; (step = scanner.Next(letters, workLimit)) != ScanStep::Exhausted;) {
                ASSERT_GE(scanner.Position(), lastPosition);
                lastPosition = scanner.Position();
                if (step == ScanStep::Found) found.push_back(letters);
            }
        }
        ASSERT_EQ(found, expected) << text << " " << keyword << " " << start << ".." << end;
        nonEmpty += !expected.empty();
    }
    EXPECT_GT(nonEmpty, 1000);
}

TEST(ColumnWidthChooser, ChoosesAsChooseColumnWidthDoes) {
    CRandom random(7004);
    int fitted = 0;
    for (int round = 0; round < 300; ++round) {
        // Keyword lengths and settings stay fixed for a chooser, as in one run.
        const int keywordCount = random.OneIn(2) ? 1 : random.Pick(2, 3);
        KeywordList order(keywordCount);
        for (auto& k : order)
            k.assign(random.Pick(1, 5), 'A');
        order = MakeSearchOrder(order);
        const std::int32_t textLength = random.Pick(10, 3000);
        SearchSettings s;
        s.MinColumnWidth = random.Pick(-2, 40);
        s.MaxColumnWidth = s.MinColumnWidth + random.Pick(-3, 200);
        s.MaxResultLength = random.Pick(0, 2 * textLength);
        s.MaxDistanceBetweenLetters = random.Pick(1, textLength);
        ColumnWidthChooser chooser(order, textLength, s);

        for (int candidate = 0; candidate < 200; ++candidate) {
            ResultPositions positions(keywordCount);
            std::int64_t lowest = INT64_MAX, highest = INT64_MIN;
            for (int k = 0; k < keywordCount; ++k) {
                const auto n = static_cast<std::int32_t>(order[k].size());
                const std::int32_t room = (textLength - 1) / std::max(n - 1, 1);
                const std::int32_t skip = n == 1 ? 0 : random.Pick(1, std::max(room, 1));
                const std::int32_t first = random.Pick(0, textLength - 1 - (n - 1) * skip);
                for (std::int32_t i = 0; i < n; ++i)
                    positions[k].push_back(first + std::int64_t{i} * skip);
                lowest = std::min(lowest, positions[k].front());
                highest = std::max(highest, positions[k].back());
            }
            ResultGrid expected, chosen;
            const bool fits =
                ChooseColumnWidth(positions, lowest, highest, textLength, s, expected);
            ASSERT_EQ(chooser.Choose(positions, lowest, highest, chosen), fits);
            if (fits) {
                ASSERT_EQ(chosen.columns, expected.columns);
                ASSERT_EQ(chosen.first, expected.first);
                ASSERT_EQ(chosen.last, expected.last);
            }
            fitted += fits;
        }
    }
    EXPECT_GT(fitted, 5000);
}

}  // namespace
