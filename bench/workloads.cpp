#include "bench/workloads.h"

#include <fstream>
#include <iterator>

namespace {

SearchSettings Settings(std::int32_t maxDistance, std::int32_t maxLength, std::int32_t minWidth,
                        std::int32_t maxWidth) {
    SearchSettings settings;
    settings.MaxDistanceBetweenLetters = maxDistance;
    settings.MaxResultLength = maxLength;
    settings.MinColumnWidth = minWidth;
    settings.MaxColumnWidth = maxWidth;
    return settings;
}

}  // namespace

std::vector<Workload> Workloads() {
    return {
        {"W1",
         "MOSES, whole Bible, skips to 10000, span 40000, widths 1-500",
         Document::Bible,
         {"MOSES"},
         Settings(10000, 40000, 1, 500)},
        {"W2", "MOSES AARON, sample, default settings", Document::Sample, {"MOSES", "AARON"}, {}},
        {"W3", "GOD LORD, sample, default settings", Document::Sample, {"GOD", "LORD"}, {}},
        {"W4",
         "MOSES, whole Bible, skips to 50000, span 500000, widths 1-500",
         Document::Bible,
         {"MOSES"},
         Settings(50000, 500000, 1, 500)},
    };
}

bool LoadNormalisedText(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    NormaliseText(text, false);
    return true;
}

void CDigestSink::Mix(std::int64_t value) {
    auto bits = static_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i, bits >>= 8) {
        digest ^= bits & 0xFF;
        digest *= 1099511628211ull;
    }
}

bool CDigestSink::AddResult(const char* text, std::int32_t first, std::int32_t last,
                            std::int32_t columns, const ResultPositions& positions) {
    (void)text;
    ++results;
    Mix(first);
    Mix(last);
    Mix(columns);
    for (const LetterPositions& letters : positions) {
        Mix(static_cast<std::int64_t>(letters.size()));
        for (const std::int64_t index : letters)
            Mix(index);
    }
    return true;
}

bool CDigestSink::End(bool wasCanceled) {
    ended = true;
    canceled = wasCanceled;
    return true;
}
