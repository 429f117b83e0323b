#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_identity.h"

bool GetFileIdentity(const std::string& path, FileIdentity& identity) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    identity.device = static_cast<std::uint64_t>(info.st_dev);
    identity.fileHigh = 0;
    identity.fileLow = static_cast<std::uint64_t>(info.st_ino);
    return true;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    FileIdentity first, second;
    return GetFileIdentity(a, first) && GetFileIdentity(b, second) && first == second;
}

bool IsSameOutput(const std::string& a, const std::string& b) {
    if (IsSameFile(a, b)) return true;
    // The folder that would hold each file, and the file's name in it.
    const auto split = [](const std::string& path, std::string& folder) {
        const std::size_t slash = path.find_last_of('/');
        folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        return slash == std::string::npos ? path : path.substr(slash + 1);
    };
    std::string folderA, folderB;
    const std::string nameA = split(a, folderA);
    const std::string nameB = split(b, folderB);
    FileIdentity first, second;
    return !nameA.empty() && nameA == nameB && GetFileIdentity(folderA, first) &&
           GetFileIdentity(folderB, second) && first == second;
}

bool GetFileSystemSpace(const std::string& path, std::uint64_t& available, std::uint64_t& total) {
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0) return false;
    const std::uint64_t unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
    available = static_cast<std::uint64_t>(info.f_bavail) * unit;
    total = static_cast<std::uint64_t>(info.f_blocks) * unit;
    return true;
}

bool CanWriteFile(const std::string& path, std::uint32_t& error) {
    const bool existed = ::access(path.c_str(), F_OK) == 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = static_cast<std::uint32_t>(errno);
        return false;
    }
    ::close(fd);
    if (!existed) ::unlink(path.c_str());
    return true;
}
