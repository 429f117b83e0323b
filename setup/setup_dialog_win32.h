// The setup dialog: the folder to install into, Install (or Upgrade) and Cancel. Built from the
// program's dialog template 120; a program without that template gets the same layout built in
// memory.
#pragma once

#include <windows.h>

#include "setup/installer.h"

class CSetupDialog {
  public:
    // Control ids of the template.
    static constexpr int kTemplateId = 120;
    static constexpr int kFolderField = 1014;
    static constexpr int kIconId = 128;

    explicit CSetupDialog(CInstaller& installer) : installer_(&installer) {}
    CSetupDialog(const CSetupDialog&) = delete;  // the window points back at this object
    CSetupDialog& operator=(const CSetupDialog&) = delete;

    // Runs the dialog modally, without a parent; IDOK after a completed installation, IDCANCEL
    // when the user gave up, -1 when the window could not be made. While it runs, the dialog
    // owns setup's message boxes.
    INT_PTR DoModal();

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    void OnOK();

    CInstaller* installer_;
    HWND window_ = nullptr;
};
