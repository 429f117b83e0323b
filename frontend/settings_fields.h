// The search settings as the user types them, in the dialog's boxes or the tool's options, with
// the bounds and checks both front ends apply when they read them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "search/search_settings.h"

// One value per control. Check boxes hold their check state (0, 1 or 2); numbers are the
// values typed into the edit boxes, in the user's order (the column widths are not sorted here).
// The defaults are those of SearchSettings.
struct DialogFields {
    std::int32_t AllowReverseKeywords = 1;          // check box 1008
    std::int32_t ColumnWidthTo = 100;               // edit 1011
    std::int32_t LettersWithin = 500;               // edit 1015
    std::int32_t AllKeywordsWithin = 1000;          // edit 1013
    std::int32_t ColumnWidthFrom = 10;              // edit 1009
    std::int32_t ExcludeWordsDirectlyFromText = 0;  // check box 1021
    std::int32_t IgnoreNumbers = 0;                 // check box 1022

    friend bool operator==(const DialogFields&, const DialogFields&) = default;
};

struct FieldBounds {
    std::int32_t lowest;
    std::int32_t highest;
};

// Valid range of each numeric field on reading.
inline constexpr FieldBounds kColumnWidthToBounds{1, 500};
inline constexpr FieldBounds kLettersWithinBounds{1, 50000};
inline constexpr FieldBounds kAllKeywordsWithinBounds{0, 500000};
inline constexpr FieldBounds kColumnWidthFromBounds{1, 10000};

// Reads a numeric field's text: only its first 31 characters count; blanks and tabs may stand
// before and after an optional sign and decimal digits; a value beyond 32 bits becomes the
// nearest 32-bit limit. A result of 0 is accepted only when the text (after leading blanks and
// tabs) starts with the digit 0. Anything else left over rejects the text (nullopt).
std::optional<std::int32_t> ParseIntegerField(std::string_view text);

// "Please enter an integer."
extern const char kEnterIntegerMessage[];
// "Please enter an integer between <lowest> and <highest>."
std::string FormatBoundsMessage(FieldBounds bounds);

// The outcome of checking one numeric field's text: the value, or the message to show.
struct NumberFieldCheck {
    std::optional<std::int32_t> value;
    std::string message;  // empty when `value` is set
};
NumberFieldCheck CheckNumberField(FieldBounds bounds, std::string_view text);

// The search settings the fields ask for: flags ticked = check state not 0; the column widths
// put in order (smaller = minimum).
SearchSettings MakeSearchSettings(const DialogFields& fields);
