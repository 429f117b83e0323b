// The search: `strandix [options] DOCUMENT KEYWORD...` as a page, as JSON, with controls, or as
// one shard of a control run.
#pragma once

#include "cli/tool_options.h"

// Reads the document and runs what the options ask for. Exit status.
int RunSearchCommand(const ToolOptions& options);
