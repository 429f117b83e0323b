// `strandix proximity`: the corrected distance of a word pair or of a list of persons' names and
// dates, their statistics and the permutation test; and the merge of its shards' partials.
#pragma once

#include "cli/tool_options.h"

// Exit status: 0 when some pair has c defined, 1 when none has, 2 on an error, 130 after
// Ctrl-C; a shard answers 0 once its partial is written.
int RunProximityCommand(const ToolOptions& options);

// `strandix merge`: proximity partials when the first partial named is one, otherwise the
// partials of a control run. Exit status as the single run's.
int RunAnyMergeCommand(const ToolOptions& options);
