// The command line of setup and uninstall runs: what the arguments ask for, and the command line
// that the first uninstall stage gives its temporary copy.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class SetupCommandKind {
    Ordinary,            // no uninstall switch at the start of the arguments
    Uninstall,           // "/uninstall": ask, then start the temporary copy
    UninstallConfirmed,  // "/uninstall /elevated[:<id>]": already asked, relaunched with rights
    FinishUninstall,     // "/uninstall:<handle>[,<handle>]": the temporary copy removes it all
};

struct SetupCommand {
    SetupCommandKind kind = SetupCommandKind::Ordinary;
    // For FinishUninstall: the first stage's process handles, as their decimal values.
    std::vector<std::int64_t> processHandles;
    // For UninstallConfirmed: the process id of the run that asked for the rights (0: none).
    std::int64_t requesterId = 0;
};

// The switches stand at the very first character of the arguments and are case-sensitive;
// "/uninstall:" is tested before "/uninstall", which it begins with.
SetupCommand ParseSetupArguments(std::string_view arguments);

// The arguments of a whole command line: what follows the program's name (quoted or not) and
// the blanks after it.
std::string_view ArgumentText(std::string_view commandLine);

// The decimal number at the start of `text` as the C library reads one: leading white space
// skipped, an optional sign, digits up to the first non-digit; 0 when there are none. Values
// beyond the 64-bit range stop at its ends.
std::int64_t ParseDecimal(std::string_view text);

// The temporary copy's command line: its path in double quotes (a temporary folder may contain
// blanks), a blank, "/uninstall:" and the handles' decimal values separated by commas.
std::string UninstallCopyCommandLine(std::string_view copyPath,
                                     const std::vector<std::int64_t>& processHandles);

// Arguments of a run restarted with administrator rights. A restarted setup run ignores them
// except that it never restarts itself again.
inline constexpr char kElevatedSetupArguments[] = "/elevated";
inline constexpr char kElevatedUninstallArguments[] = "/uninstall /elevated";

// The arguments of an uninstall restarted with administrator rights on behalf of the process
// `requesterId`, which waits for it: kElevatedUninstallArguments, ":" and the id.
std::string ElevatedUninstallArguments(std::int64_t requesterId);

bool IsElevatedSetupRun(std::string_view arguments);

// Whether the last uninstall stage waits on a handle it was given: `processId` is what the
// handle told of its process (0 when it could not be asked), `notAProcess` whether the system
// refused the value as no process handle at all. A process that cannot be looked into is waited
// on; this process itself never is.
bool ShouldWaitForStage(std::uint32_t processId, bool notAProcess, std::uint32_t ownId);
