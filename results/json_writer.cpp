#include "results/json_writer.h"

#include <charconv>
#include <cmath>

namespace {

// Length of the valid UTF-8 sequence at `at`, or 0 when the byte does not start one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned int lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, lowest = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    unsigned int code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c >= 0x80) {
            if (const std::size_t length = Utf8SequenceLength(text, at)) {
                json.append(text, at, length);
                at += length;
                continue;
            }
        }
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            json += "\\u00";
            json += kHex[c >> 4];
            json += kHex[c & 15];
        } else {
            json += static_cast<char>(c);
        }
        ++at;
    }
    return json + "\"";
}

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

void CJsonWriter::BeforeItem() {
    lineStarted_ = false;
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (empty_.empty()) return;
    if (!empty_.back() && !separated_) text_ += lineBreak_ ? ",\n" : ", ";
    empty_.back() = false;
    lineBreak_ = false;
    separated_ = false;
}

CJsonWriter& CJsonWriter::BeginObject() {
    BeforeItem();
    text_ += '{';
    empty_.push_back(true);
    return *this;
}

CJsonWriter& CJsonWriter::EndObject() {
    lineStarted_ = false;
    if (lineBreak_) text_ += '\n';
    lineBreak_ = false;
    separated_ = false;
    empty_.pop_back();
    text_ += '}';
    return *this;
}

CJsonWriter& CJsonWriter::BeginArray() {
    BeforeItem();
    text_ += '[';
    empty_.push_back(true);
    return *this;
}

CJsonWriter& CJsonWriter::EndArray() {
    lineStarted_ = false;
    if (lineBreak_) text_ += '\n';
    lineBreak_ = false;
    separated_ = false;
    empty_.pop_back();
    text_ += ']';
    return *this;
}

CJsonWriter& CJsonWriter::Key(std::string_view name) {
    BeforeItem();
    text_ += JsonString(name);
    text_ += ": ";
    afterKey_ = true;
    return *this;
}

CJsonWriter& CJsonWriter::String(std::string_view text) {
    return Raw(JsonString(text));
}

CJsonWriter& CJsonWriter::Number(double value) {
    return Raw(JsonNumber(value));
}

CJsonWriter& CJsonWriter::OptionalNumber(const std::optional<double>& value) {
    return value ? Number(*value) : Null();
}

CJsonWriter& CJsonWriter::Integer(std::int64_t value) {
    return Raw(std::to_string(value));
}

CJsonWriter& CJsonWriter::Unsigned(std::uint64_t value) {
    return Raw(std::to_string(value));
}

CJsonWriter& CJsonWriter::Bool(bool value) {
    return Raw(value ? "true" : "false");
}

CJsonWriter& CJsonWriter::Null() {
    return Raw("null");
}

CJsonWriter& CJsonWriter::Raw(std::string_view json) {
    BeforeItem();
    text_ += json;
    return *this;
}

CJsonWriter& CJsonWriter::LineBreak() {
    if (!empty_.empty() && empty_.back() && !afterKey_) {
        if (!lineStarted_) text_ += '\n';
        lineStarted_ = true;
    } else {
        lineBreak_ = true;
    }
    return *this;
}

CJsonWriter& CJsonWriter::Separator() {
    if (!empty_.empty() && !empty_.back() && !separated_) {
        text_ += lineBreak_ ? ",\n" : ", ";
        separated_ = true;
        lineBreak_ = false;
    }
    return *this;
}

std::string CJsonWriter::Take() {
    std::string taken;
    taken.swap(text_);
    return taken;
}
