#include "setup/setup_dialog_win32.h"

#include <string>
#include <vector>

#include "setup/setup_system_win32.h"

namespace {

// Dialog template 120 in memory, for a program that does not carry it among its resources: the
// same controls, ids, texts and dialog units.
class CTemplateWriter {
  public:
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

    void Header(DWORD style, WORD items, short cx, short cy, const wchar_t* caption) {
        Dword(style);
        Dword(0);  // extended style
        words_.push_back(items);
        Short(0);
        Short(0);
        Short(cx);
        Short(cy);
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        Text(caption);
        words_.push_back(8);  // DS_SETFONT: point size and face
        Text(L"MS Sans Serif");
    }

    // `atom`: 0x0080 button, 0x0081 edit, 0x0082 static. A text of null means a resource
    // ordinal `ordinal` (the icon of an icon static).
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
              const wchar_t* text, WORD ordinal = 0) {
        if (words_.size() % 2 != 0) words_.push_back(0);  // items start on a DWORD boundary
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Short(x);
        Short(y);
        Short(cx);
        Short(cy);
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(atom);
        if (text != nullptr) {
            Text(text);
        } else {
            words_.push_back(0xFFFF);
            words_.push_back(ordinal);
        }
        words_.push_back(0);  // no creation data
    }

  private:
    void Dword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void Short(short value) { words_.push_back(static_cast<WORD>(value)); }
    void Text(const wchar_t* text) {
        for (; *text != 0; ++text)
            words_.push_back(static_cast<WORD>(*text));
        words_.push_back(0);
    }

    // DWORD-aligned storage: the system reads the header and items as DWORDs.
    std::vector<WORD> words_;
};

void WriteSetupTemplate(CTemplateWriter& writer) {
    constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;
    writer.Header(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 5, 232, 62,
                  L"Strandix! Setup");
    writer.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 175, 41, 50, 14, IDOK, kButton, L"&Install");
    writer.Item(SS_ICON, 7, 11, 21, 20, 0xFFFF, kStatic, nullptr, CSetupDialog::kIconId);
    writer.Item(SS_LEFT | WS_GROUP, 33, 7, 192, 8, 0xFFFF, kStatic,
                L"Strandix! will be installed in the following folder:");
    writer.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 33, 18, 192, 14,
                CSetupDialog::kFolderField, kEdit, L"");
    writer.Item(BS_PUSHBUTTON | WS_TABSTOP, 120, 41, 50, 14, IDCANCEL, kButton, L"Cancel");
}

void CentreOnScreen(HWND window) {
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT own = {};
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

INT_PTR CSetupDialog::DoModal() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    if (FindResourceA(instance, MAKEINTRESOURCEA(kTemplateId), MAKEINTRESOURCEA(5)) != nullptr) {
        return DialogBoxParamA(instance, MAKEINTRESOURCEA(kTemplateId), nullptr, DialogProc, self);
    }
    CTemplateWriter writer;
    WriteSetupTemplate(writer);
    return DialogBoxIndirectParamA(instance, writer.Get(), nullptr, DialogProc, self);
}

INT_PTR CALLBACK CSetupDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CSetupDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->window_ = window;
        return dialog->OnInitDialog();
    }
    auto* dialog = reinterpret_cast<CSetupDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) return FALSE;
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                dialog->OnOK();
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(window, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        case WM_NCDESTROY:
            SetSetupMessageOwner(nullptr);
            SetWindowLongPtrA(window, DWLP_USER, 0);
            dialog->window_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL CSetupDialog::OnInitDialog() {
    // The dialog is the main window of a setup run: it owns the messages shown during it.
    SetSetupMessageOwner(window_);
    const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconId));
    if (icon != nullptr) {
        SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }

    const SetupDialogStart start = installer_->StartOfSetupDialog();
    SetDlgItemTextA(window_, kFolderField, start.folder.c_str());
    if (start.upgrade) {
        // An upgrade goes where the installed copy is.
        SetDlgItemTextA(window_, IDOK, "&Upgrade");
        SendDlgItemMessageA(window_, kFolderField, EM_SETREADONLY, TRUE, 0);
    }
    CentreOnScreen(window_);
    return TRUE;
}

void CSetupDialog::OnOK() {
    const HWND field = GetDlgItem(window_, kFolderField);
    std::string folder(static_cast<std::size_t>(GetWindowTextLengthA(field)) + 1, '\0');
    folder.resize(static_cast<std::size_t>(
        GetWindowTextA(field, folder.data(), static_cast<int>(folder.size()))));
    // On failure the user has been told, and the dialog stays for another try.
    if (installer_->Install(folder)) EndDialog(window_, IDOK);
}
