// The setup dialog: the folder to install into, Install (or Upgrade) and Cancel. Built from the
// program's dialog template IDD_SETUP_DIALOG.
#pragma once

#include <windows.h>

#include "setup/installer.h"
#include "winui/dialog_win32.h"

class CSetupDialog : public CDialogWin32 {
  public:
    explicit CSetupDialog(CInstaller& installer);

    // Runs the dialog modally, without a parent; IDOK after a completed installation, IDCANCEL
    // when the user gave up, -1 when the window could not be made. While it runs, the dialog
    // owns setup's message boxes.
    INT_PTR DoModal();

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

  private:
    CInstaller* installer_;
};
