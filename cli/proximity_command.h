// `strandix proximity`: the corrected distance of a word pair or of a list of persons' names and
// dates, their statistics and the permutation test; and the merge of its shards' partials.
#pragma once

#include "cli/tool_options.h"

// Exit status: 0 when some pair has c defined, 1 when none has, 2 on an error, 130 after
// Ctrl-C; a shard answers 0 once its partial is written.
int RunProximityCommand(const ToolOptions& options);

// `strandix merge` (see RunMergeCommand).
int RunAnyMergeCommand(const ToolOptions& options);

class CProximityMerger;
// The merge of a proximity run's partials, every one of them added to `merger`: the permutation
// test and the single run's outputs. With --report the grids take the document named by
// --document (refused when its SHA-256 is not the partials'), or the one at the path the shards
// read, when it is there; otherwise a note says which path was tried.
int FinishProximityMerge(const ToolOptions& options, CProximityMerger& merger);
