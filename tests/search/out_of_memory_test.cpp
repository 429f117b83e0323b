// A search that runs out of memory while it builds its letter index must hand std::bad_alloc to
// its caller (the program then shows "Out of memory."), whichever of the two threads that build
// the index fails. Large allocations are made to fail on request, on chosen threads.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>

#include "search/find_sequences.h"

namespace {

enum class FailOn { Nothing, EveryThread, OtherThreads, TestThread };

std::atomic<FailOn> failOn{FailOn::Nothing};
std::thread::id testThread;

// Blocks this large or larger fail; the index's bitmaps are, the search's small state is not.
constexpr std::size_t kLargeBlock = 12 * 1024;

bool MustFail(std::size_t size) {
    const FailOn mode = failOn.load();
    if (mode == FailOn::Nothing || size < kLargeBlock) return false;
    if (mode == FailOn::EveryThread) return true;
    const bool onTestThread = std::this_thread::get_id() == testThread;
    return mode == FailOn::TestThread ? onTestThread : !onTestThread;
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

TEST(SearchOutOfMemory, TheIndexPassesBadAllocOnFromEitherThread) {
    // Long enough for two threads to build the index, with two bitmaps (X and Y) to build; no
    // keyword is ever found, so the search itself is quick.
    std::string text(1 << 17, 'B');
    for (std::size_t i = 0; i < text.size(); i += 4099)
        text[i] = 'Q';
    const auto length = static_cast<std::int32_t>(text.size());

    const struct {
        const char* what;
        FailOn mode;
    } cases[] = {
        {"both threads", FailOn::EveryThread},
        {"only the helper thread", FailOn::OtherThreads},
        {"only the calling thread", FailOn::TestThread},
    };
    testThread = std::this_thread::get_id();
    for (const auto& c : cases) {
        CResultSink sink;
        std::string errorText;
        failOn = c.mode;
        bool threw = false;
        try {
            FindSequences(text.c_str(), length, {"qx", "qy"}, {}, sink, errorText);
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        failOn = FailOn::Nothing;
        EXPECT_TRUE(threw) << c.what;
    }
    CResultSink sink;
    std::string errorText;
    EXPECT_TRUE(FindSequences(text.c_str(), length, {"qx", "qy"}, {}, sink, errorText))
        << "with memory to spare the same search runs to its end";
}

}  // namespace
