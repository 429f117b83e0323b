// What both kinds of partial share: the framing of the file (a JSON object whose "format" and
// "version" come first and whose "checksum" ends it), the reading of its fields with one set of
// messages, and the core of the merge (the shards of one run, each once, every one present).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/shard.h"

using PartialJson = nlohmann::json;

enum class PartialKind { Controls, Proximity };

// The "format" a partial of `kind` names, and the version this program writes and reads.
const char* PartialFormatName(PartialKind kind);
std::int64_t PartialFormatVersion(PartialKind kind);
// "a partial of a control run", "a partial of a proximity run".
const char* PartialKindText(PartialKind kind);

// The text of a file with what an editor may put before the JSON left out: a UTF-8 byte-order
// mark and blank lines (whitespace). `skipped` is set to the bytes left out.
std::string_view PartialText(std::string_view file, std::size_t& skipped);

// The kind of partial `file` is, from its top-level "format" member (read without reading the
// rest). False with `problem` set (a sentence without the file's name) when the file is empty,
// is no JSON object, or names no format this program reads.
bool FindPartialKind(std::string_view file, PartialKind& kind, std::string& problem);

// A problem found in a partial, thrown by the readers below and caught by the kind's reader.
class CPartialError {
  public:
    explicit CPartialError(std::string problem) : problem_(std::move(problem)) {}
    const std::string& Problem() const { return problem_; }

  private:
    std::string problem_;
};

// Throws "the field "FIELD" WHAT."
[[noreturn]] void InvalidPartialField(const std::string& field, const std::string& what);
// Throws what a JSON parser's failure at `errorByte` (counted as the parser counts: the bytes read,
// the bad one included) means in a text of `size` bytes, of which the first `skipped` were left
// out before parsing: cut off, or damaged at a byte counted from the file's start.
[[noreturn]] void ThrowJsonProblem(std::size_t errorByte, std::size_t size, std::size_t skipped);

// The values of fields, checked: each failure names the field.
std::int64_t ReadPartialInteger(const PartialJson& value, const std::string& field,
                                std::int64_t lowest, std::int64_t highest);
std::uint64_t ReadPartialUnsigned(const PartialJson& value, const std::string& field);
bool ReadPartialBool(const PartialJson& value, const std::string& field);
std::string ReadPartialText(const PartialJson& value, const std::string& field);
// A SHA-256 digest in lower-case hexadecimal.
std::string ReadPartialDigest(const PartialJson& value, const std::string& field);
// An object with exactly the fields named: a field more is as suspicious as one missing.
// `where` is the object's field ("" for the partial itself).
void CheckPartialFields(const PartialJson& object, const std::string& where,
                        const char* const* names, std::size_t count);
// The partial's own "format" and "version" are those of `kind`.
void CheckPartialFormat(const PartialJson& root, PartialKind kind);
// The "checksum" is the SHA-256 of `body`, the text written before it.
void CheckPartialChecksum(const PartialJson& root, const std::string& body);

// The whole partial: `body` (everything up to the checksum, ending with the separator after
// the last member) with the checksum and the object's end, and a line break.
std::string SealPartial(std::string body);

// One field that makes two partials parts of the same run: how messages name it, its value as
// they show it, and the value compared (the shown value when empty).
struct RunField {
    std::string name;
    std::string shown;
    std::string compared;
};

// Puts the shards of one run together: each partial's run fields are checked against the
// first partial's, each shard is given once, and every shard must come.
class CShardBook {
  public:
    // Checks a partial named `name` holding shard `shard` of the run `fields`. False with
    // `message` set (naming `name` and what is wrong); the book is then unchanged.
    bool Add(std::string_view name, ShardId shard, std::vector<RunField> fields,
             std::string& message);
    // The first shard no partial holds, when there is one; no value before the first Add.
    std::optional<ShardId> Missing() const;
    bool Empty() const { return names_.empty(); }
    std::int64_t ShardCount() const { return count_; }
    // Name of the partial of shard `index`.
    const std::string& NameOf(std::int64_t index) const { return names_.at(index); }

  private:
    std::string firstName_;
    std::vector<RunField> first_;
    std::int64_t count_ = 0;
    std::map<std::int64_t, std::string> names_;  // by shard index
};
