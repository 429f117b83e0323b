#include "app/result_commands_win32.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>

#include "app/result_paths.h"

namespace {

// Path buffers of the file dialogs hold MAX_PATH characters.
struct FileNameBuffer {
    char text[MAX_PATH] = {};
    explicit FileNameBuffer(const std::string& initial) {
        lstrcpynA(text, initial.c_str(), MAX_PATH);
    }
};

// Runs a file dialog. When the system rejects the initial name itself (a document box holding
// text that is no valid file name), the dialog is shown again with an empty name instead of
// not at all.
std::optional<std::string> RunFileDialog(OPENFILENAMEA& dialog, FileNameBuffer& buffer,
                                         BOOL(APIENTRY* show)(LPOPENFILENAMEA)) {
    if (show(&dialog)) return std::string(buffer.text);
    if (CommDlgExtendedError() != FNERR_INVALIDFILENAME) return std::nullopt;
    buffer.text[0] = '\0';
    if (show(&dialog)) return std::string(buffer.text);
    return std::nullopt;
}

}  // namespace

bool SystemPathEquals(std::string_view a, std::string_view b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool OpenWithShell(const std::string& path) {
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::optional<std::string> ChooseResultsFile(HWND owner, const std::string& suggestion) {
    const std::string filter = FileDialogFilter(kSaveResultsFilter);
    FileNameBuffer buffer(suggestion);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.text;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = kSaveResultsTitle;
    dialog.lpstrDefExt = kSaveResultsDefaultExtension;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    return RunFileDialog(dialog, buffer, GetSaveFileNameA);
}

std::optional<std::string> ChooseDocumentFile(HWND owner, const std::string& initialName) {
    const std::string filter = FileDialogFilter(kBrowseFilter);
    FileNameBuffer buffer(initialName);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.text;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = kBrowseTitle;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return RunFileDialog(dialog, buffer, GetOpenFileNameA);
}

bool CopyReplacing(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}
