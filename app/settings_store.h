// The values the program remembers between runs, and the small store they live in. On Windows
// the store is the current user's registry key; tests use a map.
#pragma once

#include <cstdint>
#include <string>

// Value names, defined once.
namespace SettingName {
inline constexpr char kIgnoreNumbers[] = "IgnoreNumbers";
inline constexpr char kAllowReverseKeywords[] = "AllowReverseKeywords";
inline constexpr char kExcludeWordsDirectlyFromText[] = "ExcludeWordsDirectlyFromText";
inline constexpr char kMinColumnWidth[] = "MinColumnWidth";
inline constexpr char kMaxColumnWidth[] = "MaxColumnWidth";
inline constexpr char kMaxResultLength[] = "MaxResultLength";
inline constexpr char kMaxDistanceBetweenLetters[] = "MaxDistanceBetweenLetters";
inline constexpr char kInstallPath[] = "InstallPath";
}  // namespace SettingName

// The recent-documents list holds at most this many paths, stored as "Document1".."Document15".
inline constexpr int kRecentDocumentCount = 15;

// "Document%i" for i = 1..15.
std::string RecentDocumentValueName(int index);

class CSettingsStore {
  public:
    virtual ~CSettingsStore() = default;

    // The stored 32-bit value, or `defaultValue` when the key or value is missing or unreadable.
    virtual std::int32_t ReadInt(const char* name, std::int32_t defaultValue) = 0;

    // The stored string, or `defaultValue` when it is missing or unreadable. `found` (optional)
    // tells which of the two it was.
    virtual std::string ReadString(const char* name, const std::string& defaultValue,
                                   bool* found = nullptr) = 0;

    // Store a value, creating the key on first use. False when the write failed; callers that
    // do not care ignore it.
    virtual bool WriteInt(const char* name, std::int32_t value) = 0;
    virtual bool WriteString(const char* name, const std::string& text) = 0;
};
