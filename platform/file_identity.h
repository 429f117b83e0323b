// Which file a path names, whatever the path: the same file reached through two names, a link
// or a symbolic link has one identity. And how much room the file system holding a path has.
#pragma once

#include <cstdint>
#include <string>

// The device (volume) and the file's number on it: the inode on POSIX, the volume serial number
// and file index on Windows.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t fileHigh = 0;
    std::uint64_t fileLow = 0;

    bool operator==(const FileIdentity&) const = default;
};

// The identity of the existing file or folder at the UTF-8 `path`, symbolic links followed.
// False when nothing is there or the system cannot say.
bool GetFileIdentity(const std::string& path, FileIdentity& identity);

// Whether the UTF-8 paths `a` and `b` name the same existing file. False when either names
// nothing.
bool IsSameFile(const std::string& a, const std::string& b);

// Whether the UTF-8 paths `a` and `b` name one file, whether it exists or not: the same existing
// file, or the same name in one folder (reached by two spellings, such as "./out" and "out"). A
// name is compared as the file system compares it (without case on Windows).
bool IsSameOutput(const std::string& a, const std::string& b);

// The bytes an unprivileged user may still write to the file system that holds the UTF-8
// `path` (a file or a folder), and its whole size. False when the system cannot say.
bool GetFileSystemSpace(const std::string& path, std::uint64_t& available, std::uint64_t& total);

// Whether the UTF-8 `path` can be opened for writing, tried without changing the file: an
// existing file is opened to append nothing, a new one is created and removed again. On false
// `error` holds the system's reason.
bool CanWriteFile(const std::string& path, std::uint32_t& error);
