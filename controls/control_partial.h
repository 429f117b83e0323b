// Shards of a control run: the small file one shard writes, and the merge that puts the shards of
// one run back together into the run a single machine would have made.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/partial_file.h"
#include "common/shard.h"
#include "controls/control_report.h"

// The most controls a run has: the bound of the tool's --controls, and of a partial's.
inline constexpr std::int64_t kMostControls = 100000000;

// The largest text a partial can be: at most 16 MiB of fields (its keywords were typed on a
// command line) and a row for each control of the largest run, each row at most 64 bytes (three
// numbers below 2^63 with their brackets, commas, blanks and line break). A larger file is no
// partial and is refused before it is read.
inline constexpr std::uint64_t kMaxPartialBytes =
    (std::uint64_t{16} << 20) + std::uint64_t{64} * kMostControls;

// One shard's part of a control run. Two shards belong to the same run when every field but the
// shard and the controls is equal.
struct ControlPartial {
    std::string documentDigest;  // SHA-256 of the document's bytes, lower-case hexadecimal
    ShardId shard;
    // The run with only this shard's controls, in increasing order: control
    // shard.index + j * shard.count is run.controls[j].
    ControlRun run;
};

// The number of controls with i mod shard.count = shard.index among `totalControls`.
std::int64_t ShardSize(std::int64_t totalControls, ShardId shard);

// The partial as the JSON text a shard writes (ends with a newline).
std::string WriteControlPartial(const ControlPartial& partial);

// Reads and checks one partial (a leading byte-order mark and blank lines are allowed). On
// failure returns false and sets `problem` to a sentence saying what is wrong with the text
// (without the file's name).
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
    bool Finish(ControlRun& merged, std::string& message);

  private:
    CShardBook book_;
    std::optional<ControlPartial> first_;  // the run's fields, without controls
    std::map<std::int64_t, std::vector<SearchStatistics>> controls_;  // by shard index
};
