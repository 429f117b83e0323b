#include "cli/console_receiver.h"

#include <cctype>

#include "cli/console.h"
#include "cli/standard_output.h"
#include "frontend/messages.h"

namespace {
constexpr int kBarWidth = 30;
constexpr int kLineWidth = 72;
}  // namespace

CConsoleReceiver::CConsoleReceiver(Settings settings, std::FILE* terminal)
    : settings_(settings), terminal_(terminal) {}

bool CConsoleReceiver::ReportProgress(std::int32_t position, std::int32_t total,
                                      std::int64_t resultsWritten) {
    if (settings_.showProgress) {
        const double done = total > 0 ? static_cast<double>(position) / total : 1.0;
        const int filled = static_cast<int>(done * kBarWidth + 0.5);
        char line[128];
        std::snprintf(line, sizeof line, "\r[%-*.*s] %3d%%  %lld result%s", kBarWidth, filled,
                      "##############################", static_cast<int>(done * 100 + 0.5),
                      static_cast<long long>(resultsWritten), resultsWritten == 1 ? "" : "s");
        std::fputs(line, terminal_);
        std::fflush(terminal_);
        barShown_ = true;
    }
    return !InterruptRequested();
}

void CConsoleReceiver::ClearProgress() {
    if (!barShown_) return;
    std::fprintf(terminal_, "\r%*s\r", kLineWidth, "");
    std::fflush(terminal_);
    barShown_ = false;
}

bool CConsoleReceiver::Ask(const std::string& message, const char* prompt, char yes) {
    // After a Ctrl-C the user has already answered: stop.
    if (InterruptRequested()) {
        questionInterrupted_ = true;
        return false;
    }
    ClearProgress();
    // What the search wrote so far is out before the tool waits for an answer.
    StandardOutput().Flush();
    std::fprintf(terminal_, "%s\n%s ", message.c_str(), prompt);
    std::fflush(terminal_);
    std::string answer;
    if (!ReadAnswerLine(answer)) {
        std::fputc('\n', terminal_);
        if (InterruptRequested()) questionInterrupted_ = true;
        return false;
    }
    std::size_t at = 0;
    while (at < answer.size() && std::isspace(static_cast<unsigned char>(answer[at])))
        ++at;
    return at < answer.size() && std::tolower(static_cast<unsigned char>(answer[at])) == yes;
}

bool CConsoleReceiver::AskRetry(const std::string& reason) {
    const bool retry =
        settings_.canAsk && Ask(WriteRetryQuestion(reason), "[r]etry or [c]ancel?", 'r');
    if (!retry) canceledWriteError_ = reason;
    return retry;
}

bool CConsoleReceiver::AskYesNo(const std::string& message) {
    if (settings_.alwaysYes) return true;
    const bool yes = settings_.canAsk && Ask(message, "[y]es or [n]o?", 'y');
    if (!yes && !questionInterrupted_) sizeDeclined_ = true;
    return yes;
}
