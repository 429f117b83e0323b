// The window glue in this process, under Wine: how a dialog ends, what a pump does with a quit
// request, what becomes of an exception thrown by a message handler, and how the splash screen
// follows a change of display scale, and when the splash screen closes, on a clock the test
// sets by hand.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/splash_dialog_win32.h"
#include "app/splash_timing.h"
#include "res/resource.h"
#include "tests/app/app_driver.h"
#include "winui/dialog_win32.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

constexpr UINT kRunTestMessage = WM_APP + 40;

// A plain dialog from the setup template that runs `body` from its own modal loop, once it is
// on the screen.
class CTestDialog : public CDialogWin32 {
  public:
    explicit CTestDialog(std::function<void(CTestDialog&)> body)
        : CDialogWin32(IDD_SETUP_DIALOG), body_(std::move(body)) {}

    std::atomic<HWND> shown{nullptr};
    bool painted = false;

    using CDialogWin32::EndDialog;

  protected:
    BOOL OnInitDialog() override {
        shown = Window();
        PostMessageA(Window(), kRunTestMessage, 0, 0);
        return TRUE;
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_PAINT) painted = true;  // and the system paints as usual
        if (message == kRunTestMessage) {
            body_(*this);
            result = 0;
            return true;
        }
        return CDialogWin32::OnMessage(message, wParam, lParam, result);
    }

  private:
    std::function<void(CTestDialog&)> body_;
};

TEST(DialogWindowTest, EndingHidesTheWindowAndFreesTheOwnerAtOnce) {
    const HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                       nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    bool visibleAfterEnd = true;
    bool ownerEnabledAfterEnd = false;
    CTestDialog dialog([&](CTestDialog& self) {
        ASSERT_TRUE(IsWindowVisible(self.Window()));
        ASSERT_FALSE(IsWindowEnabled(owner));
        self.EndDialog(7);
        // The handler goes on, as a search unwinding after a close request does.
        visibleAfterEnd = IsWindowVisible(self.Window()) != FALSE;
        ownerEnabledAfterEnd = IsWindowEnabled(owner) != FALSE;
        EXPECT_TRUE(self.IsEnding());
    });
    EXPECT_EQ(dialog.DoModal(owner), 7);
    EXPECT_FALSE(visibleAfterEnd);
    EXPECT_TRUE(ownerEnabledAfterEnd);
    DestroyWindow(owner);
}

TEST(DialogWindowTest, AQuitMetWhilePumpingWaitsUntilTheHandlerHasReturned) {
    int pumpsUntilPainted = 0;
    bool handlerDone = false;
    CTestDialog dialog([&](CTestDialog& self) {
        PostQuitMessage(5);
        self.painted = false;
        InvalidateRect(self.Window(), nullptr, TRUE);
        // Painting (like input) comes after a quit request in the queue's order.
        while (!self.painted && pumpsUntilPainted < 50) {
            ++pumpsUntilPainted;
            CDialogWin32::PumpMessages();
        }
        handlerDone = true;
    });
    dialog.DoModal();
    EXPECT_TRUE(handlerDone);
    EXPECT_LT(pumpsUntilPainted, 50) << "the quit request starved the pumps";
    // The request was handed on, with its code, for the loop that owns it.
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 5u);
}

TEST(DialogWindowTest, AnExceptionFromAHandlerBecomesAMessageAndACleanEnd) {
    struct Case {
        std::function<void()> thrower;
        std::string message;
    };
    const Case cases[] = {
        {[] { throw std::bad_alloc(); }, "Out of memory."},
        {[] { throw std::bad_array_new_length(); }, "Out of memory."},
        {[] { throw std::runtime_error("anything"); }, kDialogUnexpectedErrorText},
        {[] { throw 42; }, kDialogUnexpectedErrorText},
    };
    for (const Case& c : cases) {
        CTestDialog dialog([&](CTestDialog&) { c.thrower(); });
        std::string seen;
        std::thread answerer([&] {
            WaitUntil([&] { return dialog.shown.load() != nullptr; });
            const MessageBoxSeen box = WaitForMessageBox(dialog.shown);
            seen = box.text;
            if (box.box) {
                EXPECT_TRUE(Answer(box.box, IDOK));
            }
        });
        INT_PTR result = 0;
        EXPECT_NO_THROW(result = dialog.DoModal());
        answerer.join();
        EXPECT_EQ(result, IDABORT) << c.message;
        EXPECT_EQ(seen, c.message);
    }
}

// The splash screen, told that its window moved to a monitor at 150 %.
class CScaledSplash : public CSplashDialog {
  public:
    SIZE frame = {};
    SIZE picture = {};
    LONG fontHeight = 0;

  protected:
    BOOL OnInitDialog() override {
        const BOOL focus = CSplashDialog::OnInitDialog();
        PostMessageA(Window(), kRunTestMessage, 0, 0);
        return focus;
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == kRunTestMessage) {
            // The system lays a dialog out anew at the new scale; the frame grows by half.
            const HWND pictureFrame = Item(IDC_SPLASH_PICTURE);
            RECT client;
            GetClientRect(pictureFrame, &client);
            SetWindowPos(pictureFrame, nullptr, 0, 0, client.right * 3 / 2, client.bottom * 3 / 2,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            RECT suggested;
            GetWindowRect(Window(), &suggested);
            SendMessageA(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                         reinterpret_cast<LPARAM>(&suggested));
            PostMessageA(Window(), kRunTestMessage + 1, 0, 0);
            result = 0;
            return true;
        }
        if (message == kRunTestMessage + 1) {
            RECT client;
            GetClientRect(Item(IDC_SPLASH_PICTURE), &client);
            frame = {client.right, client.bottom};
            const auto image = reinterpret_cast<HBITMAP>(
                SendDlgItemMessageA(Window(), IDC_SPLASH_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
            BITMAP size = {};
            if (image && GetObjectA(image, sizeof size, &size))
                picture = {size.bmWidth, size.bmHeight};
            const auto font = reinterpret_cast<HFONT>(
                SendDlgItemMessageA(Window(), IDC_SPLASH_LINE, WM_GETFONT, 0, 0));
            LOGFONTA logFont = {};
            if (font && GetObjectA(font, sizeof logFont, &logFont)) fontHeight = logFont.lfHeight;
            EndDialog(IDOK);
            result = 0;
            return true;
        }
        return CSplashDialog::OnMessage(message, wParam, lParam, result);
    }
};

TEST(SplashWindowTest, PictureAndLineFollowAChangeOfDisplayScale) {
    CScaledSplash splash;
    splash.DoModal();
    ASSERT_GT(splash.frame.cx, 0);
    EXPECT_EQ(splash.picture.cx, splash.frame.cx);
    EXPECT_EQ(splash.picture.cy, splash.frame.cy);
    EXPECT_EQ(splash.fontHeight, -(144 * 14 / 72));  // 14 points at 144 dots per inch
}

// The splash screen on a clock the test sets: shown at `start`, it gets one message when the
// clock reads `start + elapsed`, then a check of whether it is still there. The messages queue in
// order, so the check runs after the splash has decided, however busy the machine is.
class CClockedSplash : public CSplashDialog {
  public:
    CClockedSplash(std::uint32_t start, std::uint32_t elapsed, UINT message, WPARAM wParam)
        : now_(start), elapsed_(elapsed), message_(message), wParam_(wParam) {}

    // Whether the splash was still there after the message.
    bool stayed = false;

  protected:
    std::uint32_t Now() const override { return now_; }
    BOOL OnInitDialog() override {
        const BOOL focus = CSplashDialog::OnInitDialog();
        PostMessageA(Window(), kRunTestMessage, 0, 0);
        return focus;
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == kRunTestMessage) {
            now_ += elapsed_;
            // A timer message carries no procedure to call; the others a point on the window.
            PostMessageA(Window(), message_, wParam_,
                         message_ == WM_TIMER ? 0 : MAKELPARAM(20, 20));
            PostMessageA(Window(), kRunTestMessage + 1, 0, 0);
            result = 0;
            return true;
        }
        if (message == kRunTestMessage + 1) {
            stayed = IsWindowVisible(Window()) != FALSE;
            EndDialog(IDCANCEL);
            result = 0;
            return true;
        }
        return CSplashDialog::OnMessage(message, wParam, lParam, result);
    }

  private:
    std::uint32_t now_;
    std::uint32_t elapsed_;
    UINT message_;
    WPARAM wParam_;
};

TEST(SplashWindowTest, ClosesOnAPressAfterHalfASecondAndByItselfAfterTwoAndAHalf) {
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        std::uint32_t elapsed;
        bool closes;
    } cases[] = {
        {"click at once", WM_LBUTTONDOWN, MK_LBUTTON, 0, false},
        {"click just early", WM_LBUTTONDOWN, MK_LBUTTON, 499, false},
        {"click on time", WM_LBUTTONDOWN, MK_LBUTTON, 500, true},
        {"key just early", WM_KEYDOWN, VK_SPACE, 499, false},
        {"key on time", WM_KEYDOWN, VK_SPACE, 500, true},
        {"system key on time", WM_SYSKEYDOWN, VK_MENU, 500, true},
        {"right click on time", WM_RBUTTONDOWN, MK_RBUTTON, 500, true},
        {"middle click on time", WM_MBUTTONDOWN, MK_MBUTTON, 500, true},
        {"caption click on time", WM_NCLBUTTONDOWN, HTCAPTION, 500, true},
        {"caption right click early", WM_NCRBUTTONDOWN, HTCAPTION, 499, false},
        {"caption right click on time", WM_NCRBUTTONDOWN, HTCAPTION, 500, true},
        {"caption middle click on time", WM_NCMBUTTONDOWN, HTCAPTION, 500, true},
        {"release", WM_LBUTTONUP, 0, 2000, false},
        {"double click", WM_LBUTTONDBLCLK, MK_LBUTTON, 2000, false},
        {"key release", WM_KEYUP, VK_SPACE, 2000, false},
        {"mouse move", WM_MOUSEMOVE, 0, 2000, false},
        {"timer just early", WM_TIMER, kSplashTimerId, 2499, false},
        {"timer on time", WM_TIMER, kSplashTimerId, 2500, true},
        {"another timer", WM_TIMER, kSplashTimerId + 1, 2500, false},
    };
    // Shown just before the tick counter wraps, and at an ordinary time.
    for (const std::uint32_t start : {1'000'000u, 0xFFFFFF00u}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", shown at " + std::to_string(start));
            CClockedSplash splash(start, c.elapsed, c.message, c.wParam);
            EXPECT_EQ(splash.DoModal(), c.closes ? IDOK : IDCANCEL);
            EXPECT_EQ(splash.stayed, !c.closes);
        }
    }
}

}  // namespace
