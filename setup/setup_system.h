// The system operations that installing and uninstalling need, so that the order of the steps
// and their decisions can be followed without a real system underneath.
#pragma once

#include <cstdint>
#include <string>

#include "frontend/message_box.h"

class CInstaller;

class CSetupSystem {
  public:
    virtual ~CSetupSystem() = default;

    // The running executable's full path, in lower case.
    virtual std::string OwnModulePath() = 0;
    // The system's ANSI code page, in which all paths are written.
    virtual unsigned AnsiCodePage() = 0;
    // This process's id.
    virtual std::int64_t OwnProcessId() = 0;

    // Whether a folder (not a file) of that name exists; false for empty text.
    virtual bool FolderExists(const std::string& folder) = 0;
    // Whether anything (file or folder) matches the path.
    virtual bool FileExists(const std::string& path) = 0;
    // Creates one folder level; false when it could not be created.
    virtual bool CreateFolder(const std::string& folder) = 0;
    // Copies a file, trying `attempts` times and pausing `pauseMilliseconds` after each failure.
    virtual bool CopyFileWithRetry(const std::string& source, const std::string& target,
                                   bool failIfExists, int attempts, unsigned pauseMilliseconds) = 0;
    // Deletes a file or a whole folder tree, to the Recycle Bin where the volume has one.
    virtual bool ShellDelete(const std::string& path) = 0;
    // Removes a folder that holds nothing; false when it is not empty or cannot be removed.
    virtual bool RemoveEmptyFolder(const std::string& folder) = 0;

    // The system's list of installed programs, key `keyPath` under HKEY_LOCAL_MACHINE.
    // Writing answers false when the key cannot be created or opened.
    virtual bool WriteUninstallEntry(const std::string& keyPath, const std::string& displayName,
                                     const std::string& uninstallString) = 0;
    // Removes the key with everything in it.
    virtual void DeleteUninstallEntry(const std::string& keyPath) = 0;

    // A modal message box with the application's title, owned by the current main window.
    virtual MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) = 0;

    // Starts a program the way the shell opens it, always with the user's own rights: a process
    // with administrator rights has the desktop shell start it. False when it could not be started.
    virtual bool RunProgram(const std::string& path) = 0;

    // Shows the setup dialog for `installer` and returns when it has been closed.
    virtual void RunSetupDialog(CInstaller& installer) = 0;

    // Copies the running executable to a new temporary file that the system deletes once the
    // copy has ended, and starts it with the command line of UninstallCopyCommandLine and
    // inheritable handles of this process and of the process `requesterId` (when not 0). With
    // administrator rights the copy goes into a new folder that only administrators can write.
    virtual void StartUninstallCopy(std::int64_t requesterId) = 0;

    // Waits until the process of an inherited handle value has ended, then closes the handle.
    // A value that is no process handle, or this process's own, returns at once; a process
    // handle that cannot be looked into is waited on.
    virtual void WaitForProcessHandle(std::int64_t processHandle) = 0;

    // Whether this process may write to Program Files and HKEY_LOCAL_MACHINE.
    virtual bool HasAdminRights() = 0;
    // Starts this program again with administrator rights and `arguments`, and waits until that
    // run has ended; false when the user refused or it could not be started.
    virtual bool RelaunchElevated(const std::string& arguments) = 0;
};
