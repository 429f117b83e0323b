// The buttons of a modal message box and the answer it gives, shared by the main window and
// setup. Boxes with OK, OK/Cancel, Yes/No or Yes/No/Cancel show the exclamation icon;
// Retry/Cancel none; the first button is the default.
#pragma once

enum class MessageButtons { Ok, OkCancel, RetryCancel, YesNo, YesNoCancel };

// The button the user chose. A box closed without a button (Escape, close box) answers Cancel
// where there is a Cancel button, No for YesNo and Ok for Ok.
enum class MessageAnswer { Ok, Cancel, Retry, Yes, No };
