// The tool's one progress line on the terminal: what is under way, how far it is and the time
// left, at most five times a second; and the place where Ctrl-C turns into a stop of the work.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "common/work_items.h"

class CProgressLine : public CWorkReceiver {
  public:
    // `show`: the line is drawn (standard error is a terminal and the user wants it).
    explicit CProgressLine(bool show) : show_(show) {}

    // A stage begins: "c matrix: 14%, 14 s left", or with `units` named
    // "3 of 10 controls, 2.0 a second, 4 s left".
    void Start(std::string what, std::string units = std::string());
    void WorkDone(std::int64_t done, std::int64_t total) override;
    // Removes the line, so that what follows starts on a clean line.
    void Clear();
    // Units done of the stage under way, as last told.
    std::int64_t Done() const { return done_; }

    // Turns true at Ctrl-C: the work starts nothing more.
    std::atomic<bool> stop{false};

  private:
    using Clock = std::chrono::steady_clock;

    bool show_;
    bool shown_ = false;
    std::string what_, units_;
    std::int64_t done_ = 0;
    Clock::time_point start_ = Clock::now(), last_ = start_;
};

// "14 s", "3 min 5 s", "1 h 28 min".
std::string ProgressDuration(double seconds);
