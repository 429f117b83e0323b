// The one owner of a POSIX file descriptor.
#pragma once

#include <unistd.h>

#include <utility>

// Owns a descriptor and closes it once; -1 is "none".
class CUniqueFd {
  public:
    CUniqueFd() = default;
    explicit CUniqueFd(int fd) : fd_(fd) {}
    CUniqueFd(const CUniqueFd&) = delete;  // two owners would close the descriptor twice
    CUniqueFd& operator=(const CUniqueFd&) = delete;
    CUniqueFd(CUniqueFd&& other) noexcept : fd_(other.Release()) {}
    CUniqueFd& operator=(CUniqueFd&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~CUniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool IsValid() const { return fd_ >= 0; }

    // Gives the descriptor up without closing it.
    int Release() { return std::exchange(fd_, -1); }

    // Closes what is owned and takes `fd` instead.
    void Reset(int fd = -1) {
        const int old = std::exchange(fd_, fd);
        if (old >= 0) ::close(old);
    }

    // Closes now and says whether the system took the data: a late write error shows only here.
    // False when nothing was owned.
    bool Close() {
        const int old = Release();
        return old >= 0 && ::close(old) == 0;
    }

  private:
    int fd_ = -1;
};
