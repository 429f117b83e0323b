#include "setup/shell_rules.h"

bool RetryWithPause(int attempts, const std::function<bool()>& attempt,
                    const std::function<void()>& pause) {
    for (int i = 0; i < attempts; ++i) {
        if (attempt()) return true;
        pause();
    }
    return false;
}

std::string ProgramFilesFolderFrom(const SpecialFolderLookup& lookup) {
    std::string folder;
    if (lookup(folder, kCsidlProgramFiles)) return folder;
    return "c:\\program files";
}

bool ProgramsMenuFolderFrom(const SpecialFolderLookup& lookup, std::string& folder) {
    return lookup(folder, kCsidlCommonPrograms) || lookup(folder, kCsidlPrograms);
}
