// What the command-line tool needs of the terminal and the desktop, one file per platform.
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

// Opens `path` with the desktop's default viewer (xdg-open; the shell's "open" on Windows).
bool OpenWithDefaultViewer(const std::string& path);
