// Handing a file to the desktop, and where the running program lives.
#pragma once

#include <string>
#include <string_view>

// Paths are UTF-8 on every platform (POSIX file names are bytes: whatever they are).

// Opens `path` with the desktop's default application: the shell's "open" on Windows (no
// parameters, no folder, shown, no owner; success is a result above 32), xdg-open elsewhere
// (success is its exit status 0; its own output is discarded).
bool OpenWithShell(const std::string& path);

// The full path of the running executable; empty when the system cannot say. On Windows the
// path is cut at MAX_PATH characters and in the system's ANSI code page, as the system's ANSI
// call gives it.
std::string ModulePath();

// Whether two paths name the same file by their spelling. Windows compares them ignoring letter
// case, the letters of every script included; POSIX file names are case-sensitive, so they must
// match byte for byte.
bool SystemPathEquals(std::string_view a, std::string_view b);
