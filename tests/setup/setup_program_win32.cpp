// The program the setup tests install and uninstall: the start-up dispatch of the real program
// in front of a bare main window that takes part in the handshake between copies. Setup runs,
// both uninstall stages and ordinary starts are thereby real processes started from real files.
#include <windows.h>

#include "app/instance_handshake_win32.h"
#include "setup/app_setup_host_win32.h"
#include "setup/installer.h"
#include "setup/setup_command_line.h"
#include "setup/setup_system_win32.h"

namespace {

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == AreYouStrandixMessage()) return OnAreYou(wParam, lParam);
    if (message == CloseStrandixMessage()) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunMainWindow(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "StrandixSetupTestMain";
    RegisterClassA(&windowClass);
    const HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, "Strandix!", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                        100, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    {
        CAppSetupHost host;
        CWin32SetupSystem system;
        CInstaller installer(host, system);
        if (installer.HandleCommandLine(ArgumentText(GetCommandLineA()))) return 0;
    }
    return RunMainWindow(instance);
}
