// The one way the tool reads an integer option, with one set of messages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct IntegerRange {
    std::uint64_t lowest = 0;
    std::uint64_t highest = 0;
    // Read as the dialog reads its number boxes (blanks and a sign allowed, see
    // ParseIntegerField), so that a value means the same in both; otherwise decimal digits only.
    bool asTheDialogReads = false;
};

// The integer `text` names within `range`, or nullopt with `message` set: "Please enter an
// integer between LOWEST and HIGHEST.", or, for text that the dialog would not read as a
// number at all, "Please enter an integer."
std::optional<std::uint64_t> ReadInteger(std::string_view text, IntegerRange range,
                                         std::string& message);
