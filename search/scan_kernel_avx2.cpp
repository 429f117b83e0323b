// The AVX2 kernel: four chunks at a time. This file alone is built with AVX2 code generation
// allowed, so it holds nothing else: no inline function of a header that another file could take
// the AVX2 copy of. It runs only once the processor has said that it has AVX2.
#include <immintrin.h>

#include "search/scan_kernel.h"

namespace {

inline std::uint64_t ScalarBits(const std::uint64_t* word, unsigned shift) {
    return (word[0] >> shift) | ((word[1] << 1) << (63 - shift));
}

inline __m256i Chunks4(const std::uint64_t* words, std::size_t k, __m128i right, __m128i left) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words + k));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words + k + 1));
    return _mm256_or_si256(_mm256_srl_epi64(low, right), _mm256_sll_epi64(high, left));
}

template <int kLetters>
std::size_t Avx2(const ScanLetters& letters, std::size_t from, std::size_t to) {
    __m128i right[3], left[3];
    for (int t = 0; t < kLetters; ++t) {
        right[t] = _mm_cvtsi32_si128(static_cast<int>(letters.shifts[t]));
        left[t] = _mm_cvtsi32_si128(static_cast<int>(64 - letters.shifts[t]));
    }
    const __m256i zero = _mm256_setzero_si256();
    std::size_t k = from;
    for (; k + 4 <= to; k += 4) {
        __m256i m = Chunks4(letters.words[0], k, right[0], left[0]);
        if (kLetters > 1) m = _mm256_and_si256(m, Chunks4(letters.words[1], k, right[1], left[1]));
        if (kLetters > 2) m = _mm256_and_si256(m, Chunks4(letters.words[2], k, right[2], left[2]));
        if (!_mm256_testz_si256(m, m)) {
            const int zeroLanes =
                _mm256_movemask_pd(_mm256_castsi256_pd(_mm256_cmpeq_epi64(m, zero)));
            const int lanes = ~zeroLanes & 15;
            return k + static_cast<std::size_t>(lanes & 1 ? 0 : lanes & 2 ? 1 : lanes & 4 ? 2 : 3);
        }
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

std::size_t ScanCandidatesAvx2(const ScanLetters& letters, std::size_t from, std::size_t to) {
    switch (letters.count) {
        case 1:
            return Avx2<1>(letters, from, to);
        case 2:
            return Avx2<2>(letters, from, to);
        default:
            return Avx2<3>(letters, from, to);
    }
}
