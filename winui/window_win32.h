// Small helpers for any window of the program: its text, and its place on the screen.
#pragma once

#include <windows.h>

#include <string>

// The window's whole text (a control's contents, a window's caption); empty for no window. In
// the system's ANSI code page, or in UTF-8.
std::string WindowText(HWND window);
std::string WindowTextUtf8(HWND window);
// Sets the window's text from UTF-8.
void SetWindowTextUtf8(HWND window, const std::string& text);

// Moves the window, keeping its size, to the middle of the work area of the monitor it is
// mostly on. A window larger than the work area keeps its caption on the screen.
void CentreOnScreen(HWND window);
