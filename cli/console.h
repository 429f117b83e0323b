// What the command-line tool needs of the terminal, one file per platform.
#pragma once

#include <string>

// True when standard error, standard input or standard output is a terminal (a console on
// Windows).
bool IsErrorTerminal();
bool IsInputTerminal();
bool IsOutputTerminal();

// True when standard output and standard error are the same terminal, so that anything drawn on
// the one lands in the middle of what is written to the other.
bool OutputSharesErrorTerminal();

// From now on Ctrl-C only asks the running search to stop (InterruptRequested turns true); a
// second Ctrl-C ends the program as usual. Writing to a closed pipe becomes an error the tool
// reports instead of a signal that ends it.
void InstallInterruptHandler();
bool InterruptRequested();

// The exit status of a run that an interrupt stopped: 128 + the signal's number, as the shells
// give it (130 after Ctrl-C, 143 after SIGTERM); 130 on Windows.
int InterruptedStatus();

// Reads one line of the user's answer from standard input. False at end of input, on an
// error, or when Ctrl-C interrupts the wait (or came before it).
bool ReadAnswerLine(std::string& line);
