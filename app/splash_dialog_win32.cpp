#include "app/splash_dialog_win32.h"

#include "app/splash_timing.h"
#include "res/resource.h"
#include "winui/message_box_win32.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

// Sent to ourselves after a scale change, once the system has laid the dialog out anew.
constexpr UINT kFitPictureMessage = WM_APP + 1;

// Arial at 14 points: the height in pixels, negative for the character height without internal
// leading.
HFONT CreateLineFont(int pixelsPerInch) {
    LOGFONTA font = {};
    font.lfHeight = -(pixelsPerInch * 140 / 720);
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

int ScreenPixelsPerInch() {
    const CScreenDc screen;
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

// The splash art scaled to width x height with halftoning, which averages the pixels instead of
// dropping or doubling some of them.
HBITMAP ScaledBitmap(HBITMAP source, int width, int height) {
    BITMAP size = {};
    if (!GetObjectA(source, sizeof size, &size) || width <= 0 || height <= 0) return nullptr;
    const CScreenDc screen;
    const CMemoryDc from(screen.Get());
    const CMemoryDc to(screen.Get());
    CUniqueGdiObject<HBITMAP> scaled(CreateCompatibleBitmap(screen.Get(), width, height));
    if (!from.Get() || !to.Get() || !scaled) return nullptr;
    const CSelection fromSelection(from.Get(), source);
    const CSelection toSelection(to.Get(), scaled.Get());
    if (width == size.bmWidth && height == size.bmHeight) {
        BitBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, SRCCOPY);  // the art's own size
    } else {
        SetStretchBltMode(to.Get(), HALFTONE);
        SetBrushOrgEx(to.Get(), 0, 0, nullptr);
        StretchBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, size.bmWidth, size.bmHeight,
                   SRCCOPY);
    }
    return scaled.Release();
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
    : CDialogWin32(IDD_SPLASH_DIALOG), whiteBrush_(CreateSolidBrush(RGB(255, 255, 255))) {}

void CSplashDialog::SetLineFont(int dpi) {
    const HFONT font = CreateLineFont(dpi);
    if (!font) return;  // keep the one it has
    SendMessageA(line_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    lineFont_.Reset(font);
}

void CSplashDialog::FitPicture() {
    RECT frame;
    if (!picture_ || !GetClientRect(picture_, &frame)) return;
    const CUniqueGdiObject<HBITMAP> art(static_cast<HBITMAP>(LoadImageA(
        AppInstance(), MAKEINTRESOURCEA(IDB_SPLASH), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!art) return;
    const HBITMAP fitted =
        ScaledBitmap(art.Get(), frame.right - frame.left, frame.bottom - frame.top);
    if (!fitted) return;
    SendMessageA(picture_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(fitted));
    fittedPicture_.Reset(fitted);
}

BOOL CSplashDialog::OnInitDialog() {
    line_ = Item(IDC_SPLASH_LINE);
    picture_ = Item(IDC_SPLASH_PICTURE);
    FitPicture();
    // A tool window gets no taskbar button.
    const LONG_PTR exStyle = GetWindowLongPtrA(Window(), GWL_EXSTYLE);
    SetWindowLongPtrA(Window(), GWL_EXSTYLE, (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    SetWindowTextA(Window(), AppTitle().c_str());
    SetLineFont(ScreenPixelsPerInch());
    SetTimer(Window(), kSplashTimerId, kSplashTimerPeriodMs, nullptr);
    startTime_ = Now();
    return TRUE;
}

bool CSplashDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_TIMER) {
        if (wParam == kSplashTimerId && SplashClosesOn(SplashEvent::TimerTick, startTime_, Now())) {
            KillTimer(Window(), kSplashTimerId);
            EndDialog(IDOK);
        }
        return false;  // the default handling still sees every tick
    }
    if (message == WM_DPICHANGED) {
        SetLineFont(HIWORD(wParam));
        // The system's own handling resizes the window and its controls after this returns.
        PostMessageA(Window(), kFitPictureMessage, 0, 0);
        return false;
    }
    if (message == kFitPictureMessage) {
        FitPicture();
        result = 0;
        return true;
    }
    if (message == WM_CTLCOLORSTATIC) {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        const bool isLine = reinterpret_cast<HWND>(lParam) == line_;
        SetTextColor(dc, isLine ? RGB(255, 0, 0) : RGB(128, 128, 128));
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(whiteBrush_.Get());
        return true;
    }
    return CDialogWin32::OnMessage(message, wParam, lParam, result);
}

bool CSplashDialog::PreTranslateMessage(MSG& message) {
    const bool forSplash =
        Window() && (message.hwnd == Window() || IsChild(Window(), message.hwnd));
    if (forSplash && IsPress(message.message)) {
        if (SplashClosesOn(SplashEvent::Press, startTime_, Now())) EndDialog(IDOK);
        return true;  // swallowed either way
    }
    return CDialogWin32::PreTranslateMessage(message);
}
