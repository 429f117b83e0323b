// A dialog window built from a dialog template, a Unicode window (so its fields hold the letters
// of every script), run modally in a message loop of our own so
// that every queued message can be offered to the dialog first (keyboard handling, splash
// input). One trampoline serves every kind of dialog: it keeps `this` in the window from
// WM_INITDIALOG on and forgets it on WM_NCDESTROY.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

class CDialogWin32 {
  public:
    explicit CDialogWin32(int templateId);
    virtual ~CDialogWin32();
    CDialogWin32(const CDialogWin32&) = delete;  // the window points back at this object
    CDialogWin32& operator=(const CDialogWin32&) = delete;

    // Creates the window from the template, shows it and runs its loop until EndDialog; the
    // window is destroyed (DestroyWindow) before this returns. Answers the end code, or -1 when
    // the window could not be created. An owner window is disabled while the dialog runs.
    INT_PTR DoModal(HWND owner = nullptr);

    // Ends the modal loop with `result` once the current message has been handled. As with the
    // system's dialogs, the window disappears (and its owner is enabled again) at once, even
    // when the handler that asked still has work to unwind, such as a search.
    void EndDialog(INT_PTR result);
    bool IsEnding() const { return ended_; }

    HWND Window() const { return window_; }
    HWND Item(int id) const { return GetDlgItem(window_, id); }
    // A control's text in the system's ANSI code page, and in UTF-8 (every script's letters).
    std::string ItemText(int id) const;
    std::string ItemTextUtf8(int id) const;
    void SetItemTextUtf8(int id, const std::string& text) const;

    // Offers a message taken from the queue to the innermost running dialog (its
    // PreTranslateMessage). True: the message was used and must not be dispatched.
    static bool PreTranslateAppMessage(MSG& message);

    // Takes and dispatches every message pending for this thread, each first offered to
    // PreTranslateAppMessage; returns as soon as the queue is empty. A quit request met here is
    // kept back, so that it does not hide input and painting from every later pump; the modal
    // loop posts it again once the handler that pumps has returned.
    static void PumpMessages();

  protected:
    // WM_INITDIALOG. TRUE lets the system put the focus on the first tab stop. A dialog that
    // does not move its window is centred afterwards.
    virtual BOOL OnInitDialog() { return TRUE; }

    // WM_COMMAND. The defaults end the dialog for IDOK and IDCANCEL.
    virtual void OnCommand(int id, int notifyCode, HWND control);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // Any other message. Answer true when handled, with `result` as the message's result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // A queued message before it is dispatched: the default does the dialog keyboard handling
    // (Tab, Enter, Escape, mnemonics). True: consumed.
    virtual bool PreTranslateMessage(MSG& message);

    // Destroys the window at the end of the modal run.
    virtual void DestroyWindow();

    // An exception left a message handler. No exception may cross the window procedure, so the
    // trampoline catches it and calls this. The default tells the user ("Out of memory." for
    // std::bad_alloc, a general sentence otherwise) and ends the dialog with IDABORT. Must not
    // throw.
    virtual void OnUnexpectedException(const std::exception_ptr& error);

  private:
    void ReleaseOwner();
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND window_ = nullptr;
    bool ended_ = false;
    INT_PTR result_ = IDCANCEL;
    HWND owner_ = nullptr;
    bool ownerDisabled_ = false;
    CDialogWin32* outer_ = nullptr;  // the dialog that was running when this one started
};

// The text the default OnUnexpectedException shows for anything but a lack of memory (for that
// it shows kOutOfMemoryMessage).
inline constexpr char kDialogUnexpectedErrorText[] =
    "An unexpected error occurred.  The window will close.";

// Whether `error` holds a std::bad_alloc (or a type derived from it).
bool IsOutOfMemory(const std::exception_ptr& error);

// The module the resources come from: the running program.
HINSTANCE AppInstance();
