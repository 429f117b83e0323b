#include "search/scan_kernel.h"

#include <atomic>

#if defined(STRANDIX_X86_KERNELS) && defined(_MSC_VER)
#include <immintrin.h>
#include <intrin.h>
#endif

namespace {

inline std::uint64_t Bits(const std::uint64_t* word, unsigned shift) {
    return (word[0] >> shift) | ((word[1] << 1) << (63 - shift));
}

#if defined(STRANDIX_X86_KERNELS)
bool ProcessorHasAvx2() {
#if defined(_MSC_VER)
    int info[4];
    __cpuid(info, 0);
    if (info[0] < 7) return false;
    __cpuid(info, 1);
    const bool osSaves = (info[2] & (1 << 27)) != 0;  // OSXSAVE
    const bool avx = (info[2] & (1 << 28)) != 0;
    if (!osSaves || !avx || (_xgetbv(0) & 6) != 6) return false;  // XMM and YMM state saved
    __cpuidex(info, 7, 0);
    return (info[1] & (1 << 5)) != 0;
#else
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
#endif
}
#endif

// -1: the processor's choice; otherwise the forced kernel.
std::atomic<int> forced{-1};

}  // namespace

std::size_t ScanCandidatesScalar(const ScanLetters& letters, std::size_t from, std::size_t to) {
    const std::uint64_t* first = letters.words[0];
    const unsigned firstShift = letters.shifts[0];
    if (letters.count == 1) {
        for (std::size_t k = from; k < to; ++k) {
            if (Bits(first + k, firstShift)) return k;
        }
        return to;
    }
    const std::uint64_t* second = letters.words[1];
    const unsigned secondShift = letters.shifts[1];
    if (letters.count == 2) {
        for (std::size_t k = from; k < to; ++k) {
            if (Bits(first + k, firstShift) & Bits(second + k, secondShift)) return k;
        }
        return to;
    }
    const std::uint64_t* third = letters.words[2];
    const unsigned thirdShift = letters.shifts[2];
    for (std::size_t k = from; k < to; ++k) {
        if (Bits(first + k, firstShift) & Bits(second + k, secondShift) &
            Bits(third + k, thirdShift))
            return k;
    }
    return to;
}

bool ScanKernelAvailable(ScanKernel kernel) {
    switch (kernel) {
        case ScanKernel::Scalar:
            return true;
#if defined(STRANDIX_X86_KERNELS)
        case ScanKernel::Sse2:
            return true;  // every x86-64 processor has it
        case ScanKernel::Avx2: {
            static const bool avx2 = ProcessorHasAvx2();
            return avx2;
        }
#endif
        default:
            return false;
    }
}

ScanKernel ChosenScanKernel() {
    const int kernel = forced.load(std::memory_order_relaxed);
    if (kernel >= 0) return static_cast<ScanKernel>(kernel);
    if (ScanKernelAvailable(ScanKernel::Avx2)) return ScanKernel::Avx2;
    if (ScanKernelAvailable(ScanKernel::Sse2)) return ScanKernel::Sse2;
    return ScanKernel::Scalar;
}

CandidateScan ChosenCandidateScan() {
    switch (ChosenScanKernel()) {
#if defined(STRANDIX_X86_KERNELS)
        case ScanKernel::Avx2:
            return &ScanCandidatesAvx2;
        case ScanKernel::Sse2:
            return &ScanCandidatesSse2;
#endif
        default:
            return &ScanCandidatesScalar;
    }
}

void ForceScanKernel(ScanKernel kernel) {
    forced.store(ScanKernelAvailable(kernel) ? static_cast<int>(kernel) : -1);
}

void ResetScanKernel() {
    forced.store(-1);
}

#if !defined(STRANDIX_X86_KERNELS)
// Never chosen where they are not available; the plain kernel stands in for them.
std::size_t ScanCandidatesSse2(const ScanLetters& letters, std::size_t from, std::size_t to) {
    return ScanCandidatesScalar(letters, from, to);
}

std::size_t ScanCandidatesAvx2(const ScanLetters& letters, std::size_t from, std::size_t to) {
    return ScanCandidatesScalar(letters, from, to);
}
#endif
