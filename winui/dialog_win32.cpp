#include "winui/dialog_win32.h"

#include <new>

#include "frontend/messages.h"
#include "winui/message_box_win32.h"
#include "winui/window_win32.h"

namespace {

// The innermost dialog whose modal loop is running on this (the only) thread.
CDialogWin32* g_runningDialog = nullptr;

// A quit request PumpMessages took from the queue, waiting to be posted again once no handler
// pumps any more; and how many pumps are running (handlers may nest).
bool g_quitPending = false;
int g_quitCode = 0;
int g_pumpDepth = 0;

void PostPendingQuit() {
    if (g_quitPending && g_pumpDepth == 0) {
        g_quitPending = false;
        PostQuitMessage(g_quitCode);
    }
}

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
        SetWindowLongPtrW(window_, DWLP_USER, 0);
        ::DestroyWindow(window_);
    }
}

INT_PTR CDialogWin32::DoModal(HWND owner) {
    ended_ = false;
    result_ = IDCANCEL;
    outer_ = g_runningDialog;
    g_runningDialog = this;

    const HWND window = CreateDialogParamW(AppInstance(), MAKEINTRESOURCEW(templateId_), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    if (!window) {
        g_runningDialog = outer_;
        return -1;
    }
    owner_ = owner;
    ownerDisabled_ = owner && IsWindowEnabled(owner);
    if (ownerDisabled_) EnableWindow(owner, FALSE);

    if (!ended_) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    MSG message;
    while (!ended_) {
        PostPendingQuit();
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit request for the loop that owns it.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) break;
        if (!PreTranslateAppMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    PostPendingQuit();

    ReleaseOwner();
    if (window_) {
        ShowWindow(window_, SW_HIDE);
        DestroyWindow();
    }
    if (owner) SetActiveWindow(owner);
    owner_ = nullptr;
    g_runningDialog = outer_;
    return result_;
}

void CDialogWin32::ReleaseOwner() {
    if (ownerDisabled_) EnableWindow(owner_, TRUE);
    ownerDisabled_ = false;
}

std::string CDialogWin32::ItemText(int id) const {
    return WindowText(Item(id));
}

std::string CDialogWin32::ItemTextUtf8(int id) const {
    return WindowTextUtf8(Item(id));
}

void CDialogWin32::SetItemTextUtf8(int id, const std::string& text) const {
    SetWindowTextUtf8(Item(id), text);
}

void CDialogWin32::EndDialog(INT_PTR result) {
    result_ = result;
    ended_ = true;
    if (!window_) return;
    // The owner first, so that activation passes to it rather than to another program.
    ReleaseOwner();
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Wake GetMessage in case the end was asked for from outside a dispatched message.
    PostMessageW(window_, WM_NULL, 0, 0);
}

bool CDialogWin32::PreTranslateAppMessage(MSG& message) {
    return g_runningDialog && g_runningDialog->PreTranslateMessage(message);
}

void CDialogWin32::PumpMessages() {
    // Posted again at once, a quit request would be the first message every later pump takes,
    // ahead of all input and painting, for as long as the caller keeps pumping.
    ++g_pumpDepth;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            if (!g_quitPending) g_quitCode = static_cast<int>(message.wParam);
            g_quitPending = true;
            continue;
        }
        if (!PreTranslateAppMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    --g_pumpDepth;
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
    return window_ && IsDialogMessageW(window_, &message);
}

void CDialogWin32::DestroyWindow() {
    if (window_) ::DestroyWindow(window_);
}

void CDialogWin32::OnUnexpectedException(const std::exception_ptr& error) {
    const bool outOfMemory = IsOutOfMemory(error);
    // Ended first: nothing more can be pressed in the window while the message is open.
    EndDialog(IDABORT);
    try {
        ShowMessageBox(window_, outOfMemory ? kOutOfMemoryMessage : kDialogUnexpectedErrorText,
                       MessageButtons::Ok, outOfMemory ? MB_SYSTEMMODAL : 0u);
    } catch (...) {
        // Not even the message could be shown; the dialog still ends.
    }
}

bool IsOutOfMemory(const std::exception_ptr& error) {
    if (!error) return false;
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return true;
    } catch (...) {
        return false;
    }
}

INT_PTR CALLBACK CDialogWin32::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialogWin32* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogWin32*>(lParam);
        self->window_ = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<CDialogWin32*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!self) return FALSE;
    INT_PTR handled = FALSE;
    try {
        handled = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Unwinding through the system's code that called us is undefined; stop here.
        try {
            self->OnUnexpectedException(std::current_exception());
        } catch (...) {
            self->EndDialog(IDABORT);
        }
        handled = TRUE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
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
    SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
    return TRUE;
}
