// The one owner of an open registry key.
#pragma once

#include <windows.h>

#include <utility>

// Owns an HKEY from RegOpenKeyEx or RegCreateKeyEx and closes it once. Fill it through Out().
class CUniqueRegistryKey {
  public:
    CUniqueRegistryKey() = default;
    CUniqueRegistryKey(const CUniqueRegistryKey&) = delete;  // two owners would close it twice
    CUniqueRegistryKey& operator=(const CUniqueRegistryKey&) = delete;
    CUniqueRegistryKey(CUniqueRegistryKey&& other) noexcept
        : key_(std::exchange(other.key_, nullptr)) {}
    CUniqueRegistryKey& operator=(CUniqueRegistryKey&& other) noexcept {
        if (this != &other) {
            Reset();
            key_ = std::exchange(other.key_, nullptr);
        }
        return *this;
    }
    ~CUniqueRegistryKey() { Reset(); }

    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    // Closes what is owned and answers the place for the system to put a new key.
    HKEY* Out() {
        Reset();
        return &key_;
    }

  private:
    void Reset() {
        if (key_ != nullptr) RegCloseKey(std::exchange(key_, nullptr));
    }

    HKEY key_ = nullptr;
};
