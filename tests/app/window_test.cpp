// The window glue in this process, under Wine: how a dialog ends, what a pump does with a quit
// request, what becomes of an exception thrown by a message handler, and how the splash screen
// follows a change of display scale.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/splash_dialog_win32.h"
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

}  // namespace
