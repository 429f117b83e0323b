// What the results writer and the command-line tool need of the file system: the temporary
// folder, a new file created exclusively and written from start to end, the system's words for
// an error, and a copy that replaces its target. Paths and texts are UTF-8 (on POSIX, file names
// are the bytes they are).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Why a file operation failed, as the system numbers it (GetLastError on Windows, errno
// elsewhere). 0 means no error.
using SystemErrorCode = std::uint32_t;

// A file open for writing. Destruction closes the handle; the file itself stays on disk.
class CWritableFile {
  public:
    virtual ~CWritableFile() = default;

    // Appends `count` bytes. True when every byte went out. On failure `written` holds how many
    // of them did (a retry goes on after those) and `error` the system's reason.
    virtual bool Write(const char* bytes, std::size_t count, std::size_t& written,
                       SystemErrorCode& error) = 0;

    // The size of the file now. False when the system cannot say.
    virtual bool GetSize(std::uint64_t& size) = 0;

    // Closes the file now. Some file systems report a write error only here, so false (with the
    // system's reason in `error`) means the file may not hold what was written. Either way the
    // file is closed afterwards and takes no more writes.
    virtual bool Close(SystemErrorCode& error) = 0;
};

class CFileSystem {
  public:
    virtual ~CFileSystem() = default;

    // The folder for temporary files, ending in the path separator. False when the system names
    // none (or, on Windows, one longer than MAX_PATH).
    virtual bool GetTempFolder(std::string& folder) = 0;

    // Creates `path` as a new file for writing only; fails when anything of that name exists.
    // Others may read the file while it is open. On POSIX only the owner may read it (0600).
    // Null on failure.
    virtual std::unique_ptr<CWritableFile> CreateNewFile(const std::string& path) = 0;

    // The system's description of `error`, worded by the system in the user's language, with any
    // trailing line break as the system gives it; empty when the system has none.
    virtual std::string DescribeError(SystemErrorCode error) = 0;
};

// The real file system of this platform.
CFileSystem& SystemFileSystem();

// Copies the file `from` to `to`, replacing `to` when it exists. Copying a file onto itself
// fails (and leaves it intact). On failure `error` holds the system's reason.
bool CopyFileReplacing(const std::string& from, const std::string& to, SystemErrorCode& error);
