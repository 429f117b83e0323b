#include "common/shard.h"

std::string ShardName(ShardId shard) {
    return std::to_string(shard.index) + "/" + std::to_string(shard.count);
}
