// Loads version.dll and uxtheme.dll by name, as system libraries do when they need them; with
// the argument "restricted" it first limits the search as Strandix!.exe does at its start. The
// tests run it from a folder with planted libraries of those names, to show both what the search
// would pick up and what the restriction keeps out.
#include <windows.h>

#include <cstring>
#include <initializer_list>

#include "app/library_search_win32.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "restricted") == 0) LoadLibrariesOnlyFromTheSystemFolder();
    for (const char* name : {"version.dll", "uxtheme.dll"}) {
        if (LoadLibraryA(name) == nullptr) return 1;
    }
    return 0;
}
