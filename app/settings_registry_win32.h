// The settings key of the current user, HKEY_CURRENT_USER\Software\Tarnwick\Strandix!, and
// the helpers that read and write single values in it.
#pragma once

#include <cstdint>
#include <string>

#include "app/settings_store.h"

// "Software\Tarnwick\Strandix!"
extern const char kSettingsSubkey[];

// Makes the process-wide key handle ready: the first success keeps the handle for the rest of
// the process (closed at exit). `create`: create the key if missing (writes), otherwise only open
// it (reads). A failure leaves it unready, so the next call tries again.
bool OpenSettingsKey(bool create);

// The value read as 4 bytes, whatever its type: shorter data is a little-endian number with
// the missing bytes 0. The default when the key or value is missing or longer than 4 bytes.
std::int32_t ReadSettingInt(const char* name, std::int32_t defaultValue);

// In the system's ANSI code page (setup's paths): the value's bytes up to the first zero byte,
// whatever its type; the default when the key or
// value is missing. `found` (optional) tells whether the value was read.
std::string ReadSettingString(const char* name, const std::string& defaultValue,
                              bool* found = nullptr);

// REG_DWORD with the value's 4 bytes; creates the key on first use.
bool WriteSettingInt(const char* name, std::int32_t value);

// REG_SZ with the text and its terminating zero byte; creates the key on first use.
bool WriteSettingString(const char* name, const char* text);

// The store the program uses: the helpers above for numbers; strings (the recent documents) are
// UTF-8 and go through the wide calls, still as REG_SZ, read as UTF-16 up to the first zero
// character.
class CRegistrySettingsStore : public CSettingsStore {
  public:
    std::int32_t ReadInt(const char* name, std::int32_t defaultValue) override;
    std::string ReadString(const char* name, const std::string& defaultValue,
                           bool* found = nullptr) override;
    bool WriteInt(const char* name, std::int32_t value) override;
    bool WriteString(const char* name, const std::string& text) override;
};
