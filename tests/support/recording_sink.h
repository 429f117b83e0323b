// A sink that writes every call as one line of text, so that order and arguments are checked
// in a single comparison; and clocks that tests drive by hand.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "search/result_sink.h"
#include "search/tick_clock.h"

class CRecordingSink : public CResultSink {
  public:
    std::vector<std::string> calls;
    // Answers, consumed in order; true once a list runs out.
    std::deque<bool> beginAnswers, addAnswers, endAnswers, progressAnswers;
    bool recordProgress = true;

    bool Begin(std::string& /*errorText*/) override {
        calls.push_back("Begin");
        return Next(beginAnswers);
    }
    bool AddResult(const char* text, std::int32_t first, std::int32_t last, std::int32_t columns,
                   const ResultPositions& positions) override {
        (void)text;
        std::string line = "AddResult " + std::to_string(first) + " " + std::to_string(last) + " " +
                           std::to_string(columns);
        for (const LetterPositions& letters : positions) {
            line += " [";
            for (std::size_t i = 0; i < letters.size(); ++i) {
                line += (i ? "," : "") + std::to_string(letters[i]);
            }
            line += "]";
        }
        calls.push_back(line);
        return Next(addAnswers);
    }
    bool End(bool canceled) override {
        calls.push_back(canceled ? "End canceled" : "End");
        return Next(endAnswers);
    }
    bool Progress(std::int32_t position, std::int32_t total) override {
        if (recordProgress) {
            calls.push_back("Progress " + std::to_string(position) + " " + std::to_string(total));
        }
        return Next(progressAnswers);
    }

    // Only the AddResult lines.
    std::vector<std::string> Results() const {
        std::vector<std::string> results;
        for (const std::string& call : calls) {
            if (call.rfind("AddResult", 0) == 0) results.push_back(call);
        }
        return results;
    }

  private:
    static bool Next(std::deque<bool>& answers) {
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A clock that stands still unless a test moves it.
class CManualClock : public CTickClock {
  public:
    std::uint32_t now = 0;
    std::uint32_t Milliseconds() override { return now; }
};

// A clock that moves on by `step` milliseconds at every reading.
class CSteppingClock : public CTickClock {
  public:
    explicit CSteppingClock(std::uint32_t step, std::uint32_t start = 0)
        : now_(start), step_(step) {}
    std::uint32_t Milliseconds() override { return now_ += step_; }

  private:
    std::uint32_t now_;
    std::uint32_t step_;
};

// A clock that answers the given readings in turn, then keeps the last one.
class CScriptedClock : public CTickClock {
  public:
    explicit CScriptedClock(std::deque<std::uint32_t> readings) : readings_(std::move(readings)) {}
    std::uint32_t Milliseconds() override {
        if (readings_.size() > 1) {
            const std::uint32_t reading = readings_.front();
            readings_.pop_front();
            return reading;
        }
        return readings_.empty() ? 0 : readings_.front();
    }

  private:
    std::deque<std::uint32_t> readings_;
};
