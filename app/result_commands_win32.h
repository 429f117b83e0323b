// The system's side of View Results, Save Results and Browse: the shell, the common file
// dialogs, the file copy and the path comparison.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// Case-insensitive path comparison in the system's ANSI code page (multibyte characters kept
// whole).
bool SystemPathEquals(std::string_view a, std::string_view b);

// The shell's "open" on `path` (no parameters, no folder, shown, no owner). True when the shell
// reports success (a result above 32).
bool OpenWithShell(const std::string& path);

// The Save As dialog of Save Results, owned by `owner`, starting with `suggestion`. The chosen
// path, or nothing when the user cancels.
std::optional<std::string> ChooseResultsFile(HWND owner, const std::string& suggestion);

// The open-file dialog of Browse, starting with `initialName`. The chosen path, or nothing.
std::optional<std::string> ChooseDocumentFile(HWND owner, const std::string& initialName);

// Copies `from` to `to`, replacing a file that exists there.
bool CopyReplacing(const std::string& from, const std::string& to);
