#include "app/result_commands_win32.h"

#include <cderr.h>
#include <commdlg.h>

#include "app/result_paths.h"
#include "platform/wide_text_win32.h"

namespace {

// What differs between the open and the save dialog.
struct FileDialogRequest {
    HWND owner;
    const char* filterSpec;  // pairs of description and pattern separated by "|"
    const char* title;
    const char* defaultExtension;  // null: none
    DWORD flags;
    BOOL(APIENTRY* show)(LPOPENFILENAMEW);
};

// Runs a file dialog with room for a MAX_PATH path; names are UTF-8 on both sides. When the system
// rejects the initial name itself (a document box holding text that is no valid file name), the
// dialog is shown again with an empty name instead of not at all.
std::optional<std::string> RunFileDialog(const FileDialogRequest& request,
                                         const std::string& initialName) {
    const std::wstring filter = WidenUtf8(FileDialogFilter(request.filterSpec));
    const std::wstring title = WidenUtf8(request.title);
    const std::wstring defaultExtension =
        request.defaultExtension ? WidenUtf8(request.defaultExtension) : std::wstring();
    wchar_t path[MAX_PATH] = {};
    lstrcpynW(path, WidenUtf8(initialName).c_str(), MAX_PATH);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = request.owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = request.defaultExtension ? defaultExtension.c_str() : nullptr;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | request.flags;
    if (request.show(&dialog)) return NarrowToUtf8(path);
    if (CommDlgExtendedError() != FNERR_INVALIDFILENAME) return std::nullopt;
    path[0] = L'\0';
    if (request.show(&dialog)) return NarrowToUtf8(path);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ChooseResultsFile(HWND owner, const std::string& suggestion) {
    return RunFileDialog({owner, kSaveResultsFilter, kSaveResultsTitle,
                          kSaveResultsDefaultExtension, OFN_OVERWRITEPROMPT, GetSaveFileNameW},
                         suggestion);
}

std::optional<std::string> ChooseDocumentFile(HWND owner, const std::string& initialName) {
    return RunFileDialog({owner, kBrowseFilter, kBrowseTitle, nullptr,
                          OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST, GetOpenFileNameW},
                         initialName);
}
