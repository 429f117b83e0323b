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
        SetupCommand command{SetupCommandKind::FinishUninstall, {}, 0};
        std::string_view rest = arguments.substr(kFinishSwitch.size());
        for (;;) {
            command.processHandles.push_back(ParseDecimal(rest));
            const std::size_t comma = rest.find(',');
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
        return command;
    }
    constexpr std::string_view kConfirmed = kElevatedUninstallArguments;
    if (arguments == kConfirmed ||
        (arguments.starts_with(kConfirmed) && arguments[kConfirmed.size()] == ':')) {
        const std::int64_t requester =
            arguments == kConfirmed ? 0 : ParseDecimal(arguments.substr(kConfirmed.size() + 1));
        return {SetupCommandKind::UninstallConfirmed, {}, requester};
    }
    if (arguments.starts_with(kUninstallSwitch)) return {SetupCommandKind::Uninstall, {}, 0};
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

std::string UninstallCopyCommandLine(std::string_view copyPath,
                                     const std::vector<std::int64_t>& processHandles) {
    std::string line = "\"";
    line += copyPath;
    line += "\" ";
    line += kFinishSwitch;
    for (std::size_t i = 0; i < processHandles.size(); ++i) {
        if (i > 0) line += ',';
        line += std::to_string(processHandles[i]);
    }
    return line;
}

std::string ElevatedUninstallArguments(std::int64_t requesterId) {
    return std::string(kElevatedUninstallArguments) + ":" + std::to_string(requesterId);
}

bool IsElevatedSetupRun(std::string_view arguments) {
    return arguments.starts_with(kElevatedSetupArguments);
}

bool ShouldWaitForStage(std::uint32_t processId, bool notAProcess, std::uint32_t ownId) {
    if (processId != 0) return processId != ownId;
    return !notAProcess;
}
