// How copies of the program find and close each other: two registered window messages.
#pragma once

#include <windows.h>

// First parameter of the identification request, and the answer a main window gives to it.
inline constexpr WPARAM kAreYouRequest = 0x5FAFDDFF;
inline constexpr LRESULT kAreYouAnswer = 0x5E8DD1DB;
// How long each window has to answer the identification.
inline constexpr UINT kAreYouTimeoutMs = 200;
// How long a close request may take (used by setup).
inline constexpr UINT kCloseRequestTimeoutMs = 1000;

// The message numbers RegisterWindowMessage gives for "AreYouStrandix" and "CloseStrandix";
// obtained during static initialisation, before the program's start-up code runs.
UINT AreYouStrandixMessage();
UINT CloseStrandixMessage();

// The main window of a running copy of the program, or null: the first top-level window, in
// enumeration order, that answers the identification correctly within 200 ms.
HWND FindRunningInstance();

// The EnumWindows callback of FindRunningInstance; `result` points to the HWND to fill.
// Answers FALSE (stop) at the first window that answers correctly.
BOOL CALLBACK FindInstanceProc(HWND window, LPARAM result);

// The main dialog's answer to the identification message.
LRESULT OnAreYou(WPARAM first, LPARAM second);
