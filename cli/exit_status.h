// The tool's exit statuses (as grep has them, and the shells' for an interrupt) and its one way
// of telling what went wrong.
#pragma once

#include <cstdio>
#include <string>

#include "cli/standard_output.h"

constexpr int kFound = 0;
constexpr int kNothingFound = 1;
constexpr int kFailed = 2;
// A run that Ctrl-C or SIGTERM stopped. The tool's main answers the shells' status for the signal
// that came instead (InterruptedStatus: 130 after Ctrl-C, 143 after SIGTERM).
constexpr int kInterrupted = 130;

// Writes "strandix: SENTENCE" to standard error, after what standard output holds; answers
// kFailed.
inline int Fail(const std::string& sentence) {
    StandardOutput().Flush();
    std::fprintf(stderr, "strandix: %s\n", sentence.c_str());
    return kFailed;
}

// Writes "strandix: The search was canceled." to standard error, after what standard output
// holds; answers kInterrupted.
inline int ReportCanceled() {
    StandardOutput().Flush();
    std::fprintf(stderr, "strandix: The search was canceled.\n");
    return kInterrupted;
}
