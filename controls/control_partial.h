// Shards of a control run: the small file one shard writes, and the merge that puts the shards of
// one run back together into the run a single machine would have made.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/search_settings.h"

struct SearchStatistics {
    std::int64_t count = 0;
    std::optional<std::int64_t> smallestSpan;  // last - first + 1 of the shortest result

    friend bool operator==(const SearchStatistics&, const SearchStatistics&) = default;
};

// What makes two shards parts of the same run: every field must be equal.
struct ControlRunIdentity {
    std::string documentDigest;  // SHA-256 of the document's bytes, lower-case hexadecimal
    std::string alphabet;
    std::vector<std::string> keywords;
    SearchSettings settings;
    bool ignoreNumbers = false;
    std::string controlKind;
    std::uint64_t seed = 0;
    std::int64_t totalControls = 0;
    std::optional<double> expectedCount;
    SearchStatistics real;
};

struct ShardId {
    std::int64_t index = 0;  // K: the shard holds the controls i with i mod count = index
    std::int64_t count = 1;  // N
};

struct ControlPartial {
    ControlRunIdentity run;
    ShardId shard;
    // The shard's controls in increasing order: control shard.index + j * shard.count is
    // controls[j].
    std::vector<SearchStatistics> controls;
};

struct MergedControlRun {
    ControlRunIdentity run;
    std::vector<SearchStatistics> controls;  // control i is controls[i]
};

// The number of controls with i mod shard.count = shard.index among `totalControls`.
std::int64_t ShardSize(std::int64_t totalControls, ShardId shard);

// The partial as the JSON text a shard writes (ends with a newline).
std::string WriteControlPartial(const ControlPartial& partial);

// Reads and checks one partial. On failure returns false and sets `problem` to a sentence saying
// what is wrong with the text (without the file's name).
bool ReadControlPartial(std::string_view text, ControlPartial& partial, std::string& problem);

// Puts the partials of one run back together, one file at a time, so that only the controls
// themselves stay in memory.
class CPartialMerger {
  public:
    // Reads one partial and checks it against those added before. On failure returns false and
    // sets `message` to one sentence naming `name` and what is wrong; the merger is unchanged.
    bool Add(std::string_view name, std::string_view text, std::string& message);

    // Checks that every shard has come and hands over the whole run. On failure returns false
    // and sets `message` to one sentence naming the missing shard.
    bool Finish(MergedControlRun& merged, std::string& message);

  private:
    struct Shard {
        std::string name;
        std::vector<SearchStatistics> controls;
    };

    std::string firstName_;
    std::optional<ControlPartial> first_;   // the run's fields, without controls
    std::map<std::int64_t, Shard> shards_;  // by shard index
};
