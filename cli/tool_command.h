// The tool's commands, and how one is added.
//
// `strandix [options] DOCUMENT KEYWORD...` runs the search; `strandix NAME ...` runs the command
// NAME on the arguments after it. To add a command:
//   1. give it a bit in ToolCommandId and a row in the command table (tool_command.cpp): its
//      name, its usage line and summary for --help and the section that lists it, the check of
//      its whole command line, and the function that runs it;
//   2. add the options it takes to the option table (tool_options.cpp) with its bit in
//      `commands` (an option several commands take carries all their bits) and the fields they
//      set to ToolOptions. --help shows the search's rows; for a command of its own, keep its
//      rows' section None and describe them in its usage line. cli_option_docs checks --help
//      against cli/strandix.1 and cli/strandix.bash, so list new options there too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/tool_options.h"

enum ToolCommandId : unsigned {
    kSearchCommand = 1u << 0,
    kMergeCommand = 1u << 1,
    kProximityCommand = 1u << 2,
};

struct ToolCommand {
    ToolCommandId id;
    const char* name;     // the first argument that chooses it; "" for the search
    const char* usage;    // "strandix merge [--json] [--report FILE.html] ..."
    const char* summary;  // beside the usage in --help; '\n' continues on the next line
    HelpSection section;  // the section of --help that lists it (None: the search itself)
    // The line after a command-line error; null: "Usage: " and the usage line.
    const char* hint;
    // The search's own conventions: "--switch=value" is "takes no value" rather than unknown,
    // and the hint follows every error, not only unknown options and the whole-line checks.
    bool searchSyntax;
    // The checks of the whole command line; false with `error` set.
    bool (*check)(ToolOptions& options, std::string& error);
    // Runs it; answers the exit status.
    int (*run)(const ToolOptions& options);
    // Its own --help text; null: "Usage: " and the usage line.
    std::string (*help)() = nullptr;
};

const std::vector<ToolCommand>& ToolCommands();
const ToolCommand& SearchCommand();
// The command whose name is `name`; null when none is.
const ToolCommand* FindToolCommand(std::string_view name);
// The line after a command-line error.
std::string CommandHint(const ToolCommand& command);
