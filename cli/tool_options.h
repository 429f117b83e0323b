// The command line of the `strandix` tool: what it asks for, and the table of its options that
// parses it and writes --help.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/proximity_options.h"
#include "controls/control_cases.h"
#include "controls/control_partial.h"
#include "controls/control_report.h"
#include "frontend/settings_fields.h"
#include "text/alphabet.h"

struct ToolCommand;

// What every command that runs work on several threads from a seeded generator and writes a
// page takes alike: the control runs, the word-pair experiment and the merge.
struct RunOptions {
    std::uint64_t seed = kDefaultControlSeed;  // --seed
    unsigned threads = 0;                      // --threads; 0: one per core
    std::string reportPath;                    // --report
};

struct ControlOptions {
    std::int64_t count = 0;  // --controls; 0: no control run
    ControlKind kind = ControlKind::Letters;
    bool expected = false;       // --expected
    bool needsControls = false;  // a search option that only a control run uses was given
};

struct ToolOptions {
    DialogFields fields;                // the dialog's values and defaults; widths as given
    std::vector<std::string> operands;  // the arguments that are not options, in order
    std::string document;               // search: path of the document (the first operand)
    std::string keywordText;            // search: the other operands joined with blanks
    std::string outputPath;             // -o: where the page goes when the search ends
    bool open = false;                  // --open: show the page in the desktop's viewer
    bool legend = false;                // --legend: the page says what it shows
    bool json = false;                  // --json: results to standard output instead of a page
    bool yes = false;                   // --yes: go on past the 5 MB question
    bool quiet = false;                 // -q: no progress bar
    RunOptions run;                     // --seed, --threads, --report
    ControlOptions controls;            // --controls, --control-kind, --expected
    std::optional<ShardId> shard;       // --shard: the partial goes to -o or standard output
    AlphabetName alphabet = AlphabetName::Latin;  // --alphabet: the script's letters
    bool autoAlphabet = false;   // --alphabet auto: the document's, as the Windows program picks
    bool keepFinals = false;     // --keep-finals: Hebrew final forms are letters of their own
    bool places = false;         // --places: each letter's line and column in the JSON
    std::int32_t minSkip = 1;    // --min-skip: the smallest |skip| searched
    ProximityOptions proximity;  // strandix proximity: the list, the measure, the test
};

enum class ParseOutcome { Run, Help, Version, Error };

// Where a --help lists an option or a command; None: in no --help. The search's --help lists
// the sections from Search to Proximity; `strandix proximity --help` those from Measure on,
// and the search's Proximity section lists the options that only proximity takes.
enum class HelpSection {
    None,
    Search,
    Alphabet,
    Output,
    Controls,
    Shards,
    Proximity,
    Measure,
    ListAndTest,
    DocumentAndOutput
};

// Takes an option's value ("" for a switch) into the options. False with `error` set to the
// sentence after "NAME: ".
using OptionSetter = bool (*)(ToolOptions& options, const std::string& value, std::string& error);

// One row of the option table.
struct OptionRow {
    unsigned commands;    // the ToolCommandId bits of the commands that take it
    HelpSection section;  // where the search's --help lists it
    const char* label;    // as --help shows it: its names, then its value's name if it takes one
                          // ("-o, --output FILE"); the parser reads the names from here
    const char* help;     // the text beside it in --help; '\n' continues on the next line
    OptionSetter set;
    ParseOutcome outcome = ParseOutcome::Run;           // Help, Version: parsing stops there
    const char* missingValue = "a value must follow.";  // when the value is missing
    bool once = false;  // an output's name: given twice, the line is refused
};

// Every option of every command.
const std::vector<OptionRow>& ToolOptionRows();

struct ParsedCommandLine {
    const ToolCommand* command = nullptr;  // null only when there is no command table
    ParseOutcome outcome = ParseOutcome::Error;
    std::string error;  // on Error: one sentence naming the option
    bool hint = true;   // on Error: the command's hint line follows the sentence
};

// Reads the arguments after the program name: a first argument that names a command chooses
// it, otherwise the search runs. Options and operands may be mixed; "--" ends the options; a
// long option's value may follow an "=". Numbers are checked like the dialog's fields, with
// the dialog's messages. Then the command checks the whole line.
ParsedCommandLine ParseToolArguments(const std::vector<std::string>& arguments,
                                     ToolOptions& options);

// The checks the search makes of its whole command line, and its document and keywords.
bool CheckSearchOptions(ToolOptions& options, std::string& error);

// The text of --help: the usage lines, the option table's rows of the search in their sections,
// and the commands each section lists.
std::string ToolUsage();

// The text of `strandix proximity --help`: its usage lines and the option table's rows of
// proximity in their sections.
std::string ProximityUsage();
