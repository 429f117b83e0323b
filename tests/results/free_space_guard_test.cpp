#include "results/free_space_guard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/recording_sink.h"

namespace {

constexpr std::uint64_t kGigabyte = std::uint64_t{1} << 30;

TEST(FreeSpaceGuard, LeastFreeSpaceIsOneGigabyteOrFivePercent) {
    const struct {
        std::uint64_t size, least;
    } cases[] = {
        {0, kGigabyte},
        {10 * kGigabyte, kGigabyte},
        {20 * kGigabyte, kGigabyte},
        {21 * kGigabyte, 21 * kGigabyte / 20},
        {1000 * kGigabyte, 50 * kGigabyte},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeastFreeSpace(c.size), c.least) << c.size;
}

// A file system of 100 GB whose free space falls by 1 GB at every question after the first
// `plentyFor` ones.
struct ShrinkingDisk {
    std::uint64_t available;
    int plentyFor;
    int asked = 0;
    bool known = true;

    bool operator()(std::uint64_t& free, std::uint64_t& size) {
        if (++asked > plentyFor) available -= kGigabyte;
        free = available;
        size = 100 * kGigabyte;
        return known;
    }
};

// Runs a search of `results` results with a Progress after every 100, ended as the search ends
// it: canceled when a Progress answered false.
void Search(CFreeSpaceGuard& guard, int results) {
    std::string error;
    EXPECT_TRUE(guard.Begin(error));
    const ResultPositions positions = {{0, 1}};
    bool canceled = false;
    for (int i = 0; i < results && !canceled; ++i) {
        EXPECT_TRUE(guard.AddResult("AB", i, i + 1, 10, positions));
        if ((i + 1) % 100 == 0) canceled = !guard.Progress(i, results);
    }
    guard.End(canceled);
}

TEST(FreeSpaceGuard, StopsTheSearchAsACancelOnceTooLittleIsLeft) {
    const struct {
        const char* name;
        std::uint64_t available;  // at the start
        int plentyFor;            // questions answered with the start's figure
        bool known;
        bool stops;
        std::size_t results;  // passed on to the page
    } cases[] = {
        // 10 GB free, 5 GB the least: asked at Begin, then at each Progress (every 100 results,
        // so never 256 results apart), 1 GB less each time: 4 GB at the sixth Progress stops it.
        {"plenty", 80 * kGigabyte, 1000, true, false, 3000},
        {"shrinking", 10 * kGigabyte, 1, true, true, 600},
        {"unknown", 10 * kGigabyte, 1, false, false, 3000},
        // Only 2 GB free at the start: the page may take half of it; 0 GB at the second
        // Progress is below the 1 GB left.
        {"already short", 2 * kGigabyte, 1, true, true, 200},
    };
    for (const auto& c : cases) {
        CRecordingSink page;
        page.recordProgress = false;
        ShrinkingDisk disk{c.available, c.plentyFor};
        disk.known = c.known;
        CFreeSpaceGuard guard(page, std::ref(disk));
        Search(guard, 3000);
        EXPECT_EQ(guard.Stopped(), c.stops) << c.name;
        EXPECT_EQ(page.Results().size(), c.results) << c.name;
        EXPECT_EQ(page.calls.back(), c.stops ? "End canceled" : "End") << c.name;
        if (c.stops) {
            EXPECT_LT(guard.Available(), guard.Least()) << c.name;
        }
    }
}

}  // namespace
