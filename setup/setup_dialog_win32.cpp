#include "setup/setup_dialog_win32.h"

#include <string>

#include "res/resource.h"
#include "setup/setup_system_win32.h"
#include "winui/window_win32.h"

CSetupDialog::CSetupDialog(CInstaller& installer)
    : CDialogWin32(IDD_SETUP_DIALOG), installer_(&installer) {}

INT_PTR CSetupDialog::DoModal() {
    const INT_PTR result = CDialogWin32::DoModal(nullptr);
    // The window is gone: later messages of the run have no owner.
    SetSetupMessageOwner(nullptr);
    return result;
}

BOOL CSetupDialog::OnInitDialog() {
    // The dialog is the main window of a setup run: it owns the messages shown during it.
    SetSetupMessageOwner(Window());
    const HICON icon = LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    if (icon != nullptr) {
        SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }

    const SetupDialogStart start = installer_->StartOfSetupDialog();
    SetDlgItemTextA(Window(), IDC_INSTALL_FOLDER, start.folder.c_str());
    if (start.upgrade) {
        // An upgrade goes where the installed copy is.
        SetDlgItemTextA(Window(), IDOK, "&Upgrade");
        SendDlgItemMessageA(Window(), IDC_INSTALL_FOLDER, EM_SETREADONLY, TRUE, 0);
    }
    return TRUE;
}

void CSetupDialog::OnOK() {
    // On failure the user has been told, and the dialog stays for another try.
    if (installer_->Install(ItemText(IDC_INSTALL_FOLDER))) EndDialog(IDOK);
}
