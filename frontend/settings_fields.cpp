#include "frontend/settings_fields.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

const char kEnterIntegerMessage[] = "Please enter an integer.";

namespace {

bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<std::int32_t> ParseIntegerField(std::string_view text) {
    // The edit box's text is read through a 32-byte buffer: 31 characters and the zero.
    text = text.substr(0, 31);
    std::size_t at = 0;
    while (at < text.size() && IsBlankOrTab(text[at]))
        ++at;
    const bool startsWithZero = at < text.size() && text[at] == '0';

    // An optional sign and digits, as strtol reads them: without digits nothing is consumed.
    std::size_t cursor = at;
    bool negative = false;
    if (cursor < text.size() && (text[cursor] == '+' || text[cursor] == '-')) {
        negative = text[cursor] == '-';
        ++cursor;
    }
    std::int64_t magnitude = 0;
    bool anyDigit = false;
    constexpr std::int64_t kCap = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    while (cursor < text.size() && IsDigit(text[cursor])) {
        anyDigit = true;
        magnitude = magnitude * 10 + (text[cursor] - '0');
        if (magnitude > kCap)
            magnitude = kCap;  // stays beyond every bound; only the limit matters from here
        ++cursor;
    }
    std::int32_t value = 0;
    if (anyDigit) {
        at = cursor;
        const std::int64_t signedValue = negative ? -magnitude : magnitude;
        if (signedValue > std::numeric_limits<std::int32_t>::max())
            value = std::numeric_limits<std::int32_t>::max();
        else if (signedValue < std::numeric_limits<std::int32_t>::min())
            value = std::numeric_limits<std::int32_t>::min();
        else
            value = static_cast<std::int32_t>(signedValue);
    }

    if (value == 0 && !startsWithZero) return std::nullopt;
    while (at < text.size() && IsBlankOrTab(text[at]))
        ++at;
    if (at != text.size()) return std::nullopt;
    return value;
}

std::string FormatBoundsMessage(FieldBounds bounds) {
    return "Please enter an integer between " + std::to_string(bounds.lowest) + " and " +
           std::to_string(bounds.highest) + ".";
}

NumberFieldCheck CheckNumberField(FieldBounds bounds, std::string_view text) {
    const std::optional<std::int32_t> value = ParseIntegerField(text);
    if (!value) return {std::nullopt, kEnterIntegerMessage};
    if (*value < bounds.lowest || *value > bounds.highest)
        return {std::nullopt, FormatBoundsMessage(bounds)};
    return {value, {}};
}

SearchSettings MakeSearchSettings(const DialogFields& fields) {
    SearchSettings settings;
    settings.AllowReverseKeywords = fields.AllowReverseKeywords != 0;
    settings.ExcludeWordsDirectlyFromText = fields.ExcludeWordsDirectlyFromText != 0;
    settings.MinColumnWidth = std::min(fields.ColumnWidthFrom, fields.ColumnWidthTo);
    settings.MaxColumnWidth = std::max(fields.ColumnWidthFrom, fields.ColumnWidthTo);
    settings.MaxResultLength = fields.AllKeywordsWithin;
    settings.MaxDistanceBetweenLetters = fields.LettersWithin;
    return settings;
}
