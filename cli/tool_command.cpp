#include "cli/tool_command.h"

#include "cli/search_command.h"
#include "cli/shard_command.h"

namespace {

bool CheckMergeOptions(ToolOptions& options, std::string& error) {
    if (!options.operands.empty()) return true;
    error = "Please name the partials to merge.";
    return false;
}

const std::vector<ToolCommand> kCommands = {
    {kSearchCommand, "", "strandix [options] DOCUMENT KEYWORD...", "", HelpSection::None,
     "Try 'strandix --help' for more information.", true, &CheckSearchOptions, &RunSearchCommand},
    {kMergeCommand, "merge", "strandix merge [--json] [--report FILE.html] PARTIAL...",
     "check that the partials are the shards of one run, all of them once,\n"
     "and print the report the single run prints",
     HelpSection::Shards, nullptr, false, &CheckMergeOptions, &RunMergeCommand},
};

}  // namespace

const std::vector<ToolCommand>& ToolCommands() {
    return kCommands;
}

const ToolCommand& SearchCommand() {
    return kCommands.front();
}

const ToolCommand* FindToolCommand(std::string_view name) {
    for (const ToolCommand& command : kCommands) {
        if (*command.name && name == command.name) return &command;
    }
    return nullptr;
}

std::string CommandHint(const ToolCommand& command) {
    return command.hint ? command.hint : "Usage: " + std::string(command.usage);
}
