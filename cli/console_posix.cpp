#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "cli/console.h"

namespace {

std::atomic<bool> interrupted{false};
std::atomic<int> interruptSignal{0};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set in a signal handler");
static_assert(std::atomic<int>::is_always_lock_free, "the signal is kept in a signal handler");

// The handler's wake-up call for a question waiting on the terminal. The search runs threads of
// its own, and the signal may land on any of them, so the waiting call is woken through a pipe
// rather than by the interruption of its own system call.
int wakeRead = -1;
int wakeWrite = -1;

extern "C" void OnInterrupt(int signalNumber) {
    const int savedErrno = errno;
    int none = 0;
    interruptSignal.compare_exchange_strong(none, signalNumber);
    interrupted.store(true);
    if (wakeWrite >= 0) {
        const char byte = 1;
        const ssize_t ignored = ::write(wakeWrite, &byte, 1);
        (void)ignored;
    }
    errno = savedErrno;
}

bool MakeWakePipe() {
    int ends[2];
    if (::pipe(ends) != 0) return false;
    for (const int end : ends) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    wakeRead = ends[0];
    wakeWrite = ends[1];
    return true;
}

}  // namespace

bool IsErrorTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

bool IsInputTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

bool IsOutputTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

bool OutputSharesErrorTerminal() {
    if (::isatty(STDOUT_FILENO) != 1 || ::isatty(STDERR_FILENO) != 1) return false;
    struct stat output {};
    struct stat error {};
    if (::fstat(STDOUT_FILENO, &output) != 0 || ::fstat(STDERR_FILENO, &error) != 0) return true;
    return output.st_rdev == error.st_rdev;
}

void InstallInterruptHandler() {
    MakeWakePipe();
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // SA_RESTART: a write to standard output or a read of the answer goes on after a Ctrl-C
    // instead of failing; the question's wait is ended through the pipe. The handler is
    // one-shot, so a second Ctrl-C ends the program. SIGTERM, as a scheduler or `kill` sends it,
    // stops the work the same way.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

bool InterruptRequested() {
    return interrupted.load();
}

int InterruptedStatus() {
    const int signalNumber = interruptSignal.load();
    return 128 + (signalNumber != 0 ? signalNumber : SIGINT);
}

bool ReadAnswerLine(std::string& line) {
    line.clear();
    for (;;) {
        if (InterruptRequested()) return false;
        pollfd waits[2] = {{STDIN_FILENO, POLLIN, 0}, {wakeRead, POLLIN, 0}};
        const int ready = ::poll(waits, wakeRead >= 0 ? 2 : 1, -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (waits[1].revents != 0) continue;  // the flag says why
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return false;
        }
        if (got == 0) return !line.empty();
        if (c == '\n') return true;
        line.push_back(c);
    }
}
