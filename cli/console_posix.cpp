#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "cli/console.h"

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set in a signal handler");

extern "C" void OnInterrupt(int) {
    interrupted.store(true);
}

}  // namespace

bool IsErrorTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

bool IsInputTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a question waiting for input gives up at Ctrl-C. The handler is one-shot,
    // so a second Ctrl-C ends the program.
    action.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

bool InterruptRequested() {
    return interrupted.load();
}

bool ReadAnswerLine(std::string& line) {
    line.clear();
    for (;;) {
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0) return false;  // Ctrl-C (EINTR) included
        if (got == 0) return !line.empty();
        if (c == '\n') return true;
        line.push_back(c);
    }
}
