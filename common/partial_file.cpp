#include "common/partial_file.h"

#include <limits>
#include <utility>

#include "common/sha256.h"

namespace {

struct FormatRow {
    PartialKind kind;
    const char* name;
    std::int64_t version;
    const char* text;
    const char* strandixText;  // as the message says what a file is not
};
constexpr FormatRow kFormats[] = {
    {PartialKind::Controls, "strandix-partial", 3, "a partial of a control run",
     "a partial of a strandix control run"},
    {PartialKind::Proximity, "strandix-proximity-partial", 1, "a partial of a proximity run",
     "a partial of a strandix proximity run"},
};

const FormatRow& RowOf(PartialKind kind) {
    return kFormats[kind == PartialKind::Controls ? 0 : 1];
}

// Reads JSON events up to the top-level "format" member's value and stops there.
class CFormatSax {
  public:
    std::optional<std::string> format;
    bool objectAtTop = false;
    bool found = false;
    bool failed = false;  // the text is no JSON
    std::size_t errorByte = 0;

    bool null() { return Value(); }
    bool boolean(bool) { return Value(); }
    bool number_integer(PartialJson::number_integer_t) { return Value(); }
    bool number_unsigned(PartialJson::number_unsigned_t) { return Value(); }
    bool number_float(PartialJson::number_float_t, const PartialJson::string_t&) { return Value(); }
    bool string(PartialJson::string_t& value) {
        if (depth_ == 1 && atFormat_) {
            format = value;
            found = true;
            return false;  // all that is needed
        }
        return Value();
    }
    bool binary(PartialJson::binary_t&) { return Value(); }
    bool start_object(std::size_t) {
        if (depth_ == 0) objectAtTop = true;
        return Enter();
    }
    bool end_object() { return Leave(); }
    bool start_array(std::size_t) { return Enter(); }
    bool end_array() { return Leave(); }
    bool key(PartialJson::string_t& name) {
        atFormat_ = depth_ == 1 && name == "format";
        return true;
    }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) {
        errorByte = position;
        failed = true;
        return false;
    }

  private:
    bool Value() {
        if (depth_ == 1 && atFormat_) {
            found = true;  // a "format" that is no text
            return false;
        }
        atFormat_ = false;
        return true;
    }
    bool Enter() {
        if (depth_ == 1 && atFormat_) {
            found = true;
            return false;
        }
        atFormat_ = false;
        ++depth_;
        return depth_ > 1 || objectAtTop;
    }
    bool Leave() {
        --depth_;
        return true;
    }

    int depth_ = 0;
    bool atFormat_ = false;
};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

const char* PartialFormatName(PartialKind kind) {
    return RowOf(kind).name;
}

std::int64_t PartialFormatVersion(PartialKind kind) {
    return RowOf(kind).version;
}

const char* PartialKindText(PartialKind kind) {
    return RowOf(kind).text;
}

std::string_view PartialText(std::string_view file, std::size_t& skipped) {
    skipped = 0;
    if (file.substr(0, 3) == "\xEF\xBB\xBF") skipped = 3;
    const std::size_t start = file.find_first_not_of(" \t\r\n", skipped);
    skipped = start == std::string_view::npos ? file.size() : start;
    return file.substr(skipped);
}

bool FindPartialKind(std::string_view file, PartialKind& kind, std::string& problem) {
    std::size_t skipped = 0;
    const std::string_view text = PartialText(file, skipped);
    if (text.empty()) {
        problem = "the file is empty.";
        return false;
    }
    CFormatSax reader;
    PartialJson::sax_parse(text.begin(), text.end(), &reader);
    try {
        if (reader.failed) ThrowJsonProblem(reader.errorByte, text.size(), skipped);
    } catch (const CPartialError& error) {
        problem = error.Problem();
        return false;
    }
    if (!reader.objectAtTop || !reader.format) {
        problem = reader.objectAtTop && !reader.found
                      ? "the file is not a strandix partial: it has no field \"format\"."
                      : "the file is not a strandix partial.";
        return false;
    }
    for (const FormatRow& row : kFormats) {
        if (*reader.format == row.name) {
            kind = row.kind;
            return true;
        }
    }
    problem = "the file is not a strandix partial: its format is " + Quoted(*reader.format) + ".";
    return false;
}

void InvalidPartialField(const std::string& field, const std::string& what) {
    throw CPartialError("the field \"" + field + "\" " + what + ".");
}

void ThrowJsonProblem(std::size_t errorByte, std::size_t size, std::size_t skipped) {
    if (errorByte > size)
        throw CPartialError("the file ends before the partial does: it was cut off.");
    // The parser counts the bytes it has read, the bad one included; offsets count from 0.
    throw CPartialError("the file is not valid JSON at byte " +
                        std::to_string(skipped + (errorByte > 0 ? errorByte - 1 : 0)) +
                        ": it is damaged.");
}

std::int64_t ReadPartialInteger(const PartialJson& value, const std::string& field,
                                std::int64_t lowest, std::int64_t highest) {
    auto outside = [&](const std::string& shown) {
        InvalidPartialField(field, "is " + shown + ", outside " + std::to_string(lowest) + ".." +
                                       std::to_string(highest));
    };
    std::int64_t number = 0;
    if (value.is_number_unsigned()) {
        const auto unsignedNumber = value.get<std::uint64_t>();
        if (unsignedNumber > static_cast<std::uint64_t>(highest))
            outside(std::to_string(unsignedNumber));
        number = static_cast<std::int64_t>(unsignedNumber);
    } else if (value.is_number_integer()) {
        number = value.get<std::int64_t>();
    } else {
        InvalidPartialField(field, "is not a whole number");
    }
    if (number < lowest || number > highest) outside(std::to_string(number));
    return number;
}

std::uint64_t ReadPartialUnsigned(const PartialJson& value, const std::string& field) {
    if (!value.is_number_unsigned()) InvalidPartialField(field, "is not a whole number 0 or more");
    return value.get<std::uint64_t>();
}

bool ReadPartialBool(const PartialJson& value, const std::string& field) {
    if (!value.is_boolean()) InvalidPartialField(field, "is not true or false");
    return value.get<bool>();
}

std::string ReadPartialText(const PartialJson& value, const std::string& field) {
    if (!value.is_string() || value.get_ref<const std::string&>().empty())
        InvalidPartialField(field, "is not a text");
    return value.get<std::string>();
}

std::string ReadPartialDigest(const PartialJson& value, const std::string& field) {
    std::string digest = ReadPartialText(value, field);
    if (digest.size() != 64 || digest.find_first_not_of("0123456789abcdef") != std::string::npos)
        InvalidPartialField(field, "is not a SHA-256 digest");
    return digest;
}

void CheckPartialFields(const PartialJson& object, const std::string& where,
                        const char* const* names, std::size_t count) {
    if (!object.is_object()) InvalidPartialField(where, "is not an object");
    const std::string prefix = where.empty() ? "" : where + ".";
    for (std::size_t i = 0; i < count; ++i) {
        if (!object.contains(names[i]))
            throw CPartialError("the field \"" + prefix + names[i] + "\" is missing.");
    }
    if (object.size() == count) return;
    for (auto item = object.begin(); item != object.end(); ++item) {
        bool known = false;
        for (std::size_t i = 0; i < count && !known; ++i)
            known = item.key() == names[i];
        if (!known)
            throw CPartialError("the field \"" + prefix + item.key() +
                                "\" is not part of a partial.");
    }
}

void CheckPartialFormat(const PartialJson& root, PartialKind kind) {
    const FormatRow& row = RowOf(kind);
    if (!root.is_object() || !root.contains("format") || root["format"] != row.name)
        throw CPartialError(std::string("the file is not ") + row.strandixText + ".");
    if (!root.contains("version") || root["version"] != row.version) {
        throw CPartialError(
            "the partial's format (version " +
            (root.contains("version") ? root["version"].dump() : std::string("none")) +
            ") is not one this strandix reads (version " + std::to_string(row.version) + ").");
    }
}

void CheckPartialChecksum(const PartialJson& root, const std::string& body) {
    const PartialJson& checksum = root["checksum"];
    if (!checksum.is_string() || checksum.get_ref<const std::string&>() != Sha256Hex(body)) {
        throw CPartialError(
            "the checksum does not match the content: the file was changed or damaged after it "
            "was written.");
    }
}

std::string SealPartial(std::string body) {
    const std::string checksum = Sha256Hex(body);
    body += "\"checksum\": \"" + checksum + "\"}\n";
    return body;
}

bool CShardBook::Add(std::string_view name, ShardId shard, std::vector<RunField> fields,
                     std::string& message) {
    const std::string named(name);
    if (!names_.empty()) {
        for (std::size_t i = 0; i < fields.size() && i < first_.size(); ++i) {
            const RunField& mine = fields[i];
            const RunField& theirs = first_[i];
            const std::string& a = mine.compared.empty() ? mine.shown : mine.compared;
            const std::string& b = theirs.compared.empty() ? theirs.shown : theirs.compared;
            if (a == b) continue;
            message = named + ": its " + mine.name + " (" + mine.shown + ") differs from " +
                      firstName_ + "'s (" + theirs.shown +
                      "), so the two are not parts of the same run.";
            return false;
        }
        if (shard.count != count_) {
            message = named + ": it is one of " + std::to_string(shard.count) + " shards, while " +
                      firstName_ + " is one of " + std::to_string(count_) +
                      ", so the two are not parts of the same split.";
            return false;
        }
    }
    if (const auto same = names_.find(shard.index); same != names_.end()) {
        message = same->second == named
                      ? named + ": the file is named twice."
                      : named + ": it holds shard " + ShardName(shard) + ", as " + same->second +
                            " does; each shard must be given once.";
        return false;
    }
    if (names_.empty()) {
        firstName_ = named;
        first_ = std::move(fields);
        count_ = shard.count;
    }
    names_[shard.index] = named;
    return true;
}

std::optional<ShardId> CShardBook::Missing() const {
    if (names_.empty()) return std::nullopt;
    for (std::int64_t index = 0; index < count_; ++index) {
        if (names_.count(index) == 0) return ShardId{index, count_};
    }
    return std::nullopt;
}
