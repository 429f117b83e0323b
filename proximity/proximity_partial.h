// Shards of a proximity run: the partial file one shard writes (its rows of the c matrix) and
// the merge that puts the rows of all shards together into the single run's matrix.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "common/partial_file.h"
#include "common/shard.h"
#include "proximity/proximity_run.h"

// The persons whose names are the rows of shard K of N among `persons`: [K*P/N, (K+1)*P/N).
std::size_t ShardFirstRow(std::size_t persons, ShardId shard);

struct ProximityPartial {
    ProximityRequest request;  // documentDigest set; words in letter codes
    ShardId shard;
    ProximityRows rows;
};

// The partial as the JSON text a shard writes (ends with a newline).
std::string WriteProximityPartial(const ProximityPartial& partial);

// Reads and checks one partial (a leading byte-order mark and blank lines are allowed). False
// with `problem` set to a sentence (without the file's name).
bool ReadProximityPartial(std::string_view text, ProximityPartial& partial, std::string& problem);

// Puts the partials of one run together.
class CProximityMerger {
  public:
    // False with `message` (naming `name`) when the partial is damaged or belongs elsewhere.
    bool Add(std::string_view name, std::string_view text, std::string& message);
    // Checks that every shard has come; hands over the request and every row.
    bool Finish(ProximityRequest& request, ProximityRows& rows, std::string& message);

  private:
    CShardBook book_;
    std::optional<ProximityPartial> first_;
    std::map<std::int64_t, ProximityRows> rows_;  // by shard index
};
