// The candidate scan's kernels against the plain one: every letter count, every bit place, ranges
// of every length and start, sparse and dense bitmaps, the candidate in each lane.
#include "search/scan_kernel.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(ScanKernel, EveryKernelFindsThePlainKernelsCandidate) {
    std::mt19937_64 random(20261211);
    const ScanKernel kernels[] = {ScanKernel::Sse2, ScanKernel::Avx2};
    const CandidateScan scans[] = {&ScanCandidatesSse2, &ScanCandidatesAvx2};
    int compared = 0;
    int found = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::size_t words = 2 + random() % 80;
        // Bits set one in 2^density: from dense (every chunk a candidate) to nearly empty.
        const unsigned density = static_cast<unsigned>(random() % 12);
        std::vector<std::vector<std::uint64_t>> bitmaps(3, std::vector<std::uint64_t>(words + 2));
        for (auto& bitmap : bitmaps) {
            for (std::size_t w = 0; w < words; ++w) {
                std::uint64_t word = 0;
                for (int b = 0; b < 64; ++b)
                    word |= std::uint64_t{random() % (std::uint64_t{1} << density) == 0} << b;
                bitmap[w] = word;
            }
        }
        ScanLetters letters;
        letters.count = 1 + static_cast<int>(random() % 3);
        for (int t = 0; t < 3; ++t) {
            letters.words[t] = bitmaps[static_cast<std::size_t>(t)].data();
            letters.shifts[t] = random() % 4 == 0 ? 0 : static_cast<unsigned>(random() % 64);
        }
        const std::size_t from = random() % words;
        const std::size_t to = from + random() % (words - from);
        const std::size_t expected = ScanCandidatesScalar(letters, from, to);
        ASSERT_LE(expected, to);
        found += expected < to;
        for (std::size_t i = 0; i < 2; ++i) {
            if (!ScanKernelAvailable(kernels[i])) continue;
            ASSERT_EQ(scans[i](letters, from, to), expected)
                << "kernel " << i << " letters " << letters.count << " from " << from << " to "
                << to << " density " << density;
            ++compared;
        }
    }
    if (compared == 0) GTEST_SKIP() << "no vector kernel on this processor";
    EXPECT_GT(found, 5000);
    EXPECT_LT(found, 18000);
}

TEST(ScanKernel, TheSwitchForcesEachAvailableKernelAndResets) {
    const ScanKernel natural = ChosenScanKernel();
    for (const ScanKernel kernel : {ScanKernel::Scalar, ScanKernel::Sse2, ScanKernel::Avx2}) {
        if (!ScanKernelAvailable(kernel)) continue;
        ForceScanKernel(kernel);
        EXPECT_EQ(ChosenScanKernel(), kernel);
    }
    ResetScanKernel();
    EXPECT_EQ(ChosenScanKernel(), natural);
    EXPECT_TRUE(ScanKernelAvailable(ScanKernel::Scalar));
}

}  // namespace
