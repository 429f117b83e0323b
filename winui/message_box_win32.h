// Message boxes as the program shows them: the application title as caption, the given owner,
// and the icon that goes with the buttons.
#pragma once

#include <windows.h>

#include <string>

#include "frontend/message_box.h"

// The application title, string resource 57344 ("Strandix!" when the resource is missing).
const std::string& AppTitle();

// Shows a modal message box and answers the button chosen. `extraStyle` adds flags such as
// MB_SYSTEMMODAL. The text is in the system's ANSI code page, or, for the second, UTF-8.
MessageAnswer ShowMessageBox(HWND owner, const std::string& text, MessageButtons buttons,
                             UINT extraStyle = 0);
MessageAnswer ShowUtf8MessageBox(HWND owner, const std::string& text, MessageButtons buttons,
                                 UINT extraStyle = 0);
