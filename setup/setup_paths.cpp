#include "setup/setup_paths.h"

#include <algorithm>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where the folder part ends: just past the drive, or just past the last separator.
std::size_t EndOfFolderPart(std::string_view path) {
    const std::size_t drive = (path.size() >= 2 && path[1] == ':') ? 2 : 0;
    const std::size_t lastSeparator = path.find_last_of("\\/");
    if (lastSeparator == std::string_view::npos || lastSeparator < drive) return drive;
    return lastSeparator + 1;
}

}  // namespace

std::string FolderOfPath(std::string_view path) {
    return std::string(path.substr(0, EndOfFolderPart(path)));
}

std::string FileNameOfPath(std::string_view path) {
    return std::string(path.substr(EndOfFolderPart(path)));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    if (!joined.empty() && joined.back() != '\\') joined += '\\';
    joined += name;
    return joined;
}

std::string WithoutTrailingBackslash(std::string_view path) {
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return std::string(path);
}

bool IsAbsolutePath(std::string_view path) {
    if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) {
        const char drive = LowerAscii(path[0]);
        return drive >= 'a' && drive <= 'z';
    }
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           !IsSeparator(path[2]);
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool IsSetupProgramPath(std::string_view modulePath) {
    constexpr std::string_view kSetupName = "\\setup.exe";
    const std::size_t length = std::min(modulePath.size(), kSetupName.size());
    return EqualIgnoringCase(modulePath.substr(modulePath.size() - length), kSetupName);
}

std::string InstalledProgramPath(std::string_view folder, std::string_view productName) {
    std::string target(folder);
    if (target.empty() || target.back() != '\\') target += '\\';
    target += productName;
    target += ".exe";
    return target;
}

std::string UninstallKeyPathFor(std::string_view productName) {
    std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    key += productName;
    return key;
}

std::string UninstallCommandFor(std::string_view installedProgram) {
    std::string command = "\"";
    command += installedProgram;
    command += "\" /uninstall";
    return command;
}
