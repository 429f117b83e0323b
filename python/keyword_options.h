// The one place where a Python call's keyword arguments become the tool's options: each keyword
// is the option of the same name with dashes as underscores, read by the tool's own option table,
// so that the defaults, the bounds and the sentences of a bad value are the tool's.
#pragma once

#include <string>
#include <vector>

#include <pybind11/pybind11.h>

#include "cli/tool_options.h"

// Which call the keywords are for: the options it takes, and the command that reads them.
struct KeywordCall {
    const char* name;                   // the Python method, for the TypeError of a stray keyword
    const char* command;                // "" for the search, else the tool command's name
    std::vector<const char*> keywords;  // the keyword arguments it takes
    std::vector<const char*> fixed;     // options the call always stands for (--json)
};

// Reads `keywords` into `options` as the tool reads its command line, with `operands` after the
// options. A keyword the call does not take raises TypeError; a value the tool refuses raises
// ValueError with the tool's sentence. A keyword given as None keeps the tool's default.
// `reverse` and the other switches take True or False.
void ReadKeywordOptions(const KeywordCall& call, const pybind11::kwargs& keywords,
                        const std::vector<std::string>& operands, ToolOptions& options);
