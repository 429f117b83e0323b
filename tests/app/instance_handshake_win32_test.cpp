#include "app/instance_handshake_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_handle_win32.h"

namespace {

// How a test window answers the identification message.
enum class Answers : LONG_PTR {
    Correctly,           // as the main dialog does
    WrongValue,          // the right request, a wrong answer
    RightValueToOthers,  // the right answer, but only to other requests
    Never,               // default processing
};

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == AreYouStrandixMessage()) {
        switch (static_cast<Answers>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
            case Answers::Correctly:
                return OnAreYou(first, second);
            case Answers::WrongValue:
                return first == kAreYouRequest ? kAreYouAnswer + 1 : 0;
            case Answers::RightValueToOthers:
                return first == kAreYouRequest ? 0 : kAreYouAnswer;
            case Answers::Never:
                break;
        }
    }
    return DefWindowProcA(window, message, first, second);
}

const char kClassName[] = "StrandixHandshakeTestWindow";

void RegisterTestClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);  // already registered by an earlier test is fine
}

HWND CreateTestWindow(Answers answers) {
    HWND window = CreateWindowExA(0, kClassName, "test", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, static_cast<LONG_PTR>(answers));
    return window;
}

// Test windows live in a thread of their own. The thread either dispatches messages, as a
// running program does, or is blocked, as a hung one is. They share the desktop with every other
// window: only a running copy of the program would answer the identification, and the tests that
// start one hold the same CTest lock as these. (A desktop of the tests' own would need its own
// desktop process under Wine, started and ended around every test.)
class CWindowThread {
  public:
    CWindowThread(std::vector<Answers> answers, bool hung)
        : ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this, answers, hung] {
            threadId_ = GetCurrentThreadId();
            for (Answers a : answers)
                windows_.push_back(CreateTestWindow(a));
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // make the queue
            SetEvent(ready_.Get());
            if (hung) {
                WaitForSingleObject(release_.Get(), INFINITE);
            } else {
                while (GetMessageA(&message, nullptr, 0, 0) > 0)
                    DispatchMessageA(&message);
            }
            for (HWND window : windows_)
                DestroyWindow(window);
        });
        WaitForSingleObject(ready_.Get(), INFINITE);
    }
    CWindowThread(const CWindowThread&) = delete;  // owns a thread
    CWindowThread& operator=(const CWindowThread&) = delete;
    ~CWindowThread() {
        SetEvent(release_.Get());
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }

    const std::vector<HWND>& Windows() const { return windows_; }

  private:
    CUniqueHandle ready_;
    CUniqueHandle release_;
    DWORD threadId_ = 0;
    std::vector<HWND> windows_;
    std::thread thread_;
};

// Each window has 200 ms to answer. On a busy machine the thread of a running test window may
// now and then not be scheduled in time, and the search then finds nothing: a search that finds
// nothing is made again (a bounded number of times), one that finds a window is the result.
HWND FindAnsweringInstance() {
    constexpr int kAttempts = 20;
    HWND found = nullptr;
    for (int attempt = 0; attempt < kAttempts && found == nullptr; ++attempt)
        found = FindRunningInstance();
    return found;
}

class HandshakeTest : public testing::Test {
  protected:
    void SetUp() override {
        RegisterTestClass();
        ASSERT_EQ(FindRunningInstance(), nullptr) << "a copy of the program is running";
    }

    // Every top-level window in enumeration order.
    static std::vector<HWND> EnumerationOrder() {
        std::vector<HWND> order;
        EnumWindows(
            [](HWND window, LPARAM list) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&order));
        return order;
    }
};

TEST(Handshake, MessagesAreRegisteredByName) {
    EXPECT_EQ(AreYouStrandixMessage(), RegisterWindowMessageA("AreYouStrandix"));
    EXPECT_EQ(CloseStrandixMessage(), RegisterWindowMessageA("CloseStrandix"));
    EXPECT_GE(AreYouStrandixMessage(), 0xC000u);
    EXPECT_GE(CloseStrandixMessage(), 0xC000u);
    EXPECT_NE(AreYouStrandixMessage(), CloseStrandixMessage());
}

TEST(Handshake, OnAreYouAnswersOnlyTheRequest) {
    const struct {
        WPARAM first;
        LPARAM second;
        LRESULT expected;
    } cases[] = {
        {0x5FAFDDFF, 0, 0x5E8DD1DB},
        {0x5FAFDDFF, 12345, 0x5E8DD1DB},
        {0, 0, 0},
        {0x5FAFDDFE, 0, 0},
        {0x5E8DD1DB, 0, 0},
        {0x15FAFDDFF, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OnAreYou(c.first, c.second), c.expected) << std::hex << c.first;
}

TEST_F(HandshakeTest, OnlyACorrectAnswerMakesAWindowACopyOfTheProgram) {
    const struct {
        const char* what;
        std::vector<Answers> windows;
        int expected;  // index into windows, -1: none
    } cases[] = {
        {"no window answers", {Answers::Never, Answers::Never}, -1},
        {"wrong value, and right value to the wrong request",
         {Answers::WrongValue, Answers::RightValueToOthers, Answers::Never},
         -1},
        {"one correct among the others",
         {Answers::WrongValue, Answers::Never, Answers::Correctly, Answers::RightValueToOthers},
         2},
    };
    for (const auto& c : cases) {
        CWindowThread thread(c.windows, /*hung=*/false);
        if (c.expected < 0) {
            EXPECT_EQ(FindRunningInstance(), nullptr) << c.what;
        } else {
            EXPECT_EQ(FindAnsweringInstance(), thread.Windows()[c.expected]) << c.what;
        }
    }
    // And none at all.
    EXPECT_EQ(FindRunningInstance(), nullptr);
}

TEST_F(HandshakeTest, OfTwoCopiesTheFirstInEnumerationOrderIsFound) {
    CWindowThread thread({Answers::Correctly, Answers::Never, Answers::Correctly},
                         /*hung=*/false);
    const std::vector<HWND> order = EnumerationOrder();
    const auto first = std::find_if(order.begin(), order.end(), [&](HWND window) {
        return window == thread.Windows()[0] || window == thread.Windows()[2];
    });
    ASSERT_NE(first, order.end());
    EXPECT_EQ(FindAnsweringInstance(), *first);

    // The callback stops at a match and goes on past anything else.
    HWND result = nullptr;
    BOOL goOn = TRUE;
    for (int attempt = 0; attempt < 20 && result == nullptr; ++attempt)  // as above
        goOn = FindInstanceProc(thread.Windows()[2], reinterpret_cast<LPARAM>(&result));
    EXPECT_FALSE(goOn);
    EXPECT_EQ(result, thread.Windows()[2]);
    result = nullptr;
    EXPECT_TRUE(FindInstanceProc(thread.Windows()[1], reinterpret_cast<LPARAM>(&result)));
    EXPECT_EQ(result, nullptr);
}

TEST_F(HandshakeTest, AHungWindowIsPassedOver) {
    CWindowThread hung({Answers::Correctly}, /*hung=*/true);
    EXPECT_EQ(FindRunningInstance(), nullptr);

    // A running copy behind the hung one in enumeration order is still found.
    CWindowThread running({Answers::Correctly}, /*hung=*/false);
    const HWND hungWindow = hung.Windows()[0];
    const HWND runningWindow = running.Windows()[0];
    ASSERT_TRUE(SetWindowPos(runningWindow, HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    const std::vector<HWND> order = EnumerationOrder();
    ASSERT_LT(std::find(order.begin(), order.end(), hungWindow),
              std::find(order.begin(), order.end(), runningWindow));
    EXPECT_EQ(FindAnsweringInstance(), runningWindow);
}

}  // namespace
