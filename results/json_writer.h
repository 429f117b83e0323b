// JSON text as every part of the program writes it: one escaper, one way to write numbers, and a
// writer that puts the separators between members and items.
//
// Strings: valid UTF-8 passes through; a quote and a backslash are escaped; control characters,
// DEL and every byte that is not part of valid UTF-8 (a path in a legacy code page) stand as the
// character of that number, \u00XX. Doubles: the shortest text that reads back as the same
// double (std::to_chars), null when not finite.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// `text` as a JSON string with its quotes.
std::string JsonString(std::string_view text);

// `value` as the shortest JSON number that reads back as the same double; "null" for an
// infinity or a NaN, which JSON cannot hold.
std::string JsonNumber(double value);

// Appends JSON to a string. Items of an object and of an array are separated by ", ", or by
// ",\n" after LineBreak. Nothing is checked: the caller pairs Begin and End, and gives each
// member of an object its Key before its value.
class CJsonWriter {
  public:
    CJsonWriter& BeginObject();
    CJsonWriter& EndObject();
    CJsonWriter& BeginArray();
    CJsonWriter& EndArray();

    // The name of the object member whose value follows.
    CJsonWriter& Key(std::string_view name);

    CJsonWriter& String(std::string_view text);
    CJsonWriter& Number(double value);
    // The number, or null when there is none.
    CJsonWriter& OptionalNumber(const std::optional<double>& value);
    CJsonWriter& Integer(std::int64_t value);
    CJsonWriter& Unsigned(std::uint64_t value);
    CJsonWriter& Bool(bool value);
    CJsonWriter& Null();
    // A value that is JSON already (an object written elsewhere, a number in a fixed format).
    CJsonWriter& Raw(std::string_view json);

    // The next item starts on a line of its own: in an empty container the line break is
    // written at once (once), otherwise it follows the next separator, or precedes the
    // container's end.
    CJsonWriter& LineBreak();
    // Writes the separator that the next item would write, so that the text so far ends with it.
    CJsonWriter& Separator();

    const std::string& Text() const { return text_; }
    // The text so far, which is then cleared; the writer stays in its container.
    std::string Take();

  private:
    void BeforeItem();

    std::string text_;
    std::vector<bool> empty_;  // for each open container: no item yet
    bool afterKey_ = false;
    bool lineBreak_ = false;
    bool separated_ = false;
    bool lineStarted_ = false;  // the empty container's line break is written
};
