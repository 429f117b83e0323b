// The SSE2 kernel: two chunks at a time. Every x86-64 processor has SSE2, so this file is built
// with the compiler's usual flags.
#include <immintrin.h>

#include "search/scan_kernel.h"

namespace {

inline std::uint64_t ScalarBits(const std::uint64_t* word, unsigned shift) {
    return (word[0] >> shift) | ((word[1] << 1) << (63 - shift));
}

inline __m128i Chunks2(const std::uint64_t* words, std::size_t k, __m128i right, __m128i left) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + k));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + k + 1));
    return _mm_or_si128(_mm_srl_epi64(low, right), _mm_sll_epi64(high, left));
}

template <int kLetters>
std::size_t Sse2(const ScanLetters& letters, std::size_t from, std::size_t to) {
    __m128i right[3], left[3];
    for (int t = 0; t < kLetters; ++t) {
        right[t] = _mm_cvtsi32_si128(static_cast<int>(letters.shifts[t]));
        left[t] = _mm_cvtsi32_si128(static_cast<int>(64 - letters.shifts[t]));
    }
    const __m128i zero = _mm_setzero_si128();
    std::size_t k = from;
    for (; k + 2 <= to; k += 2) {
        __m128i m = Chunks2(letters.words[0], k, right[0], left[0]);
        if (kLetters > 1) m = _mm_and_si128(m, Chunks2(letters.words[1], k, right[1], left[1]));
        if (kLetters > 2) m = _mm_and_si128(m, Chunks2(letters.words[2], k, right[2], left[2]));
        const int zeroBytes = _mm_movemask_epi8(_mm_cmpeq_epi8(m, zero));
        if (zeroBytes != 0xFFFF) return (zeroBytes & 0xFF) != 0xFF ? k : k + 1;
    }
    for (; k < to; ++k) {
        std::uint64_t m = ScalarBits(letters.words[0] + k, letters.shifts[0]);
        for (int t = 1; t < kLetters; ++t)
            m &= ScalarBits(letters.words[t] + k, letters.shifts[t]);
        if (m) return k;
    }
    return to;
}

}  // namespace

std::size_t ScanCandidatesSse2(const ScanLetters& letters, std::size_t from, std::size_t to) {
    switch (letters.count) {
        case 1:
            return Sse2<1>(letters, from, to);
        case 2:
            return Sse2<2>(letters, from, to);
        default:
            return Sse2<3>(letters, from, to);
    }
}
