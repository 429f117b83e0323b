#include "cli/command_line.h"

std::vector<std::string> ToolArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool ToSystemPath(const std::string& utf8Path, std::string& systemPath) {
    systemPath = utf8Path;
    return true;
}

// Terminals here take the bytes as they are.
CUtf8Console::CUtf8Console() = default;
CUtf8Console::~CUtf8Console() = default;
