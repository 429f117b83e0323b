// The command line of the `strandix` tool.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/controls_command.h"
#include "cli/shard_command.h"
#include "frontend/settings_fields.h"
#include "text/alphabet.h"

struct ToolOptions {
    DialogFields fields;           // the dialog's values and defaults; widths as given
    std::string document;          // path of the document to search
    std::string keywordText;       // the keyword arguments joined with blanks
    std::string outputPath;        // -o: where the page goes when the search ends
    bool open = false;             // --open: show the page in the desktop's viewer
    bool json = false;             // --json: results to standard output instead of a page
    bool yes = false;              // --yes: go on past the 5 MB question
    bool quiet = false;            // -q: no progress bar
    ControlOptions controls;       // --controls and its companions, --expected
    std::optional<ShardId> shard;  // --shard: the partial goes to -o or standard output
    AlphabetName alphabet = AlphabetName::Latin;  // --alphabet: the script's letters
    bool autoAlphabet = false;  // --alphabet auto: the document's, as the Windows program picks
    bool keepFinals = false;    // --keep-finals: Hebrew final forms are letters of their own
    bool places = false;        // --places: each letter's line and column in the JSON
};

enum class ParseOutcome { Run, Help, Version, Error };

// Reads the arguments after the program name. Options and operands may be mixed; "--" ends
// the options. Numbers are checked like the dialog's fields, with the dialog's messages. On
// Error, `error` holds one sentence naming the option.
ParseOutcome ParseToolArguments(const std::vector<std::string>& arguments, ToolOptions& options,
                                std::string& error);

// The text of --help.
std::string ToolUsage();
