// The one owner of a Win32 HANDLE.
#pragma once

#include <windows.h>

#include <utility>

// Owns a kernel handle and closes it once. The system answers failure with null from some calls
// (CreateEvent, OpenProcess) and with INVALID_HANDLE_VALUE from others (CreateFile), so both
// count as "none".
class CUniqueHandle {
  public:
    CUniqueHandle() = default;
    explicit CUniqueHandle(HANDLE handle) : handle_(handle) {}
    CUniqueHandle(const CUniqueHandle&) = delete;  // two owners would close the handle twice
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;
    CUniqueHandle(CUniqueHandle&& other) noexcept : handle_(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~CUniqueHandle() { Reset(); }

    HANDLE Get() const { return handle_; }
    bool IsValid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return IsValid(); }

    // Gives the handle up without closing it.
    HANDLE Release() { return std::exchange(handle_, nullptr); }

    // Closes what is owned and takes `handle` instead.
    void Reset(HANDLE handle = nullptr) {
        const HANDLE old = std::exchange(handle_, handle);
        if (old != nullptr && old != INVALID_HANDLE_VALUE) CloseHandle(old);
    }

  private:
    HANDLE handle_ = nullptr;
};
