// The splash screen: the picture, a credit line and a red line of text, shown once at start-up
// before the main dialog. It closes by itself after 2.5 s, or on a click or key press after
// 0.5 s.
#pragma once

#include <windows.h>

#include <cstdint>

#include "winui/dialog_win32.h"
#include "winui/gdi_owners_win32.h"

class CSplashDialog : public CDialogWin32 {
  public:
    CSplashDialog();

  protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool PreTranslateMessage(MSG& message) override;
    // The tick count its times are taken from; the system's unless a test drives it by hand.
    virtual std::uint32_t Now() const { return GetTickCount(); }

  private:
    // The picture drawn at the size of its frame, and the line's font at `dpi` dots per inch:
    // both follow the window to a monitor with another scale.
    void FitPicture();
    void SetLineFont(int dpi);

    HWND line_ = nullptr;     // static 1025
    HWND picture_ = nullptr;  // static 1026
    // The statics never delete the images and fonts they are given; these go with the splash,
    // whose window is gone by then.
    CUniqueGdiObject<HBRUSH> whiteBrush_;
    CUniqueGdiObject<HFONT> lineFont_;
    CUniqueGdiObject<HBITMAP> fittedPicture_;
    std::uint32_t startTime_ = 0;
};
