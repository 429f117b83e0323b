// The tool's arguments and console text in UTF-8 on every system.
#pragma once

#include <string>
#include <vector>

// The arguments after the program's name, in UTF-8. On Windows they are taken from the wide
// command line, so that Hebrew or Greek typed in a console never passes through the ANSI code
// page (which would turn it into question marks); elsewhere they are argv as given.
std::vector<std::string> ToolArguments(int argc, char** argv);

// A UTF-8 path in the form the platform's file calls take: the same bytes (on Windows those calls
// take UTF-8 too). False when, on Windows, the bytes are not UTF-8 and so name no file.
bool ToSystemPath(const std::string& utf8Path, std::string& systemPath);

// While it lives, the console shows the tool's UTF-8 output as UTF-8 (Windows consoles otherwise
// read it in the OEM code page); the console's own setting comes back afterwards.
class CUtf8Console {
  public:
    CUtf8Console();
    ~CUtf8Console();
    CUtf8Console(const CUtf8Console&) = delete;  // restores the setting once
    CUtf8Console& operator=(const CUtf8Console&) = delete;

  private:
    unsigned int previous_ = 0;
};
