#include <windows.h>

#include <shellapi.h>

#include "cli/command_line.h"

namespace {

std::string ToUtf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
    utf8.pop_back();  // the terminating zero
    return utf8;
}

class CArgumentList {
  public:
    CArgumentList() : arguments_(CommandLineToArgvW(GetCommandLineW(), &count_)) {}
    ~CArgumentList() {
        if (arguments_) LocalFree(arguments_);
    }
    CArgumentList(const CArgumentList&) = delete;  // one owner frees the list
    CArgumentList& operator=(const CArgumentList&) = delete;

    wchar_t** Arguments() const { return arguments_; }
    int Count() const { return count_; }

  private:
    int count_ = 0;
    wchar_t** arguments_;
};

}  // namespace

std::vector<std::string> ToolArguments(int argc, char** argv) {
    const CArgumentList wide;
    if (!wide.Arguments()) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < wide.Count(); ++i)
        arguments.push_back(ToUtf8(wide.Arguments()[i]));
    return arguments;
}

// The platform's calls take UTF-8 paths and open them by their UTF-16 form: only bytes that
// are not UTF-8 have no name.
bool ToSystemPath(const std::string& utf8Path, std::string& systemPath) {
    systemPath.clear();
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path.c_str(), -1, nullptr, 0) <= 0)
        return false;
    systemPath = utf8Path;
    return true;
}

CUtf8Console::CUtf8Console() : previous_(GetConsoleOutputCP()) {
    if (previous_ != 0) SetConsoleOutputCP(CP_UTF8);
}

CUtf8Console::~CUtf8Console() {
    if (previous_ != 0) SetConsoleOutputCP(previous_);
}
