#include "setup/setup_paths.h"

#include <algorithm>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The length of the character that starts at `i`: two bytes for a lead byte followed by another
// byte, one otherwise (a lead byte at the very end stands alone, as the system reads it).
std::size_t CharacterLength(std::string_view text, std::size_t i, unsigned codePage) {
    return (IsLeadByte(codePage, static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2
                                                                                              : 1;
}

// Where the folder part ends: just past the drive, or just past the last separator.
std::size_t EndOfFolderPart(std::string_view path, unsigned codePage) {
    const std::size_t drive = (path.size() >= 2 && path[1] == ':') ? 2 : 0;
    std::size_t end = drive;
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t length = CharacterLength(path, i, codePage);
        if (length == 1 && IsSeparator(path[i]) && i >= drive) end = i + 1;
        i += length;
    }
    return end;
}

}  // namespace

bool IsLeadByte(unsigned codePage, unsigned char byte) {
    switch (codePage) {
        case 932:  // Shift-JIS
            return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        case 936:  // GBK
        case 949:  // Unified Hangul
        case 950:  // Big5
            return byte >= 0x81 && byte <= 0xFE;
        case 1361:  // Johab
            return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xDE) ||
                   (byte >= 0xE0 && byte <= 0xF9);
        default:
            return false;
    }
}

bool EndsInBackslash(std::string_view path, unsigned codePage) {
    bool backslash = false;
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t length = CharacterLength(path, i, codePage);
        backslash = length == 1 && path[i] == '\\';
        i += length;
    }
    return backslash;
}

std::string FolderOfPath(std::string_view path, unsigned codePage) {
    return std::string(path.substr(0, EndOfFolderPart(path, codePage)));
}

std::string FileNameOfPath(std::string_view path, unsigned codePage) {
    return std::string(path.substr(EndOfFolderPart(path, codePage)));
}

std::string JoinPath(std::string_view folder, std::string_view name, unsigned codePage) {
    std::string joined(folder);
    if (!joined.empty() && !EndsInBackslash(joined, codePage)) joined += '\\';
    joined += name;
    return joined;
}

std::string WithoutTrailingBackslash(std::string_view path, unsigned codePage) {
    if (EndsInBackslash(path, codePage)) path.remove_suffix(1);
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

std::string InstalledProgramPath(std::string_view folder, std::string_view productName,
                                 unsigned codePage) {
    std::string target(folder);
    if (!EndsInBackslash(target, codePage)) target += '\\';
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
