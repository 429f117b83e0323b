// What a search holds in memory: the letter index takes what its estimate says, no search goes
// beyond its index budget and a few megabytes whatever its keywords, and a search without memory
// for its index, whichever thread fails, falls back on the literal search and still reports every
// result. The allocation operators count the bytes held and make large allocations fail on
// request, on chosen threads.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "search/find_sequences.h"
#include "search/indexed_search.h"
#include "search/letter_index.h"
#include "tests/support/random_text.h"
#include "tests/support/recording_sink.h"

namespace {

enum class FailOn { Nothing, EveryThread, OtherThreads, TestThread };

std::atomic<FailOn> failOn{FailOn::Nothing};
std::thread::id testThread;
// How many allocations were made to fail: a case whose failures never happen tests nothing.
std::atomic<int> injectedFailures{0};

// Blocks this large or larger fail; the index's bitmaps are, the search's small state is not.
constexpr std::size_t kLargeBlock = 12 * 1024;

bool ChosenToFail(std::size_t size) {
    const FailOn mode = failOn.load();
    if (mode == FailOn::Nothing || size < kLargeBlock) return false;
    if (mode == FailOn::EveryThread) return true;
    const bool onTestThread = std::this_thread::get_id() == testThread;
    return mode == FailOn::TestThread ? onTestThread : !onTestThread;
}

bool MustFail(std::size_t size) {
    if (!ChosenToFail(size)) return false;
    ++injectedFailures;
    return true;
}

// Bytes held now and at the peak since the last ResetPeak; each block carries its size in front.
std::atomic<std::int64_t> heldNow{0};
std::atomic<std::int64_t> heldPeak{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) noexcept {
    if (MustFail(size)) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block) return nullptr;
    std::memcpy(block, &size, sizeof size);
    const std::int64_t now = heldNow += static_cast<std::int64_t>(size);
    std::int64_t peak = heldPeak.load();
    while (now > peak && !heldPeak.compare_exchange_weak(peak, now)) {
    }
    return block + kHeader;
}

void Release(void* pointer) noexcept {
    if (!pointer) return;
    unsigned char* block = static_cast<unsigned char*>(pointer) - kHeader;
    std::size_t size;
    std::memcpy(&size, block, sizeof size);
    heldNow -= static_cast<std::int64_t>(size);
    std::free(block);
}

// The most bytes held at once while `work` runs, beyond those held before it.
template <typename Work>
std::int64_t PeakDuring(Work work) {
    const std::int64_t before = heldNow.load();
    heldPeak = before;
    work();
    return heldPeak.load() - before;
}

}  // namespace

// Every plain form of the allocation operators is replaced, so that all of them pair malloc with
// free (a sanitizer's own forms would otherwise meet these).
void* operator new(std::size_t size) {
    if (void* block = Allocate(size)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
// GCC cannot see that these replace the operators above, and takes free() for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* block) noexcept {
    Release(block);
}
void operator delete[](void* block) noexcept {
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    Release(block);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

class CAlwaysGoOn : public IndexBuildReceiver {
  public:
    bool GoOn() override { return true; }
};

// Distinct keywords of `letters` letters each, from letters that occur in a RandomText of the
// same alphabet unless `absent`.
KeywordList RandomKeywords(std::size_t count, std::size_t letters, int alphabet, bool absent,
                           std::uint32_t seed) {
    std::mt19937 random(seed);
    KeywordList keywords;
    while (keywords.size() < count) {
        std::string keyword(letters, 'A');
        for (char& c : keyword) {
            c = static_cast<char>((absent ? 'Z' - alphabet + 1 : 'A') +
                                  std::uniform_int_distribution<int>(0, alphabet - 1)(random));
        }
        if (std::find(keywords.begin(), keywords.end(), keyword) == keywords.end())
            keywords.push_back(keyword);
    }
    return keywords;
}

TEST(SearchMemory, TheIndexTakesWhatItsEstimateSays) {
    const struct {
        const char* what;
        std::size_t textLength;
        std::size_t keywords, letters;
        std::int32_t bitmapLetters;
    } cases[] = {
        {"one five-letter keyword, full index", 300000, 1, 5, kFullBitmapLetters},
        {"thirty seven-letter keywords, full index", 300000, 30, 7, kFullBitmapLetters},
        {"thirty seven-letter keywords, two bitmap letters", 300000, 30, 7, 2},
        {"a 50,000-letter keyword, one bitmap letter", 70001, 1, 50000, 1},
        {"two-letter keywords on a short text", 1000, 12, 2, 3},
    };
    for (const auto& c : cases) {
        const std::string text = RandomText(c.textLength, 26, 11);
        const KeywordList order =
            MakeSearchOrder(RandomKeywords(c.keywords, c.letters, 26, false, 12));
        const auto length = static_cast<std::int32_t>(text.size());
        LetterCounts counts;
        CAlwaysGoOn goOn;
        CountLetters(text.c_str(), length, counts, goOn, 1 << 20);
        const std::uint64_t estimate = LetterIndex::Bytes(counts, length, order, c.bitmapLetters);
        const std::int64_t peak = PeakDuring([&] {
            LetterIndex index(text.c_str(), length, order, c.bitmapLetters, counts);
            EXPECT_TRUE(index.Fill(goOn, 4096));
        });
        // Never more than the estimate, and not so much less that a smaller index would be
        // chosen for nothing.
        EXPECT_LE(static_cast<std::uint64_t>(peak), estimate) << c.what;
        EXPECT_GE(static_cast<double>(peak), 0.98 * static_cast<double>(estimate) - 4096) << c.what;
    }
}

// Whatever the keywords, a search holds its index (within the budget) and at most a few
// megabytes more: the worker's queue among them, however long a result is.
TEST(SearchMemory, NoSearchGoesBeyondItsIndexBudgetAndAFewMegabytes) {
    constexpr std::int64_t kFewMegabytes = 12 << 20;
    const std::string text = RandomText(400000, 20, 21);  // A to T
    const auto length = static_cast<std::int32_t>(text.size());
    SearchSettings wide;
    wide.MaxResultLength = 500000;
    const struct {
        const char* what;
        KeywordList keywords;
        SearchSettings settings;
        std::uint64_t budget;
        bool smallerIndex;  // the budget holds only an index with fewer bitmaps
    } cases[] = {
        {"a 50,000-letter keyword", RandomKeywords(1, 50000, 4, false, 22), wide, UINT64_MAX,
         false},
        {"3,500 five-letter keywords", RandomKeywords(3500, 5, 6, true, 23), {}, UINT64_MAX, false},
        {"thirty seven-letter keywords under a 3 MB budget",
         RandomKeywords(30, 7, 26, false, 24),
         {},
         3 << 20,
         true},
    };
    for (const auto& c : cases) {
        IndexedSearchPlan plan;
        plan.threads = 4;  // the bound holds whatever the thread count
        plan.indexBudget = c.budget;
        LetterCounts counts;
        CAlwaysGoOn goOn;
        CountLetters(text.c_str(), length, counts, goOn, 1 << 20);
        const KeywordList order = MakeSearchOrder(c.keywords);
        const std::int32_t bitmapLetters = ChooseBitmapLetters(counts, length, order, c.budget);
        ASSERT_GT(bitmapLetters, 0) << c.what;
        ASSERT_EQ(bitmapLetters < kFullBitmapLetters, c.smallerIndex) << c.what;
        const std::uint64_t index = LetterIndex::Bytes(counts, length, order, bitmapLetters);
        ASSERT_LE(index, c.budget) << c.what;
        CRecordingSink sink;
        sink.recordProgress = false;
        std::string errorText;
        const std::int64_t peak = PeakDuring([&] {
            EXPECT_TRUE(FindSequencesIndexed(text.c_str(), length, c.keywords, c.settings, sink,
                                             errorText, SystemTickClock(), plan));
        });
        EXPECT_EQ(sink.calls.back(), "End") << c.what;
        EXPECT_LE(peak, static_cast<std::int64_t>(index) + kFewMegabytes) << c.what;
    }
}

// The index takes all its memory on the calling thread, so only its failures matter; a thread
// that helps to fill the index or searches beside it takes no large block of its own.
TEST(SearchMemory, WithoutRoomForTheIndexTheLiteralSearchDoesTheWork) {
    // Long enough for two threads to fill the index, with two bitmaps (X and Y) to fill, and
    // a few results near the start.
    std::string text(1 << 17, 'B');
    for (std::size_t i = 0; i < text.size(); i += 4099)
        text[i] = 'Q';
    text.replace(1000, 2, "QX");
    text.replace(1010, 2, "QY");
    const auto length = static_cast<std::int32_t>(text.size());
    const KeywordList keywords = {"qx", "qy"};

    // Progress reports depend on timing; the results and the end do not.
    CRecordingSink literal;
    literal.recordProgress = false;
    std::string errorText;
    ASSERT_TRUE(FindSequencesLiteral(text.c_str(), length, keywords, {}, literal, errorText));
    ASSERT_FALSE(literal.Results().empty());

    const struct {
        const char* what;
        FailOn mode;
        bool failures;  // whether any allocation is made to fail
    } cases[] = {
        {"with memory to spare", FailOn::Nothing, false},
        {"every thread fails", FailOn::EveryThread, true},
        {"only other threads fail", FailOn::OtherThreads, false},
        {"only the calling thread fails", FailOn::TestThread, true},
    };
    testThread = std::this_thread::get_id();
    for (const auto& c : cases) {
        CRecordingSink indexed;
        indexed.recordProgress = false;
        injectedFailures = 0;
        failOn = c.mode;
        bool threw = false;
        bool outcome = false;
        try {
            outcome = FindSequences(text.c_str(), length, keywords, {}, indexed, errorText);
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        failOn = FailOn::Nothing;
        EXPECT_FALSE(threw) << c.what;
        EXPECT_TRUE(outcome) << c.what;
        EXPECT_EQ(indexed.calls, literal.calls) << c.what;
        EXPECT_EQ(injectedFailures.load() > 0, c.failures) << c.what;
    }
}

}  // namespace
