// The system's side of Save Results and Browse: the common file dialogs. (The shell's open, the
// file copy and the path comparison are the platform's: platform/shell.h, platform/file.h.)
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The Save As dialog of Save Results, owned by `owner`, starting with `suggestion`. The chosen
// path, or nothing when the user cancels.
std::optional<std::string> ChooseResultsFile(HWND owner, const std::string& suggestion);

// The open-file dialog of Browse, starting with `initialName`. The chosen path, or nothing.
std::optional<std::string> ChooseDocumentFile(HWND owner, const std::string& initialName);
