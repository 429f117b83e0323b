#include <windows.h>

#include <shellapi.h>

#include "platform/shell.h"

namespace {

std::wstring Widen(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

bool OpenWithShell(const std::string& path) {
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string ModulePath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

// Both paths are read in the system's ANSI code page, so a double-byte character stays whole,
// and compared letter by letter ignoring case only: no linguistic rules, which would let
// ignorable characters such as a soft hyphen make two different paths equal.
bool SystemPathEquals(std::string_view a, std::string_view b) {
    const std::wstring wideA = Widen(a);
    const std::wstring wideB = Widen(b);
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}
