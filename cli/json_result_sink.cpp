#include "cli/json_result_sink.h"

#include <utility>

namespace {

// Length of the valid UTF-8 sequence at `at`, or 0 when the byte does not start one.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t at) {
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

std::string JsonString(const std::string& text) {
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
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned int>(c));
            json += escape;
        } else {
            json += static_cast<char>(c);
        }
        ++at;
    }
    return json + "\"";
}

CJsonResultSink::CJsonResultSink(std::FILE* out, std::string document, std::int32_t letters,
                                 KeywordList keywords, CProgressReceiver& receiver)
    : out_(out),
      document_(std::move(document)),
      letters_(letters),
      keywords_(std::move(keywords)),
      receiver_(receiver) {}

bool CJsonResultSink::Flush() {
    if (std::fflush(out_) != 0 || std::ferror(out_)) failed_ = true;
    return !failed_;
}

bool CJsonResultSink::Begin(std::string& errorText) {
    errorText.clear();
    std::string head = "{\"document\": " + JsonString(document_) +
                       ", \"letters\": " + std::to_string(letters_) + ", \"keywords\": [";
    for (std::size_t i = 0; i < keywords_.size(); ++i) {
        head += (i ? ", " : "") + JsonString(keywords_[i]);
    }
    head += "], \"results\": [\n";
    std::fputs(head.c_str(), out_);
    return Flush();
}

bool CJsonResultSink::AddResult(const char* text, std::int32_t first, std::int32_t last,
                                std::int32_t columns, const ResultPositions& positions) {
    (void)text;
    std::string line = count_ ? ",\n" : "";
    line += "{\"first\": " + std::to_string(first) + ", \"last\": " + std::to_string(last) +
            ", \"columns\": " + std::to_string(columns) + ", \"positions\": [";
    for (std::size_t k = 0; k < positions.size(); ++k) {
        line += k ? ", [" : "[";
        for (std::size_t i = 0; i < positions[k].size(); ++i) {
            line += (i ? ", " : "") + std::to_string(positions[k][i]);
        }
        line += "]";
    }
    line += "]}";
    std::fputs(line.c_str(), out_);
    ++count_;
    return Flush();
}

bool CJsonResultSink::End(bool canceled) {
    std::string tail = count_ ? "\n" : "";
    tail += "], \"count\": " + std::to_string(count_) +
            ", \"canceled\": " + (canceled ? "true" : "false") + trailingMembers_ + "}\n";
    std::fputs(tail.c_str(), out_);
    return Flush();
}

bool CJsonResultSink::Progress(std::int32_t position, std::int32_t total) {
    return receiver_.ReportProgress(position, total, count_);
}
