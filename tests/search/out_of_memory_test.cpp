// A search without memory for its letter index, whichever of the two threads that build it fails,
// falls back on the literal search and still reports every result. Large allocations are made to
// fail on request, on chosen threads.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "search/find_sequences.h"
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

}  // namespace

// Every plain form of the allocation operators is replaced, so that all of them pair malloc with
// free (a sanitizer's own forms would otherwise meet these).
void* operator new(std::size_t size) {
    if (MustFail(size)) throw std::bad_alloc();
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (MustFail(size)) return nullptr;
    return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& nothrow) noexcept {
    return ::operator new(size, nothrow);
}
// GCC cannot see that these replace the operators above, and takes free() for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

TEST(SearchOutOfMemory, WithoutRoomForTheIndexTheLiteralSearchDoesTheWork) {
    // Long enough for two threads to build the index, with two bitmaps (X and Y) to build, and
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
    } cases[] = {
        {"with memory to spare", FailOn::Nothing},
        {"both threads fail", FailOn::EveryThread},
        {"only the helper thread fails", FailOn::OtherThreads},
        {"only the calling thread fails", FailOn::TestThread},
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
        if (c.mode != FailOn::Nothing) {
            EXPECT_GT(injectedFailures.load(), 0) << c.what;
        }
    }
}

}  // namespace
