// What the command-line tool needs of the terminal, one file per platform.
#pragma once

#include <string>

// True when standard error, or standard input, is a terminal (a console on Windows).
bool IsErrorTerminal();
bool IsInputTerminal();

// From now on Ctrl-C only asks the running search to stop (InterruptRequested turns true); a
// second Ctrl-C ends the program as usual. Writing to a closed pipe becomes an error the tool
// reports instead of a signal that ends it.
void InstallInterruptHandler();
bool InterruptRequested();

// Reads one line of the user's answer from standard input. False at end of input, on an
// error, or when Ctrl-C interrupts the wait.
bool ReadAnswerLine(std::string& line);
