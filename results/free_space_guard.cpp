#include "results/free_space_guard.h"

#include <algorithm>
#include <utility>

std::uint64_t LeastFreeSpace(std::uint64_t fileSystemSize) {
    constexpr std::uint64_t kOneGigabyte = std::uint64_t{1} << 30;
    return std::max(kOneGigabyte, fileSystemSize / 20);
}

CFreeSpaceGuard::CFreeSpaceGuard(CResultSink& inner, FreeSpaceQuery freeSpace)
    : inner_(inner), freeSpace_(std::move(freeSpace)) {}

bool CFreeSpaceGuard::Begin(std::string& errorText) {
    if (!inner_.Begin(errorText)) return false;
    std::uint64_t available = 0, size = 0;
    if (freeSpace_ && freeSpace_(available, size)) {
        started_ = true;
        least_ = LeastFreeSpace(size);
        if (available < least_) least_ = available / 2;
    }
    return true;
}

void CFreeSpaceGuard::Check() {
    sinceCheck_ = 0;
    std::uint64_t available = 0, size = 0;
    if (!started_ || !freeSpace_(available, size)) return;
    available_ = available;
    if (available < least_) stopped_ = true;
}

bool CFreeSpaceGuard::AddResult(const char* text, std::int32_t first, std::int32_t last,
                                std::int32_t columns, const ResultPositions& positions) {
    // After the stop nothing more is written; the next Progress ends the search.
    if (stopped_) return true;
    if (++sinceCheck_ >= kResultsBetweenChecks) {
        Check();
        if (stopped_) return true;
    }
    return inner_.AddResult(text, first, last, columns, positions);
}

bool CFreeSpaceGuard::Progress(std::int32_t position, std::int32_t total) {
    if (!stopped_) Check();
    if (stopped_) return false;
    return inner_.Progress(position, total);
}
