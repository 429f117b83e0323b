// The file and shell utilities of setup and uninstall (Windows): existence tests, copying with
// retries, deleting through the shell, shortcuts and the shell's special folders. None of them
// shows a message; every failure is a false result.
#pragma once

#include <string>

#include "setup/setup_paths.h"  // FolderOfPath

// The running executable's full path, in lower case (multibyte-aware, ANSI code page).
std::string OwnModulePath();

// An existing folder, given with or without a trailing backslash; false for empty text and for
// a file.
bool FolderExists(const std::string& folder);

// Anything that matches the path: a file or a folder; wildcards count.
bool FileExists(const std::string& path);

// Deletes a file or a whole folder tree through the shell, to the Recycle Bin where the volume
// has one, without confirmation, progress window or error message.
bool ShellDelete(std::string path);

// Writes the shortcut `folder`\`name`.lnk to `target`, with `name` as its description; creates
// the folder when it is missing (one level).
bool CreateShortcut(std::string target, std::string name, std::string folder);

// The path of a special folder by its shell number (CSIDL), never with a trailing backslash.
// `folder` is changed only on success.
bool GetSpecialFolder(std::string& folder, int csidl);

// Program Files, or "c:\program files" when the shell cannot say.
std::string ProgramFilesFolder();

// The Start menu's Programs folder of all users, or the current user's when the first cannot be
// located.
bool ProgramsMenuFolder(std::string& folder);

// Copies `source` to `target` up to `attempts` times, pausing after every failed attempt (the
// last one too). True as soon as one attempt succeeds.
bool CopyFileWithRetry(const std::string& source, const std::string& target, bool failIfExists,
                       int attempts, unsigned pauseMilliseconds);

// Has the desktop shell (the user's own, unelevated Explorer) open `path`, so that a process
// with administrator rights starts a program with the rights of the signed-in user. False when
// there is no desktop shell to ask or it refused.
bool OpenAsDesktopUser(const std::string& path);

// Whether this process runs with administrator rights (an elevated token).
bool RunsElevated();
