// The main window: the document, keywords and settings, Find and Close, progress and result
// count, View Results and Save Results. The dialog is the search run's view; the run decides,
// the dialog only reads and writes its controls. Every text it hands the run is UTF-8.
#pragma once

#include <windows.h>

#include "app/search_run.h"
#include "app/search_view.h"
#include "app/settings_registry_win32.h"
#include "winui/dialog_win32.h"
#include "winui/unique_icon_win32.h"

class CElsDialog : public CDialogWin32, private CSearchView {
  public:
    CElsDialog();
    ~CElsDialog() override;

  protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, int notifyCode, HWND control) override;
    void OnOK() override;
    void OnCancel() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DestroyWindow() override;
    void OnUnexpectedException(const std::exception_ptr& error) override;

  private:
    void OnPaint();
    void SetSmallIcon(int size);
    HICON OnQueryDragIcon() const { return icon_; }
    void OnBrowse();
    void OnViewResults();
    void OnSaveResults();

    // CSearchView
    std::string GetDocumentText() override;
    void ShowRecentDocuments(const std::vector<std::string>& entries) override;
    std::string GetKeywordText() override;
    void FocusDocument() override;
    void FocusKeywords() override;
    std::string GetNumberText(NumberField field) override;
    void SetNumberText(NumberField field, const std::string& text) override;
    int GetCheck(CheckField field) override;
    void SetCheck(CheckField field, int state) override;
    void FocusAndSelectAll(NumberField field) override;
    std::string GetFindCaption() override;
    void SetFindCaption(const std::string& caption) override;
    void SetStatusText(const std::string& text) override;
    void SetProgressRange(std::int32_t total) override;
    void SetProgressPosition(std::int32_t position) override;
    void EnableSaveResults(bool enabled) override;
    void EnableViewResults(bool enabled) override;
    MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) override;
    void ShowOutOfMemory() override;
    void PumpMessages() override;
    void EndDialogCancel() override;

    HICON icon_;
    CUniqueIcon smallIcon_;  // loaded at the small icon's size for the screen's DPI
    CRegistrySettingsStore store_;
    CSearchRun run_;
};
