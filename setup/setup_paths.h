// Paths and texts of an installation, worked out without touching the system. Paths are
// Windows paths in the system's ANSI code page; both slashes separate folders.
//
// In a double-byte code page (Japanese 932, Chinese 936 and 950, Korean 949 and 1361) the second
// byte of a character may have the value of a backslash or a slash: the functions that look for
// separators take the code page and step over whole characters. Any other code page is read one
// byte per character.
#pragma once

#include <string>
#include <string_view>

// Whether `byte` begins a two-byte character in `codePage` (a Windows code page number), as the
// system's IsDBCSLeadByteEx answers it.
bool IsLeadByte(unsigned codePage, unsigned char byte);

// Whether the last character of `path` is a backslash (not the second byte of a character).
bool EndsInBackslash(std::string_view path, unsigned codePage);

// The drive and folder part of `path`, ending in its last slash or backslash:
// "C:\Program Files\Strandix!\Strandix!.exe" gives "C:\Program Files\Strandix!\". The drive is
// the first two characters when the second is a colon. A bare file name gives empty text.
std::string FolderOfPath(std::string_view path, unsigned codePage);

// What follows the folder part: the file name with its extension.
std::string FileNameOfPath(std::string_view path, unsigned codePage);

// `folder`, a backslash unless the folder already ends in one (or is empty), then `name`.
std::string JoinPath(std::string_view folder, std::string_view name, unsigned codePage);

// Removes one trailing backslash, if there is one ("C:\" becomes "C:").
std::string WithoutTrailingBackslash(std::string_view path, unsigned codePage);

// True for "X:\..." and "\\server\..." paths: a path that does not depend on the current
// drive or folder of whoever reads it.
bool IsAbsolutePath(std::string_view path);

// Compares two texts, ASCII letters without regard to case.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// True when the last 10 characters of `modulePath` (the whole path when it is shorter) are
// "\setup.exe" in any letter case: "C:\x\SETUP.EXE" is a setup run, "C:\x\mysetup.exe" is not.
bool IsSetupProgramPath(std::string_view modulePath);

// The installed executable in `folder`: the folder, a backslash unless it already ends in one,
// `productName` and ".exe".
std::string InstalledProgramPath(std::string_view folder, std::string_view productName,
                                 unsigned codePage);

// The uninstall entry's key under HKEY_LOCAL_MACHINE:
// "Software\Microsoft\Windows\CurrentVersion\Uninstall\" followed by `productName`.
std::string UninstallKeyPathFor(std::string_view productName);

// The uninstall entry's command: the executable's path in double quotes, then " /uninstall".
std::string UninstallCommandFor(std::string_view installedProgram);
