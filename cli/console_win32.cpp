#include <windows.h>

#include <atomic>

#include "cli/console.h"

namespace {

std::atomic<bool> interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    // The first press asks the search to stop; a second one ends the program as usual.
    return interrupted.exchange(true) ? FALSE : TRUE;
}

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != FALSE;
}

}  // namespace

bool IsErrorTerminal() {
    return IsConsole(STD_ERROR_HANDLE);
}

bool IsInputTerminal() {
    return IsConsole(STD_INPUT_HANDLE);
}

bool IsOutputTerminal() {
    return IsConsole(STD_OUTPUT_HANDLE);
}

bool OutputSharesErrorTerminal() {
    // A process has at most one console.
    return IsConsole(STD_OUTPUT_HANDLE) && IsConsole(STD_ERROR_HANDLE);
}

void InstallInterruptHandler() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool InterruptRequested() {
    return interrupted.load();
}

int InterruptedStatus() {
    // Ctrl-C and Ctrl-Break both answer as the shells answer Ctrl-C.
    return 130;
}

bool ReadAnswerLine(std::string& line) {
    line.clear();
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
        char c = 0;
        DWORD got = 0;
        if (!ReadFile(input, &c, 1, &got, nullptr) || InterruptRequested()) return false;
        if (got == 0) return !line.empty();
        if (c == '\n') return true;
        if (c != '\r') line.push_back(c);
    }
}
