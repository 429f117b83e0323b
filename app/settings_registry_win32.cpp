#include "app/settings_registry_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/wide_text_win32.h"

const char kSettingsSubkey[] = "Software\\Tarnwick\\Strandix!";

namespace {

// The one handle the process holds on the key, closed when the process ends.
class CSettingsKey {
  public:
    CSettingsKey() = default;
    CSettingsKey(const CSettingsKey&) = delete;  // one process-wide owner closes it
    CSettingsKey& operator=(const CSettingsKey&) = delete;
    ~CSettingsKey() {
        if (ready) RegCloseKey(handle);
    }

    HKEY handle = nullptr;
    bool ready = false;
};

CSettingsKey& SettingsKey() {
    static CSettingsKey key;
    return key;
}

}  // namespace

bool OpenSettingsKey(bool create) {
    CSettingsKey& key = SettingsKey();
    if (key.ready) return true;  // never reopened once held
    HKEY handle = nullptr;
    const LONG status =
        create ? RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsSubkey, 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &handle, nullptr)
               : RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsSubkey, 0, KEY_ALL_ACCESS, &handle);
    if (status == ERROR_SUCCESS) {
        key.handle = handle;
        key.ready = true;
    }
    return key.ready;
}

std::int32_t ReadSettingInt(const char* name, std::int32_t defaultValue) {
    if (!OpenSettingsKey(false)) return defaultValue;
    // Whatever the type: up to four bytes, shorter data read as a little-endian number.
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(SettingsKey().handle, name, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
        return defaultValue;
    }
    return static_cast<std::int32_t>(value);
}

std::string ReadSettingString(const char* name, const std::string& defaultValue, bool* found) {
    if (found) *found = false;
    if (!OpenSettingsKey(false)) return defaultValue;
    const HKEY key = SettingsKey().handle;
    DWORD size = 0;
    RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
    std::string text(size, '\0');
    DWORD got = size;
    const LONG status = RegQueryValueExA(
        key, name, nullptr, nullptr, size ? reinterpret_cast<BYTE*>(text.data()) : nullptr, &got);
    if (found) *found = status == ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) return defaultValue;
    // The data need not end in a zero byte; the string ends at the first one, or at its end.
    text.resize(std::min<std::size_t>(got, text.size()));
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
}

bool WriteSettingInt(const char* name, std::int32_t value) {
    if (!OpenSettingsKey(true)) return false;
    const DWORD data = static_cast<DWORD>(value);
    return RegSetValueExA(SettingsKey().handle, name, 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool WriteSettingString(const char* name, const char* text) {
    if (!OpenSettingsKey(true)) return false;
    const DWORD size = static_cast<DWORD>(std::strlen(text) + 1);  // with the zero byte
    return RegSetValueExA(SettingsKey().handle, name, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text), size) == ERROR_SUCCESS;
}

namespace {

// The same for the program's own strings, through the wide calls: UTF-8 here, REG_SZ in UTF-16
// there, as an ANSI reader of the value also gets it (in its code page, where that can hold it).
std::string ReadSettingStringUtf8(const char* name, const std::string& defaultValue, bool* found) {
    if (found) *found = false;
    if (!OpenSettingsKey(false)) return defaultValue;
    const HKEY key = SettingsKey().handle;
    const std::wstring wideName = WidenUtf8(name);
    DWORD size = 0;
    RegQueryValueExW(key, wideName.c_str(), nullptr, nullptr, nullptr, &size);
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = size;
    const LONG status =
        RegQueryValueExW(key, wideName.c_str(), nullptr, nullptr,
                         size ? reinterpret_cast<BYTE*>(text.data()) : nullptr, &got);
    if (found) *found = status == ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) return defaultValue;
    // The data need not end in a zero; the string ends at the first one, or at its end.
    text.resize(std::min<std::size_t>(got / sizeof(wchar_t), text.size()));
    const std::size_t zero = text.find(L'\0');
    if (zero != std::wstring::npos) text.resize(zero);
    return NarrowToUtf8(text);
}

bool WriteSettingStringUtf8(const char* name, const std::string& text) {
    if (!OpenSettingsKey(true)) return false;
    const std::wstring wide = WidenUtf8(text);
    const DWORD size = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));  // with the zero
    return RegSetValueExW(SettingsKey().handle, WidenUtf8(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()), size) == ERROR_SUCCESS;
}

}  // namespace

std::int32_t CRegistrySettingsStore::ReadInt(const char* name, std::int32_t defaultValue) {
    return ReadSettingInt(name, defaultValue);
}

std::string CRegistrySettingsStore::ReadString(const char* name, const std::string& defaultValue,
                                               bool* found) {
    return ReadSettingStringUtf8(name, defaultValue, found);
}

bool CRegistrySettingsStore::WriteInt(const char* name, std::int32_t value) {
    return WriteSettingInt(name, value);
}

bool CRegistrySettingsStore::WriteString(const char* name, const std::string& text) {
    return WriteSettingStringUtf8(name, text);
}
