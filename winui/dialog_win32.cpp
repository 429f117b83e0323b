#include "winui/dialog_win32.h"

#include "winui/window_win32.h"

namespace {

// The innermost dialog whose modal loop is running on this (the only) thread.
CDialogWin32* g_runningDialog = nullptr;

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

}  // namespace

HINSTANCE AppInstance() {
    return GetModuleHandleA(nullptr);
}

CDialogWin32::CDialogWin32(int templateId) : templateId_(templateId) {}

CDialogWin32::~CDialogWin32() {
    // A dialog object never outlives its window; this only matters on abnormal paths.
    if (window_) {
        SetWindowLongPtrA(window_, DWLP_USER, 0);
        ::DestroyWindow(window_);
    }
}

INT_PTR CDialogWin32::DoModal(HWND owner) {
    ended_ = false;
    result_ = IDCANCEL;
    outer_ = g_runningDialog;
    g_runningDialog = this;

    const HWND window = CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(templateId_), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    if (!window) {
        g_runningDialog = outer_;
        return -1;
    }
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);

    if (!ended_) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    MSG message;
    while (!ended_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit request for the loop that owns it.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) break;
        if (!PreTranslateAppMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    if (disableOwner) EnableWindow(owner, TRUE);
    if (window_) {
        ShowWindow(window_, SW_HIDE);
        DestroyWindow();
    }
    if (owner) SetActiveWindow(owner);
    g_runningDialog = outer_;
    return result_;
}

std::string CDialogWin32::ItemText(int id) const {
    return WindowText(Item(id));
}

void CDialogWin32::EndDialog(INT_PTR result) {
    result_ = result;
    ended_ = true;
    // Wake GetMessage in case the end was asked for from outside a dispatched message.
    if (window_) PostMessageA(window_, WM_NULL, 0, 0);
}

bool CDialogWin32::PreTranslateAppMessage(MSG& message) {
    return g_runningDialog && g_runningDialog->PreTranslateMessage(message);
}

void CDialogWin32::PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!PreTranslateAppMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void CDialogWin32::OnCommand(int id, int notifyCode, HWND control) {
    (void)notifyCode;
    (void)control;
    if (id == IDOK) {
        OnOK();
    } else if (id == IDCANCEL) {
        OnCancel();
    }
}

bool CDialogWin32::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    (void)message;
    (void)wParam;
    (void)lParam;
    (void)result;
    return false;
}

bool CDialogWin32::PreTranslateMessage(MSG& message) {
    return window_ && IsDialogMessageA(window_, &message);
}

void CDialogWin32::DestroyWindow() {
    if (window_) ::DestroyWindow(window_);
}

INT_PTR CALLBACK CDialogWin32::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialogWin32* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogWin32*>(lParam);
        self->window_ = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<CDialogWin32*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!self) return FALSE;
    const INT_PTR handled = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return handled;
}

INT_PTR CDialogWin32::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        RECT before;
        GetWindowRect(window_, &before);
        const BOOL focusDefault = OnInitDialog();
        RECT after;
        GetWindowRect(window_, &after);
        if (window_ && before.left == after.left && before.top == after.top) {
            CentreOnScreen(window_);
        }
        return focusDefault;
    }
    if (message == WM_COMMAND) {
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    }
    LRESULT result = 0;
    if (!OnMessage(message, wParam, lParam, result)) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
    return TRUE;
}
