// The command line of setup and uninstall runs: what the arguments ask for, and the command line
// that the first uninstall stage gives its temporary copy.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class SetupCommandKind {
    Ordinary,            // no uninstall switch at the start of the arguments
    Uninstall,           // "/uninstall": ask, then start the temporary copy
    UninstallConfirmed,  // "/uninstall /elevated": already asked, relaunched with admin rights
    FinishUninstall,     // "/uninstall:<handle>": the temporary copy removes the installation
};

struct SetupCommand {
    SetupCommandKind kind = SetupCommandKind::Ordinary;
    // For FinishUninstall: the first stage's process handle, as its decimal value.
    std::int64_t processHandle = 0;
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
// blanks), a blank, "/uninstall:" and the handle's decimal value.
std::string UninstallCopyCommandLine(std::string_view copyPath, std::int64_t processHandle);

// Arguments of a run restarted with administrator rights. A restarted setup run ignores them
// except that it never restarts itself again.
inline constexpr char kElevatedSetupArguments[] = "/elevated";
inline constexpr char kElevatedUninstallArguments[] = "/uninstall /elevated";

bool IsElevatedSetupRun(std::string_view arguments);
