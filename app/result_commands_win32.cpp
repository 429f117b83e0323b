#include "app/result_commands_win32.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>

#include "app/result_paths.h"

namespace {

// What differs between the open and the save dialog.
struct FileDialogRequest {
    HWND owner;
    const char* filterSpec;  // pairs of description and pattern separated by "|"
    const char* title;
    const char* defaultExtension;  // null: none
    DWORD flags;
    BOOL(APIENTRY* show)(LPOPENFILENAMEA);
};

// Runs a file dialog with room for a MAX_PATH path. When the system rejects the initial name
// itself (a document box holding text that is no valid file name), the dialog is shown again
// with an empty name instead of not at all.
std::optional<std::string> RunFileDialog(const FileDialogRequest& request,
                                         const std::string& initialName) {
    const std::string filter = FileDialogFilter(request.filterSpec);
    char path[MAX_PATH] = {};
    lstrcpynA(path, initialName.c_str(), MAX_PATH);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = request.owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = request.title;
    dialog.lpstrDefExt = request.defaultExtension;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | request.flags;
    if (request.show(&dialog)) return std::string(path);
    if (CommDlgExtendedError() != FNERR_INVALIDFILENAME) return std::nullopt;
    path[0] = '\0';
    if (request.show(&dialog)) return std::string(path);
    return std::nullopt;
}

}  // namespace

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

// Both paths are read in the system's ANSI code page, so a double-byte character stays whole,
// and compared letter by letter ignoring case only: no linguistic rules, which would let
// ignorable characters such as a soft hyphen make two different paths equal.
bool SystemPathEquals(std::string_view a, std::string_view b) {
    const std::wstring wideA = Widen(a);
    const std::wstring wideB = Widen(b);
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

bool OpenWithShell(const std::string& path) {
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::optional<std::string> ChooseResultsFile(HWND owner, const std::string& suggestion) {
    return RunFileDialog({owner, kSaveResultsFilter, kSaveResultsTitle,
                          kSaveResultsDefaultExtension, OFN_OVERWRITEPROMPT, GetSaveFileNameA},
                         suggestion);
}

std::optional<std::string> ChooseDocumentFile(HWND owner, const std::string& initialName) {
    return RunFileDialog({owner, kBrowseFilter, kBrowseTitle, nullptr,
                          OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST, GetOpenFileNameA},
                         initialName);
}

bool CopyReplacing(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}
