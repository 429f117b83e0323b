#include "tests/support/process_watch.h"

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

bool WaitUntilCatching(pid_t child, int signal) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    const std::string status = "/proc/" + std::to_string(child) + "/status";
    while (std::chrono::steady_clock::now() < end) {
        std::ifstream in(status);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("SigCgt:", 0) == 0 &&
                (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool WaitForProcessorTime(pid_t child, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    const double ticksPerSecond = static_cast<double>(::sysconf(_SC_CLK_TCK));
    while (std::chrono::steady_clock::now() < end) {
        std::ifstream in("/proc/" + std::to_string(child) + "/stat");
        std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // After the command name in parentheses: state, then fields 4 to 13, then utime, stime.
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        for (int i = 3; i <= 13 && fields >> field; ++i) {
        }
        unsigned long long user = 0, system = 0;
        if (fields >> user >> system &&
            static_cast<double>(user + system) / ticksPerSecond >= seconds) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
