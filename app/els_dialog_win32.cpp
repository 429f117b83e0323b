#include "app/els_dialog_win32.h"

#include <commctrl.h>

#include <utility>

#include "app/html_result_output.h"
#include "app/instance_handshake_win32.h"
#include "app/result_commands_win32.h"
#include "app/result_paths.h"
#include "frontend/messages.h"
#include "platform/file.h"
#include "platform/shell.h"
#include "platform/wide_text_win32.h"
#include "res/resource.h"
#include "winui/message_box_win32.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

SearchRunOptions ProgramRunOptions() {
    SearchRunOptions options;
    options.makeWriter = HtmlResultWriterFactory();
    options.pathEquals = SystemPathEquals;
    return options;
}

HICON LoadAppIcon(int size) {
    return static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR));
}

}  // namespace

CElsDialog::CElsDialog()
    : CDialogWin32(IDD_STRANDIX_DIALOG),
      icon_(LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      smallIcon_(LoadAppIcon(GetSystemMetrics(SM_CXSMICON))),
      run_(*this, store_, ProgramRunOptions()) {}

// The big icon is shared (LoadIcon); the small one was loaded at its own size and is ours.
CElsDialog::~CElsDialog() = default;

void CElsDialog::SetSmallIcon(int size) {
    CUniqueIcon icon(LoadAppIcon(size));
    if (!icon) return;  // keep the one it has
    SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.get()));
    smallIcon_ = std::move(icon);  // the one the window held until now is destroyed here
}

BOOL CElsDialog::OnInitDialog() {
    ShowDialogFields(*this, run_.Fields());
    SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(Window(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(smallIcon_ ? smallIcon_.get() : icon_));
    run_.InitialiseDialog();
    return TRUE;  // focus on the first tab stop: the document box
}

void CElsDialog::OnCommand(int id, int notifyCode, HWND control) {
    switch (id) {
        case IDC_FIND:
            run_.OnFind();
            break;
        case IDC_BROWSE:
            OnBrowse();
            break;
        case IDC_VIEW_RESULTS:
            OnViewResults();
            break;
        case IDC_SAVE_RESULTS:
            OnSaveResults();
            break;
        default:
            CDialogWin32::OnCommand(id, notifyCode, control);
    }
}

// There is no OK button; Enter goes to the default button, Find.
void CElsDialog::OnOK() {}

void CElsDialog::OnCancel() {
    run_.OnCancel();
}

bool CElsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_PAINT && IsIconic(Window())) {
        OnPaint();
        result = 0;
        return true;
    }
    if (message == WM_DPICHANGED) {
        // The caption's icon at the new monitor's scale; the system lays out the rest.
        SetSmallIcon(MulDiv(16, HIWORD(wParam), 96));
        return false;
    }
    if (message == WM_QUERYDRAGICON) {
        result = reinterpret_cast<LRESULT>(OnQueryDragIcon());
        return true;
    }
    if (message == AreYouStrandixMessage()) {
        result = OnAreYou(wParam, lParam);
        return true;
    }
    if (message == CloseStrandixMessage()) {
        result = run_.OnCloseRequest(wParam, lParam);
        return true;
    }
    return CDialogWin32::OnMessage(message, wParam, lParam, result);
}

void CElsDialog::DestroyWindow() {
    run_.OnDestroyWindow();  // the results page never outlives the window
    CDialogWin32::DestroyWindow();
}

// A failed handler may have run nested in a search: stop it, quietly, before telling the user.
void CElsDialog::OnUnexpectedException(const std::exception_ptr& error) {
    run_.StopAndEnd();
    CDialogWin32::OnUnexpectedException(error);
}

// Minimised on a system that draws minimised windows through the window itself: the icon,
// centred in the client area.
void CElsDialog::OnPaint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(Window(), &paint);
    SendMessageA(Window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Window(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(Window(), &paint);
}

void CElsDialog::OnBrowse() {
    const std::optional<std::string> chosen = ChooseDocumentFile(Window(), GetDocumentText());
    if (chosen) run_.AddRecentDocument(*chosen);
}

void CElsDialog::OnViewResults() {
    const std::optional<std::string> message = ViewResults(
        run_.GetResultsPath(), run_.GetTemporaryResultsPath(), OpenWithShell, SystemPathEquals);
    if (message) ShowMessage(*message, MessageButtons::Ok);
}

void CElsDialog::OnSaveResults() {
    std::string resultsPath = run_.GetResultsPath();
    const std::optional<std::string> message = SaveResults(
        resultsPath, run_.GetTemporaryResultsPath(), GetDocumentText(),
        [this](const std::string& suggestion) { return ChooseResultsFile(Window(), suggestion); },
        [](const std::string& from, const std::string& to) {
            SystemErrorCode ignored = 0;  // the program's message names no reason
            return CopyFileReplacing(from, to, ignored);
        },
        SystemPathEquals);
    run_.SetResultsPath(resultsPath);
    if (message) ShowMessage(*message, MessageButtons::Ok);
}

std::string CElsDialog::GetDocumentText() {
    return ItemTextUtf8(IDC_DOCUMENT_PATH);
}

void CElsDialog::ShowRecentDocuments(const std::vector<std::string>& entries) {
    const HWND combo = Item(IDC_DOCUMENT_PATH);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : entries) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WidenUtf8(entry).c_str()));
    }
    if (!entries.empty()) SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

std::string CElsDialog::GetKeywordText() {
    return ItemTextUtf8(IDC_KEYWORDS);
}

void CElsDialog::FocusDocument() {
    SetFocus(Item(IDC_DOCUMENT_PATH));
}

void CElsDialog::FocusKeywords() {
    SetFocus(Item(IDC_KEYWORDS));
}

std::string CElsDialog::GetNumberText(NumberField field) {
    return ItemTextUtf8(static_cast<int>(field));
}

void CElsDialog::SetNumberText(NumberField field, const std::string& text) {
    SetItemTextUtf8(static_cast<int>(field), text);
}

int CElsDialog::GetCheck(CheckField field) {
    return static_cast<int>(SendMessageA(Item(static_cast<int>(field)), BM_GETCHECK, 0, 0));
}

void CElsDialog::SetCheck(CheckField field, int state) {
    SendMessageA(Item(static_cast<int>(field)), BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void CElsDialog::FocusAndSelectAll(NumberField field) {
    const HWND edit = Item(static_cast<int>(field));
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

std::string CElsDialog::GetFindCaption() {
    return ItemTextUtf8(IDC_FIND);
}

void CElsDialog::SetFindCaption(const std::string& caption) {
    SetItemTextUtf8(IDC_FIND, caption);
}

void CElsDialog::SetStatusText(const std::string& text) {
    SetItemTextUtf8(IDC_STATUS, text);
}

void CElsDialog::SetProgressRange(std::int32_t total) {
    SendMessageA(Item(IDC_PROGRESS), PBM_SETRANGE32, 0, total);
}

void CElsDialog::SetProgressPosition(std::int32_t position) {
    SendMessageA(Item(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void CElsDialog::EnableSaveResults(bool enabled) {
    EnableWindow(Item(IDC_SAVE_RESULTS), enabled);
}

void CElsDialog::EnableViewResults(bool enabled) {
    EnableWindow(Item(IDC_VIEW_RESULTS), enabled);
}

MessageAnswer CElsDialog::ShowMessage(const std::string& text, MessageButtons buttons) {
    return ShowUtf8MessageBox(Window(), text, buttons);
}

void CElsDialog::ShowOutOfMemory() {
    ShowMessageBox(Window(), kOutOfMemoryMessage, MessageButtons::Ok, MB_SYSTEMMODAL);
}

void CElsDialog::PumpMessages() {
    CDialogWin32::PumpMessages();
}

void CElsDialog::EndDialogCancel() {
    EndDialog(IDCANCEL);
}
