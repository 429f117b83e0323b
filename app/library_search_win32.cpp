#include "app/library_search_win32.h"

#include <windows.h>

void LoadLibrariesOnlyFromTheSystemFolder() {
    // Looked up rather than imported: the import would keep the program from starting on a
    // Windows 7 that lacks it. kernel32 is always loaded.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
