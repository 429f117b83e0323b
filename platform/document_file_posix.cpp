#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include "platform/document_file.h"

namespace {

class CFileDescriptor {
  public:
    explicit CFileDescriptor(int fd) : fd_(fd) {}
    CFileDescriptor(const CFileDescriptor&) = delete;  // one owner closes it
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;
    ~CFileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

DocumentReadStatus ReadDocument(const std::string& path, std::string& contents) {
    contents.clear();
    CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return DocumentReadStatus::CannotOpen;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return DocumentReadStatus::UnknownSize;
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
        const ssize_t got = ::read(file.get(), contents.data() + done, contents.size() - done);
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

bool DeleteFileAt(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}
