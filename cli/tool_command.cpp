#include "cli/tool_command.h"

#include "cli/proximity_command.h"
#include "cli/proximity_options.h"
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
    {kMergeCommand, "merge",
     "strandix merge [--json] [--report FILE.html] [--document FILE] PARTIAL...",
     "check that the partials are the shards of one run, all of them once,\n"
     "and print the report the single run prints (control runs and proximity)",
     HelpSection::Shards, nullptr, false, &CheckMergeOptions, &RunAnyMergeCommand},
    {kProximityCommand, "proximity",
     "strandix proximity [options] DOCUMENT WORD1 WORD2|--list FILE",
     "the corrected distance of a word pair, or of every name and date of\n"
     "a list of persons, with P1, P2, T and their permutation test",
     HelpSection::Proximity, "Try 'strandix proximity --help' for more information.", false,
     &CheckProximityOptions, &RunProximityCommand, &ProximityUsage},
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
