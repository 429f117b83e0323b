// A settings store in memory that keeps every write as a line, in order.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "app/settings_store.h"

class CMemorySettingsStore : public CSettingsStore {
  public:
    std::map<std::string, std::variant<std::int32_t, std::string>> values;
    std::vector<std::string> writes;  // "Name=value"
    bool failWrites = false;          // writes are recorded but nothing is kept

    std::int32_t ReadInt(const char* name, std::int32_t defaultValue) override {
        const auto found = values.find(name);
        if (found == values.end() || !std::holds_alternative<std::int32_t>(found->second))
            return defaultValue;
        return std::get<std::int32_t>(found->second);
    }
    std::string ReadString(const char* name, const std::string& defaultValue,
                           bool* found) override {
        const auto value = values.find(name);
        const bool present =
            value != values.end() && std::holds_alternative<std::string>(value->second);
        if (found) *found = present;
        return present ? std::get<std::string>(value->second) : defaultValue;
    }
    bool WriteInt(const char* name, std::int32_t value) override {
        writes.push_back(std::string(name) + "=" + std::to_string(value));
        if (!failWrites) values[name] = value;
        return !failWrites;
    }
    bool WriteString(const char* name, const std::string& text) override {
        writes.push_back(std::string(name) + "=" + text);
        if (!failWrites) values[name] = text;
        return !failWrites;
    }

    // Document1..Document15 as stored ("" where missing).
    std::vector<std::string> Documents() const {
        std::vector<std::string> documents;
        for (int i = 1; i <= kRecentDocumentCount; ++i) {
            const auto value = values.find(RecentDocumentValueName(i));
            documents.push_back(value != values.end() &&
                                        std::holds_alternative<std::string>(value->second)
                                    ? std::get<std::string>(value->second)
                                    : std::string());
        }
        return documents;
    }
};
