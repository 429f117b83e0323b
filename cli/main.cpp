// strandix: the dialog's Find for people who work in a terminal or a script.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/standard_output.h"
#include "cli/tool_command.h"
#include "cli/tool_options.h"
#include "frontend/messages.h"

#ifndef STRANDIX_VERSION
#define STRANDIX_VERSION "unknown"
#endif

namespace {

// Writes all of `text` to standard output. False when the stream refused it (closed, full).
bool WriteOutput(const std::string& text) {
    return StandardOutput().Write(text) && StandardOutput().Flush();
}

int RunTool(const std::vector<std::string>& arguments) {
    ToolOptions options;
    const ParsedCommandLine parsed = ParseToolArguments(arguments, options);
    const ToolCommand& command = *parsed.command;
    switch (parsed.outcome) {
        case ParseOutcome::Help: {
            const std::string help = &command == &SearchCommand() ? ToolUsage()
                                     : command.help               ? command.help()
                                                                  : CommandHint(command) + "\n";
            if (!WriteOutput(help)) return Fail("The help could not be written.");
            return kFound;
        }
        case ParseOutcome::Version:
            if (!WriteOutput(std::string("strandix ") + STRANDIX_VERSION + "\n"))
                return Fail("The version could not be written.");
            return kFound;
        case ParseOutcome::Error:
            Fail(parsed.error);
            if (parsed.hint) std::fprintf(stderr, "%s\n", CommandHint(command).c_str());
            return kFailed;
        case ParseOutcome::Run:
            break;
    }
    return command.run(options);
}

}  // namespace

int main(int argc, char** argv) {
    // Standard output is set up before anything is written to it.
    StandardOutput();
    const CUtf8Console console;
    try {
        const int status = RunTool(ToolArguments(argc, argv));
        // Whatever a command left in standard output's last block.
        if (!StandardOutput().Flush() && status != kFailed)
            return Fail("The results could not be written to standard output.");
        return status == kInterrupted ? InterruptedStatus() : status;
    } catch (const std::bad_alloc&) {
        return Fail(kOutOfMemoryMessage);
    } catch (const std::exception& failure) {
        return Fail(std::string("The search failed: ") + failure.what());
    }
}
