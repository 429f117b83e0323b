// Where the program may load libraries from.
#pragma once

// Limits every later library load without a full path to the system folder, so that a DLL
// planted beside the program (setup.exe runs with administrator rights from the user's download
// folder) is never loaded in place of a system one. Call before anything can load a library.
// Windows 7 without the update that brings SetDefaultDllDirectories keeps its own search order.
void LoadLibrariesOnlyFromTheSystemFolder();
