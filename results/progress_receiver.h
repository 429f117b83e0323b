// What the HTML writer needs of the program that runs the search: progress reports and the two
// questions it may have to ask. The main dialog answers with message boxes; the command-line tool
// answers on the terminal.
#pragma once

#include <cstdint>
#include <string>

class CProgressReceiver {
  public:
    virtual ~CProgressReceiver() = default;

    // Called from the writer's Progress. Keeps the front end alive (the dialog dispatches its
    // pending messages here), shows position of total and the number of results written, and
    // answers false when the user has asked to cancel.
    virtual bool ReportProgress(std::int32_t position, std::int32_t total,
                                std::int64_t resultsWritten) = 0;

    // A write failed; `reason` is the system's description of the failure, as it words it (line
    // break included when the system gives one). The receiver asks whether to retry or cancel
    // (the question: WriteRetryQuestion). True: retry.
    virtual bool AskRetry(const std::string& reason) = 0;

    // Yes/No question with the exclamation icon, Yes the default. True: Yes.
    virtual bool AskYesNo(const std::string& message) = 0;
};
