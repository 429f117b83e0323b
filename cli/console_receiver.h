// The command-line tool as the writer's progress receiver: a progress bar on a terminal,
// Ctrl-C as cancel, and the writer's two questions asked on the terminal when there is one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "results/progress_receiver.h"

class CConsoleReceiver : public CProgressReceiver {
  public:
    struct Settings {
        bool showProgress = false;  // draw the bar (standard error is a terminal, no -q)
        bool canAsk = false;        // questions may be asked (a terminal to ask on)
        bool alwaysYes = false;     // --yes
    };

    CConsoleReceiver(Settings settings, std::FILE* terminal);

    bool ReportProgress(std::int32_t position, std::int32_t total,
                        std::int64_t resultsWritten) override;
    bool AskRetry(const std::string& reason) override;
    bool AskYesNo(const std::string& message) override;

    // Removes the progress bar from the terminal line.
    void ClearProgress();

    // The user answered No to the 5 MB question (a Ctrl-C at the question is no answer).
    bool SizeQuestionDeclined() const { return sizeDeclined_; }
    // The system's reason for the last write error that was not retried; empty when none was.
    const std::string& CanceledWriteError() const { return canceledWriteError_; }
    // A Ctrl-C came while a question waited for its answer, or before one was due: the search
    // counts as canceled, not as stopped by the answer.
    bool QuestionInterrupted() const { return questionInterrupted_; }

  private:
    bool Ask(const std::string& message, const char* prompt, char yes);

    Settings settings_;
    std::FILE* terminal_;
    bool barShown_ = false;
    bool sizeDeclined_ = false;
    bool questionInterrupted_ = false;
    std::string canceledWriteError_;
};
