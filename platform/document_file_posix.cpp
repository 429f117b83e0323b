#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include "platform/document_file.h"
#include "platform/unique_fd_posix.h"

DocumentReadStatus ReadDocument(const std::string& path, std::string& contents) {
    contents.clear();
    CUniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.IsValid()) return DocumentReadStatus::CannotOpen;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) return DocumentReadStatus::UnknownSize;
    if (S_ISDIR(info.st_mode)) return DocumentReadStatus::CannotOpen;
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
        const ssize_t got = ::read(file.Get(), contents.data() + done, contents.size() - done);
        if (got < 0) {
            contents.clear();
            return DocumentReadStatus::ReadFailed;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    contents.resize(done);
    return DocumentReadStatus::Ok;
}

// A POSIX path is bytes, whatever encoding the caller has in mind.
DocumentReadStatus ReadDocumentUtf8Path(const std::string& path, std::string& contents) {
    return ReadDocument(path, contents);
}

bool DeleteFileAt(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}
