#include "winui/message_box_win32.h"

#include "platform/wide_text_win32.h"
#include "res/resource.h"

const std::string& AppTitle() {
    static const std::string title = [] {
        char text[256] = {};
        const int length = LoadStringA(GetModuleHandleA(nullptr), IDS_APP_TITLE, text, sizeof text);
        return length > 0 ? std::string(text, static_cast<size_t>(length))
                          : std::string("Strandix!");
    }();
    return title;
}

namespace {

MessageAnswer ShowWideMessageBox(HWND owner, const std::wstring& text, MessageButtons buttons,
                                 UINT extraStyle) {
    UINT style = MB_OK | MB_ICONEXCLAMATION;
    switch (buttons) {
        case MessageButtons::Ok:
            break;
        case MessageButtons::OkCancel:
            style = MB_OKCANCEL | MB_ICONEXCLAMATION;
            break;
        case MessageButtons::RetryCancel:
            style = MB_RETRYCANCEL;
            break;
        case MessageButtons::YesNo:
            style = MB_YESNO | MB_ICONEXCLAMATION;
            break;
        case MessageButtons::YesNoCancel:
            style = MB_YESNOCANCEL | MB_ICONEXCLAMATION;
            break;
    }
    static const std::wstring title = WidenUtf8(AnsiToUtf8(AppTitle()));
    switch (MessageBoxW(owner, text.c_str(), title.c_str(), style | extraStyle)) {
        case IDOK:
            return MessageAnswer::Ok;
        case IDRETRY:
            return MessageAnswer::Retry;
        case IDYES:
            return MessageAnswer::Yes;
        case IDNO:
            return MessageAnswer::No;
        case IDCANCEL:
            return MessageAnswer::Cancel;
        default:
            // Closed without a button: the answer that changes nothing.
            if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
            return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    }
}

}  // namespace

MessageAnswer ShowMessageBox(HWND owner, const std::string& text, MessageButtons buttons,
                             UINT extraStyle) {
    return ShowWideMessageBox(owner, WidenUtf8(AnsiToUtf8(text)), buttons, extraStyle);
}

MessageAnswer ShowUtf8MessageBox(HWND owner, const std::string& text, MessageButtons buttons,
                                 UINT extraStyle) {
    return ShowWideMessageBox(owner, WidenUtf8(text), buttons, extraStyle);
}
