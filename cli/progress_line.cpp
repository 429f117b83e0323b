#include "cli/progress_line.h"

#include <cstdio>

#include "cli/console.h"

void CProgressLine::Start(std::string what, std::string units) {
    what_ = std::move(what);
    units_ = std::move(units);
    done_ = 0;
    start_ = Clock::now();
    last_ = start_;
}

void CProgressLine::WorkDone(std::int64_t done, std::int64_t total) {
    done_ = done;
    if (InterruptRequested()) stop.store(true);
    if (!show_) return;
    const auto now = Clock::now();
    if (done < total && now - last_ < std::chrono::milliseconds(200)) return;
    last_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    const std::string left =
        ProgressDuration(rate > 0 ? static_cast<double>(total - done) / rate : 0);
    if (units_.empty()) {
        std::fprintf(stderr, "\r%s: %3.0f%%, %s left    ", what_.c_str(),
                     total > 0 ? 100.0 * static_cast<double>(done) / static_cast<double>(total) : 0,
                     left.c_str());
    } else {
        std::fprintf(stderr, "\r%lld of %lld %s, %.1f a second, %s left    ",
                     static_cast<long long>(done), static_cast<long long>(total), units_.c_str(),
                     rate, left.c_str());
    }
    std::fflush(stderr);
    shown_ = true;
}

void CProgressLine::Clear() {
    if (!shown_) return;
    std::fprintf(stderr, "\r%76s\r", "");
    std::fflush(stderr);
    shown_ = false;
}

std::string ProgressDuration(double seconds) {
    const auto whole = static_cast<long long>(seconds + 0.5);
    if (whole < 60) return std::to_string(whole) + " s";
    if (whole < 3600)
        return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
}
