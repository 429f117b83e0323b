// The loop the indexed search spends its time in: the first chunk of 64 skips at which every
// tested letter's bitmap has a bit set. One interface, three ways to run it: plain 64-bit code
// everywhere, and on x86-64 SSE2 (two chunks at a time) and AVX2 (four), chosen at run time by
// what the processor has. All three give the same answers; a test switch forces each.
#pragma once

#include <cstddef>
#include <cstdint>

// Up to three letters tested together. Chunk k of letter t is the 64 bits that start at bit
// shifts[t] of words[t][k]: (words[t][k] >> shift) | (words[t][k + 1] << (64 - shift)), the
// second part 0 when the shift is 0.
struct ScanLetters {
    const std::uint64_t* words[3] = {nullptr, nullptr, nullptr};
    unsigned shifts[3] = {0, 0, 0};
    int count = 0;  // 1..3
};

// The first k in from..to-1 at which the chunks of every letter share a set bit; `to` when there
// is none. Reads words[t][from] up to words[t][to].
using CandidateScan = std::size_t (*)(const ScanLetters& letters, std::size_t from, std::size_t to);

enum class ScanKernel { Scalar, Sse2, Avx2 };

// Whether this processor (and this build) can run the kernel.
bool ScanKernelAvailable(ScanKernel kernel);
// The kernel the search uses: the forced one, or else the widest this processor runs.
ScanKernel ChosenScanKernel();
CandidateScan ChosenCandidateScan();
// For tests and the fuzzer: every later search uses `kernel` (which must be available); Reset
// goes back to the processor's choice. Not to be called while a search runs.
void ForceScanKernel(ScanKernel kernel);
void ResetScanKernel();

// The kernels themselves; the vector ones exist only where ScanKernelAvailable says so.
std::size_t ScanCandidatesScalar(const ScanLetters& letters, std::size_t from, std::size_t to);
std::size_t ScanCandidatesSse2(const ScanLetters& letters, std::size_t from, std::size_t to);
std::size_t ScanCandidatesAvx2(const ScanLetters& letters, std::size_t from, std::size_t to);
