#include "winui/window_win32.h"

#include "platform/wide_text_win32.h"

std::string WindowText(HWND window) {
    if (!window) return std::string();
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

std::string WindowTextUtf8(HWND window) {
    if (!window) return std::string();
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return NarrowToUtf8(text);
}

void SetWindowTextUtf8(HWND window, const std::string& text) {
    SetWindowTextW(window, WidenUtf8(text).c_str());
}

void CentreOnScreen(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    const POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(centre, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int x = work.left + (work.right - work.left - width) / 2;
    int y = work.top + (work.bottom - work.top - height) / 2;
    // Keep the caption on the screen when the window is larger than the work area.
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
