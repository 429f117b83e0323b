#include "text/utf8.h"

std::size_t Utf8BomLength(std::string_view text) {
    return text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
}

bool DecodeUtf8(std::string_view text, std::size_t& at, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        codePoint = lead;
        ++at;
        return true;
    }
    // The second byte's range carries the rules against overlong forms, surrogates and values
    // above U+10FFFF (the table of well-formed sequences in the Unicode standard).
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0Fu;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07u;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return false;
    }
    if (text.size() - at < length) return false;
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (byte < low || byte > high) return false;
        low = 0x80;
        high = 0xBF;
        value = (value << 6) | (byte & 0x3Fu);
    }
    codePoint = value;
    at += length;
    return true;
}

std::size_t FindInvalidUtf8(std::string_view text) {
    std::size_t at = 0;
    char32_t codePoint = 0;
    while (at < text.size()) {
        if (!DecodeUtf8(text, at, codePoint)) return at;
    }
    return std::string_view::npos;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}
