// The splash screen: the picture, a credit line and a red line of text, shown once at start-up
// before the main dialog. It closes by itself after 2.5 s, or on a click or key press after
// 0.5 s.
#pragma once

#include <windows.h>

#include <cstdint>

#include "winui/dialog_win32.h"

class CSplashDialog : public CDialogWin32 {
  public:
    CSplashDialog();
    ~CSplashDialog() override;

  protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool PreTranslateMessage(MSG& message) override;

  private:
    // The picture drawn at the size of its frame, and the line's font at `dpi` dots per inch:
    // both follow the window to a monitor with another scale.
    void FitPicture();
    void SetLineFont(int dpi);

    HWND line_ = nullptr;     // static 1025
    HWND picture_ = nullptr;  // static 1026
    HBRUSH whiteBrush_;
    HFONT lineFont_ = nullptr;
    HBITMAP fittedPicture_ = nullptr;
    std::uint32_t startTime_ = 0;
};
