#include <windows.h>

#include <shellapi.h>

#include "platform/shell.h"
#include "platform/wide_text_win32.h"

bool OpenWithShell(const std::string& path) {
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", WidenUtf8(path).c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string ModulePath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

// Both paths are read as UTF-8 and compared letter by letter ignoring case only: no linguistic
// rules, which would let ignorable characters such as a soft hyphen make two different paths equal.
bool SystemPathEquals(std::string_view a, std::string_view b) {
    const std::wstring wideA = WidenUtf8(a);
    const std::wstring wideB = WidenUtf8(b);
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}
