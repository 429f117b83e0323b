/* Keeps the Wine desktop of a test run alive: Wine ends a desktop (its explorer.exe and its X
 * window) a second after the last program using it has ended, and starts it again for the next
 * one. Between test processes that is a start and an end of the desktop per test, racing with the
 * next test's first window. This program asks for the desktop window once and then waits; it owns
 * no window, and says "ready" on standard output once the desktop is there. tools/wine-env.sh
 * builds it, cmake/wine-run starts it, strandix_wine_stop ends it with the prefix. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    static const char kReady[] = "ready\n";
    DWORD written = 0;
    GetDesktopWindow(); /* starts the desktop if it is not running yet */
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), kReady, sizeof kReady - 1, &written, NULL);
    for (;;)
        Sleep(INFINITE);
}
