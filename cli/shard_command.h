// Control runs split across machines: --shard K/N writes one shard's partial, and
// `strandix merge` puts the partials together into the single run's report.
#pragma once

#include <string>
#include <vector>

#include "cli/controls_command.h"
#include "controls/control_partial.h"

struct ShardCommand {
    const ControlCommand& controls;
    ShardId shard;
    std::string documentDigest;  // of the document's bytes as read
    std::string outputPath;      // -o; empty: standard output
};

// Runs the real search and the shard's controls and writes the partial. Exit status: 0 when
// the partial is written (whatever the real search found, so that schedulers go on to the
// merge), 130 when Ctrl-C stopped the controls (no partial is written), 2 on an error.
int RunShardCommand(const ShardCommand& command, ToolOutput& output);

// `strandix merge [--json] [--report FILE.html] [--document FILE] PARTIAL...`: the partials
// are the operands, each read once; the "format" of the first says whether they are the
// partials of a control run or of a proximity run, and every other must be of the same kind.
// Exit status as the single run's: 0 when the real search found results (some pair has c
// defined), 1 when not, 2 when the partials are refused or cannot be read, or on an error.
int RunMergeCommand(const ToolOptions& options);
