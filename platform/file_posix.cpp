#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/file.h"
#include "platform/unique_fd_posix.h"

namespace {

// Writes all of `count` bytes to `fd`, going on after short writes and interrupted calls.
bool WriteAll(int fd, const char* bytes, std::size_t count, std::size_t& written,
              SystemErrorCode& error) {
    written = 0;
    while (written < count) {
        const ssize_t done = ::write(fd, bytes + written, count - written);
        if (done < 0) {
            if (errno == EINTR) continue;
            error = static_cast<SystemErrorCode>(errno);
            return false;
        }
        if (done == 0) {
            // A regular file that takes nothing is full.
            error = ENOSPC;
            return false;
        }
        written += static_cast<std::size_t>(done);
    }
    return true;
}

class CPosixFile : public CWritableFile {
  public:
    explicit CPosixFile(CUniqueFd fd) : fd_(std::move(fd)) {}

    bool Write(const char* bytes, std::size_t count, std::size_t& written,
               SystemErrorCode& error) override {
        return WriteAll(fd_.Get(), bytes, count, written, error);
    }

    bool GetSize(std::uint64_t& size) override {
        struct stat info {};
        if (::fstat(fd_.Get(), &info) != 0 || info.st_size < 0) return false;
        size = static_cast<std::uint64_t>(info.st_size);
        return true;
    }

    bool Close(SystemErrorCode& error) override {
        if (!fd_.IsValid()) return true;
        if (fd_.Close()) return true;
        error = static_cast<SystemErrorCode>(errno);
        return false;
    }

  private:
    CUniqueFd fd_;
};

class CPosixFileSystem : public CFileSystem {
  public:
    bool GetTempFolder(std::string& folder) override {
        const char* fromEnvironment = std::getenv("TMPDIR");
        folder =
            (fromEnvironment != nullptr && *fromEnvironment != '\0') ? fromEnvironment : "/tmp";
        if (folder.back() != '/') folder.push_back('/');
        return true;
    }

    std::unique_ptr<CWritableFile> CreateNewFile(const std::string& path) override {
        // The page holds the document's letters: readable by its owner only.
        CUniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.IsValid()) return nullptr;
        return std::make_unique<CPosixFile>(std::move(fd));
    }

    std::string DescribeError(SystemErrorCode error) override {
        return std::strerror(static_cast<int>(error));
    }
};

}  // namespace

CFileSystem& SystemFileSystem() {
    static CPosixFileSystem fileSystem;
    return fileSystem;
}

bool CopyFileReplacing(const std::string& from, const std::string& to, SystemErrorCode& error) {
    error = 0;
    CUniqueFd source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat sourceInfo {};
    if (!source.IsValid() || ::fstat(source.Get(), &sourceInfo) != 0) {
        error = static_cast<SystemErrorCode>(errno);
        return false;
    }
    // Truncating the target first would destroy a source that is the same file.
    struct stat targetInfo {};
    if (::stat(to.c_str(), &targetInfo) == 0 && targetInfo.st_dev == sourceInfo.st_dev &&
        targetInfo.st_ino == sourceInfo.st_ino) {
        error = EINVAL;
        return false;
    }
    CUniqueFd target(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!target.IsValid()) {
        error = static_cast<SystemErrorCode>(errno);
        return false;
    }
    char block[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(source.Get(), block, sizeof block);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = static_cast<SystemErrorCode>(errno);
            return false;
        }
        if (got == 0) break;
        std::size_t written = 0;
        if (!WriteAll(target.Get(), block, static_cast<std::size_t>(got), written, error))
            return false;
    }
    if (!target.Close()) {
        error = static_cast<SystemErrorCode>(errno);
        return false;
    }
    return true;
}
