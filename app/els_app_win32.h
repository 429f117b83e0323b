// The application object: one per process, made during static initialisation, destroyed at
// exit. It holds the single-instance mutex and runs start-up.
#pragma once

#include <windows.h>

#include "platform/unique_handle_win32.h"

// Copies of the program share this mutex; only its existence is used.
inline constexpr char kSingleInstanceMutexName[] = "TarnwickStrandixMutex";

class CElsApp {
  public:
    CElsApp() = default;
    CElsApp(const CElsApp&) = delete;  // owns the mutex handle
    CElsApp& operator=(const CElsApp&) = delete;

    // Start-up: the single-instance rule, the splash screen, then the main dialog. Answers
    // false always: the program ends when it returns, with no message loop of its own.
    bool InitInstance();

  private:
    CUniqueHandle mutex_;
};
