#include "app/instance_handshake_win32.h"

UINT AreYouStrandixMessage() {
    static const UINT message = RegisterWindowMessageA("AreYouStrandix");
    return message;
}

UINT CloseStrandixMessage() {
    static const UINT message = RegisterWindowMessageA("CloseStrandix");
    return message;
}

namespace {

// Both numbers are obtained during static initialisation, before the start-up code runs.
[[maybe_unused]] const UINT g_areYouAtStart = AreYouStrandixMessage();
[[maybe_unused]] const UINT g_closeAtStart = CloseStrandixMessage();

}  // namespace

BOOL CALLBACK FindInstanceProc(HWND window, LPARAM result) {
    DWORD_PTR answer = 0;
    // A window that is hung, slow or foreign either fails the send or answers something else.
    const LRESULT sent =
        SendMessageTimeoutA(window, AreYouStrandixMessage(), kAreYouRequest, 0,
                            SMTO_BLOCK | SMTO_ABORTIFHUNG, kAreYouTimeoutMs, &answer);
    if (sent != 0 && static_cast<LRESULT>(answer) == kAreYouAnswer) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindRunningInstance() {
    HWND result = nullptr;
    EnumWindows(FindInstanceProc, reinterpret_cast<LPARAM>(&result));
    return result;
}

LRESULT OnAreYou(WPARAM first, LPARAM /*second*/) {
    return first == kAreYouRequest ? kAreYouAnswer : 0;
}
