#include "app/els_app_win32.h"

#include <commctrl.h>

#include "app/app_setup_host_win32.h"
#include "app/els_dialog_win32.h"
#include "app/instance_handshake_win32.h"
#include "app/library_search_win32.h"
#include "app/splash_dialog_win32.h"
#include "setup/installer.h"
#include "setup/setup_command_line.h"
#include "setup/setup_system_win32.h"

namespace {

// The library search is limited before any other static initialisation of the program (the
// application object's, the handshake's) and before WinMain: nothing of the program can load a
// library before it. Only the libraries in the import table, which the system loads before any
// code of the program runs, come earlier; those are system libraries.
struct CLibrarySearchFirst {
    CLibrarySearchFirst() { LoadLibrariesOnlyFromTheSystemFolder(); }
};
#if defined(_MSC_VER)
#pragma warning(disable : 4073)  // the library initialisation area is the point
#pragma init_seg(lib)
CLibrarySearchFirst g_librarySearchFirst;
#else
CLibrarySearchFirst g_librarySearchFirst __attribute__((init_priority(101)));
#endif

// The application object. The message numbers that copies of the program talk with are
// obtained during static initialisation too (instance_handshake_win32.cpp); its constructor uses
// neither them nor the settings key, so the order between the files does not matter.
CElsApp g_app;

}  // namespace

bool CElsApp::InitInstance() {
    // The common controls (up-down, progress bar) in their current look.
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&controls);

    // Setup and uninstall runs are recognised here, from the program's name and command line,
    // before the single-instance rule: they carry out their work and end the program.
    {
        CAppSetupHost setupHost;
        CWin32SetupSystem setupSystem;
        CInstaller installer(setupHost, setupSystem);
        if (installer.HandleCommandLine(ArgumentText(GetCommandLineA()))) return false;
    }

    const HANDLE mutex = CreateMutexA(nullptr, FALSE, kSingleInstanceMutexName);
    const DWORD error = GetLastError();
    mutex_.Reset(mutex);
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) {
        // Another copy runs: bring its main window to the front (none while it still shows its
        // splash screen) and end without a word.
        SetForegroundWindow(FindRunningInstance());
        return false;
    }

    CSplashDialog splash;
    splash.DoModal(nullptr);

    CElsDialog dialog;
    dialog.DoModal(nullptr);
    return false;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    g_app.InitInstance();
    return 0;
}
