// The list of recently used documents, most recent first.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/result_paths.h"
#include "app/settings_store.h"

// `text` without leading and trailing white space (blank, tab, line feed, carriage return,
// vertical tab, form feed).
std::string TrimWhiteSpace(std::string_view text);

class CRecentDocuments {
  public:
    // `equals` decides which entry a new path replaces; Windows passes the system's comparison,
    // which also folds the code page's accented letters.
    explicit CRecentDocuments(PathEquals equals = EqualIgnoringCase) : equals_(std::move(equals)) {}

    // Entry 0 is the most recent document.
    const std::vector<std::string>& Entries() const { return entries_; }

    // Appends every non-empty value "Document1".."Document15" in order, so empty or missing
    // values close up. Replaces what the list held.
    void Load(CSettingsStore& store);

    // Trims `path`; when something is left, removes an entry equal to it without regard to
    // letter case, drops the oldest entries beyond 14 and inserts the path (as given, trimmed)
    // as entry 0. Answers whether the list changed.
    bool Add(std::string_view path);

    // Writes all fifteen "Document%i" values: entry i-1, or "" where the list is shorter.
    // Write failures are ignored.
    void Store(CSettingsStore& store) const;

  private:
    PathEquals equals_;
    std::vector<std::string> entries_;
};
