#include "tests/support/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>

CPseudoTerminal::CPseudoTerminal(int quietLimitMs)
    : quietLimitMs_(quietLimitMs), near_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    if (near_ >= 0 && ::grantpt(near_) == 0 && ::unlockpt(near_) == 0) {
        far_ = ::ptsname(near_);
        farHeld_ = ::open(far_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (farHeld_ < 0) far_.clear();
    }
}

CPseudoTerminal::~CPseudoTerminal() {
    LetGoOfFarEnd();
    if (near_ >= 0) ::close(near_);
}

void CPseudoTerminal::LetGoOfFarEnd() {
    if (farHeld_ >= 0) ::close(farHeld_);
    farHeld_ = -1;
}

bool CPseudoTerminal::ReadUntil(const std::string& wanted) {
    while (shown_.find(wanted) == std::string::npos) {
        if (!ReadMore()) return false;
    }
    return true;
}

const std::string& CPseudoTerminal::ReadToEnd() {
    LetGoOfFarEnd();
    while (ReadMore()) {
    }
    return shown_;
}

// Once nobody holds the far end, the near end reports an error instead of data.
bool CPseudoTerminal::ReadMore() {
    if (near_ < 0) return false;
    pollfd wait{near_, POLLIN, 0};
    if (::poll(&wait, 1, quietLimitMs_) <= 0) return false;
    char buffer[4096];
    const ssize_t got = ::read(near_, buffer, sizeof buffer);
    if (got <= 0) return false;
    shown_.append(buffer, static_cast<std::size_t>(got));
    return true;
}
