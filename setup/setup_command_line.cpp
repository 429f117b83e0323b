#include "setup/setup_command_line.h"

#include <limits>

namespace {

constexpr std::string_view kFinishSwitch = "/uninstall:";
constexpr std::string_view kUninstallSwitch = "/uninstall";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

SetupCommand ParseSetupArguments(std::string_view arguments) {
    if (arguments.starts_with(kFinishSwitch)) {
        return {SetupCommandKind::FinishUninstall,
                ParseDecimal(arguments.substr(kFinishSwitch.size()))};
    }
    if (arguments == kElevatedUninstallArguments) return {SetupCommandKind::UninstallConfirmed};
    if (arguments.starts_with(kUninstallSwitch)) return {SetupCommandKind::Uninstall};
    return {};
}

std::string_view ArgumentText(std::string_view commandLine) {
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        // A quoted name runs to the next quote; the system allows no escapes in it.
        const std::size_t close = commandLine.find('"', 1);
        i = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && !IsBlank(commandLine[i]))
            ++i;
    }
    while (i < commandLine.size() && IsBlank(commandLine[i]))
        ++i;
    return commandLine.substr(i);
}

std::int64_t ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Accumulated as a negative number, whose range is the larger one.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value < (kMin + digit) / 10) {
            value = kMin;
            continue;
        }
        value = value * 10 - digit;
    }
    if (negative) return value;
    return value == kMin ? std::numeric_limits<std::int64_t>::max() : -value;
}

std::string UninstallCopyCommandLine(std::string_view copyPath, std::int64_t processHandle) {
    std::string line = "\"";
    line += copyPath;
    line += "\" ";
    line += kFinishSwitch;
    line += std::to_string(processHandle);
    return line;
}

bool IsElevatedSetupRun(std::string_view arguments) {
    return arguments.starts_with(kElevatedSetupArguments);
}
