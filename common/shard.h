// Which part of a run one machine computes: shard K of N.
#pragma once

#include <cstdint>
#include <string>

struct ShardId {
    std::int64_t index = 0;  // K: the shard holds the controls i with i mod count = index
    std::int64_t count = 1;  // N
};

// "K/N", as the tool's --shard takes it and its messages name a shard.
std::string ShardName(ShardId shard);
