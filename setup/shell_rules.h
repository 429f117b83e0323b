// The rules of the file and shell utilities that do not need the system: the retry loop of a
// copy and the choice between special folders.
#pragma once

#include <functional>
#include <string>

// Calls `attempt` up to `attempts` times and answers true as soon as one succeeds. Every failed
// attempt is followed by `pause`, the last one too. Zero or fewer attempts answer false at once.
bool RetryWithPause(int attempts, const std::function<bool()>& attempt,
                    const std::function<void()>& pause);

// The shell's numbers of the special folders that setup uses.
inline constexpr int kCsidlPrograms = 0x02;        // the current user's Start-menu programs
inline constexpr int kCsidlCommonPrograms = 0x17;  // the Start-menu programs of all users
inline constexpr int kCsidlProgramFiles = 0x26;

// Looks a special folder up by its number; on success `folder` holds its path.
using SpecialFolderLookup = std::function<bool(std::string& folder, int csidl)>;

// Program Files, or "c:\program files" when the shell cannot say.
std::string ProgramFilesFolderFrom(const SpecialFolderLookup& lookup);

// The all-users Start-menu programs folder, or the current user's when the first cannot be
// located. False when neither can.
bool ProgramsMenuFolderFrom(const SpecialFolderLookup& lookup, std::string& folder);
