#include "app/splash_dialog_win32.h"

#include "app/splash_timing.h"
#include "res/resource.h"
#include "winui/message_box_win32.h"

namespace {

// Arial at 14 points on the screen: the height in pixels, negative for the character height
// without internal leading.
HFONT CreateLineFont() {
    const HDC screen = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTA font = {};
    font.lfHeight = -(pixelsPerInch * 140 / 720);
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

// Key and system-key presses, and presses of the left, right and middle mouse buttons on the
// client and the non-client area.
bool IsPress(UINT message) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            return true;
        default:
            return false;
    }
}

}  // namespace

CSplashDialog::CSplashDialog()
    : CDialogWin32(IDD_SPLASH_DIALOG),
      whiteBrush_(CreateSolidBrush(RGB(255, 255, 255))),
      lineFont_(CreateLineFont()) {}

CSplashDialog::~CSplashDialog() {
    if (whiteBrush_) DeleteObject(whiteBrush_);
    if (lineFont_) DeleteObject(lineFont_);
}

BOOL CSplashDialog::OnInitDialog() {
    line_ = Item(IDC_SPLASH_LINE);
    // A tool window gets no taskbar button.
    const LONG_PTR exStyle = GetWindowLongPtrA(Window(), GWL_EXSTYLE);
    SetWindowLongPtrA(Window(), GWL_EXSTYLE, (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    SetWindowTextA(Window(), AppTitle().c_str());
    SendMessageA(line_, WM_SETFONT, reinterpret_cast<WPARAM>(lineFont_), TRUE);
    SetTimer(Window(), kSplashTimerId, kSplashTimerPeriodMs, nullptr);
    startTime_ = GetTickCount();
    return TRUE;
}

bool CSplashDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_TIMER) {
        if (wParam == kSplashTimerId &&
            SplashClosesOn(SplashEvent::TimerTick, startTime_, GetTickCount())) {
            KillTimer(Window(), kSplashTimerId);
            EndDialog(IDOK);
        }
        return false;  // the default handling still sees every tick
    }
    if (message == WM_CTLCOLORSTATIC) {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        const bool isLine = reinterpret_cast<HWND>(lParam) == line_;
        SetTextColor(dc, isLine ? RGB(255, 0, 0) : RGB(128, 128, 128));
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(whiteBrush_);
        return true;
    }
    return CDialogWin32::OnMessage(message, wParam, lParam, result);
}

bool CSplashDialog::PreTranslateMessage(MSG& message) {
    const bool forSplash =
        Window() && (message.hwnd == Window() || IsChild(Window(), message.hwnd));
    if (forSplash && IsPress(message.message)) {
        if (SplashClosesOn(SplashEvent::Press, startTime_, GetTickCount())) EndDialog(IDOK);
        return true;  // swallowed either way
    }
    return CDialogWin32::PreTranslateMessage(message);
}
