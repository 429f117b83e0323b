#include "cli/integer_option.h"

#include <charconv>

#include "frontend/settings_fields.h"

namespace {

std::string BetweenMessage(IntegerRange range) {
    return "Please enter an integer between " + std::to_string(range.lowest) + " and " +
           std::to_string(range.highest) + ".";
}

std::optional<std::uint64_t> ReadDigits(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return number;
}

}  // namespace

std::optional<std::uint64_t> ReadInteger(std::string_view text, IntegerRange range,
                                         std::string& message) {
    std::optional<std::uint64_t> number;
    if (range.asTheDialogReads) {
        const std::optional<std::int32_t> field = ParseIntegerField(text);
        if (!field) {
            message = kEnterIntegerMessage;
            return std::nullopt;
        }
        if (*field >= 0) number = static_cast<std::uint64_t>(*field);
    } else {
        number = ReadDigits(text);
    }
    if (!number || *number < range.lowest || *number > range.highest) {
        message = BetweenMessage(range);
        return std::nullopt;
    }
    return number;
}
