#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "platform/document_file.h"
#include "platform/unique_fd_posix.h"

namespace {

// A stream has no size to ask: read until its end, growing the buffer, and give up one byte
// past the limit so that an endless writer cannot fill the memory.
DocumentReadStatus ReadStream(int fd, std::string& contents, SystemErrorCode& reason) {
    std::size_t done = 0;
    try {
        contents.resize(64 * 1024);
        for (;;) {
            if (done == contents.size()) {
                if (done > kMaxDocumentBytes) {
                    contents.clear();
                    return DocumentReadStatus::TooLarge;
                }
                const auto limit = static_cast<std::size_t>(kMaxDocumentBytes) + 1;
                contents.resize(done < limit / 2 ? done * 2 : limit);
            }
            const ssize_t got = ::read(fd, contents.data() + done, contents.size() - done);
            if (got < 0) {
                if (errno == EINTR) continue;
                reason = static_cast<SystemErrorCode>(errno);
                contents.clear();
                return DocumentReadStatus::ReadFailed;
            }
            if (got == 0) break;
            done += static_cast<std::size_t>(got);
        }
    } catch (const std::bad_alloc&) {
        contents.clear();
        contents.shrink_to_fit();
        return DocumentReadStatus::OutOfMemory;
    }
    if (done > kMaxDocumentBytes) {
        contents.clear();
        return DocumentReadStatus::TooLarge;
    }
    contents.resize(done);
    contents.shrink_to_fit();
    return DocumentReadStatus::Ok;
}

DocumentReadStatus ReadOpenDocument(int fd, std::string& contents, SystemErrorCode& reason) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        reason = static_cast<SystemErrorCode>(errno);
        return DocumentReadStatus::UnknownSize;
    }
    if (S_ISDIR(info.st_mode)) {
        reason = EISDIR;
        return DocumentReadStatus::CannotOpen;
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) || ::isatty(fd) == 1)
        return ReadStream(fd, contents, reason);
    if (!S_ISREG(info.st_mode)) return DocumentReadStatus::NotAFile;
    if (info.st_size < 0) return DocumentReadStatus::UnknownSize;
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > kMaxDocumentBytes) return DocumentReadStatus::TooLarge;
    try {
        contents.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return DocumentReadStatus::OutOfMemory;
    }
    // One logical read of the reported size; a POSIX read may return less, so go on until the
    // file ends or the buffer is full.
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t got = ::read(fd, contents.data() + done, contents.size() - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            reason = static_cast<SystemErrorCode>(errno);
            contents.clear();
            return DocumentReadStatus::ReadFailed;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    contents.resize(done);
    return DocumentReadStatus::Ok;
}

}  // namespace

DocumentReadStatus ReadDocumentExplained(const std::string& path, std::string& contents,
                                         SystemErrorCode& reason, bool /*utf8Path*/) {
    contents.clear();
    reason = 0;
    CUniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.IsValid()) {
        reason = static_cast<SystemErrorCode>(errno);
        return DocumentReadStatus::CannotOpen;
    }
    return ReadOpenDocument(file.Get(), contents, reason);
}

DocumentReadStatus ReadDocument(const std::string& path, std::string& contents) {
    SystemErrorCode ignored = 0;
    return ReadDocumentExplained(path, contents, ignored);
}

// A POSIX path is bytes, whatever encoding the caller has in mind.
DocumentReadStatus ReadDocumentUtf8Path(const std::string& path, std::string& contents) {
    return ReadDocument(path, contents);
}

DocumentReadStatus ReadStandardInput(std::string& contents, SystemErrorCode& reason) {
    contents.clear();
    reason = 0;
    return ReadOpenDocument(STDIN_FILENO, contents, reason);
}

bool DeleteFileAt(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}
