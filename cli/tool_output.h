// Where a command of the tool writes: standard output, and the terminal with its progress bar,
// questions and Ctrl-C.
#pragma once

#include <string>

#include "cli/console_receiver.h"
#include "cli/standard_output.h"

struct ToolOutput {
    CStandardOutput& out;        // standard output
    CConsoleReceiver& receiver;  // the search's progress and questions on the terminal
    bool showProgress = false;   // the controls' progress line on the terminal too

    // Writes all of `text` to `out`. False when the stream refused it (closed, full).
    bool Write(const std::string& text) const { return out.Write(text) && out.Flush(); }
};
