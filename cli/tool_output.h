// Where a command of the tool writes: standard output, and the terminal with its progress bar,
// questions and Ctrl-C.
#pragma once

#include <cstdio>
#include <string>

#include "cli/console_receiver.h"

struct ToolOutput {
    std::FILE* out;              // standard output
    CConsoleReceiver& receiver;  // the search's progress and questions on the terminal
    bool showProgress = false;   // the controls' progress line on the terminal too

    // Writes all of `text` to `out`. False when the stream refused it (closed, full).
    bool Write(const std::string& text) const {
        std::fputs(text.c_str(), out);
        return std::fflush(out) == 0 && !std::ferror(out);
    }
};
