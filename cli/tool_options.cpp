#include "cli/tool_options.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "cli/integer_option.h"
#include "cli/tool_command.h"
#include "controls/control_partial.h"
#include "platform/file_identity.h"

namespace {

constexpr std::uint64_t kMostThreads = 1024;
constexpr const char* kValueMissing = "a value must follow.";

// A number box of the dialog: its bounds, read as the dialog reads them.
template <std::int32_t DialogFields::*Field, const FieldBounds& Bounds>
bool SetField(ToolOptions& options, const std::string& value, std::string& error) {
    const std::optional<std::uint64_t> number =
        ReadInteger(value,
                    {static_cast<std::uint64_t>(Bounds.lowest),
                     static_cast<std::uint64_t>(Bounds.highest), true},
                    error);
    if (number) options.fields.*Field = static_cast<std::int32_t>(*number);
    return number.has_value();
}

// A check box of the dialog, set to `state`.
template <std::int32_t DialogFields::*Field, std::int32_t State>
bool SetCheck(ToolOptions& options, const std::string&, std::string&) {
    options.fields.*Field = State;
    return true;
}

template <bool ToolOptions::*Flag>
bool SetFlag(ToolOptions& options, const std::string&, std::string&) {
    options.*Flag = true;
    return true;
}

bool Nothing(ToolOptions&, const std::string&, std::string&) {
    return true;
}

bool SetMinSkip(ToolOptions& options, const std::string& value, std::string& error) {
    const std::optional<std::uint64_t> number =
        ReadInteger(value,
                    {static_cast<std::uint64_t>(kLettersWithinBounds.lowest),
                     static_cast<std::uint64_t>(kLettersWithinBounds.highest), true},
                    error);
    if (number) options.minSkip = static_cast<std::int32_t>(*number);
    return number.has_value();
}

bool SetOutput(ToolOptions& options, const std::string& value, std::string&) {
    options.outputPath = value;
    return true;
}

bool SetAlphabet(ToolOptions& options, const std::string& value, std::string& error) {
    options.autoAlphabet = value == "auto";
    if (options.autoAlphabet) {
        options.alphabet = AlphabetName::Latin;
        return true;
    }
    if (ParseAlphabetName(value, options.alphabet)) return true;
    error = "Please name latin, hebrew, greek or auto.";
    return false;
}

bool SetControls(ToolOptions& options, const std::string& value, std::string& error) {
    const std::optional<std::uint64_t> count =
        ReadInteger(value, {1, static_cast<std::uint64_t>(kMostControls)}, error);
    if (count) options.controls.count = static_cast<std::int64_t>(*count);
    return count.has_value();
}

bool SetControlKind(ToolOptions& options, const std::string& value, std::string& error) {
    options.controls.needsControls = true;
    if (ParseControlKind(value, options.controls.kind)) return true;
    error = "Please choose letters, words or keywords.";
    return false;
}

bool SetSeed(ToolOptions& options, const std::string& value, std::string& error) {
    options.controls.needsControls = true;
    const std::optional<std::uint64_t> seed = ReadInteger(value, {0, UINT64_MAX}, error);
    if (seed) options.run.seed = *seed;
    return seed.has_value();
}

bool SetThreads(ToolOptions& options, const std::string& value, std::string& error) {
    const std::optional<std::uint64_t> threads = ReadInteger(value, {1, kMostThreads}, error);
    if (threads) options.run.threads = static_cast<unsigned>(*threads);
    return threads.has_value();
}

// The document of a proximity merge's letter grids, where the shards' path does not reach it.
bool SetMergeDocument(ToolOptions& options, const std::string& value, std::string& error) {
    if (!value.empty()) {
        options.document = value;
        return true;
    }
    error = "a file name must follow.";
    return false;
}

bool SetReport(ToolOptions& options, const std::string& value, std::string& error) {
    options.controls.needsControls = true;
    if (!value.empty()) {
        options.run.reportPath = value;
        return true;
    }
    error = "a file name must follow.";
    return false;
}

bool SetExpected(ToolOptions& options, const std::string&, std::string&) {
    options.controls.expected = true;
    return true;
}

// "K/N", 0 <= K < N.
bool SetShard(ToolOptions& options, const std::string& value, std::string& error) {
    const std::size_t slash = value.find('/');
    const IntegerRange any{0, INT64_MAX};
    std::string ignored;
    const std::optional<std::uint64_t> index =
        slash == std::string::npos ? std::nullopt
                                   : ReadInteger(value.substr(0, slash), any, ignored);
    const std::optional<std::uint64_t> count =
        slash == std::string::npos ? std::nullopt
                                   : ReadInteger(value.substr(slash + 1), any, ignored);
    if (!index || !count || *count < 1 || *index >= *count) {
        error =
            "Please enter K/N, with N shards in all and K from 0 to N-1 (0/4 is the first of "
            "four).";
        return false;
    }
    options.shard = ShardId{static_cast<std::int64_t>(*index), static_cast<std::int64_t>(*count)};
    return true;
}

using HS = HelpSection;
using PO = ParseOutcome;
using F = DialogFields;

// The widths are the dialog's "from" and "to" boxes with their own bounds, put in order only
// when the search starts; the older names --min-width and --max-width stay as aliases.
const std::vector<OptionRow> kOptionRows = {
    {kSearchCommand, HS::Search, "--max-skip D",
     "letters of a keyword lie at most D apart, 1..50000 [500]",
     &SetField<&F::LettersWithin, kLettersWithinBounds>},
    {kSearchCommand, HS::Search, "--span M", "all keywords lie within M letters, 0..500000 [1000]",
     &SetField<&F::AllKeywordsWithin, kAllKeywordsWithinBounds>},
    {kSearchCommand, HS::Search, "--width-from N",
     "one end of the range of grid widths, 1..10000 [10]",
     &SetField<&F::ColumnWidthFrom, kColumnWidthFromBounds>},
    {kSearchCommand, HS::Search, "--width-to N",
     "the other end, 1..500 [100]; the two are put in order, so\n"
     "--width-from 600 --width-to 10 tries the widths 10 to 600",
     &SetField<&F::ColumnWidthTo, kColumnWidthToBounds>},
    {kSearchCommand, HS::Search, "--min-width N", "the same as --width-from",
     &SetField<&F::ColumnWidthFrom, kColumnWidthFromBounds>},
    {kSearchCommand, HS::Search, "--max-width N", "the same as --width-to",
     &SetField<&F::ColumnWidthTo, kColumnWidthToBounds>},
    {kSearchCommand, HS::Search, "--no-reverse", "keywords spelled right to left do not count",
     &SetCheck<&F::AllowReverseKeywords, 0>},
    {kSearchCommand, HS::Search, "--exclude-direct",
     "keywords standing in the text as plain words do not count (skip +1;\n"
     "spelled backwards, skip -1, they still count)",
     &SetCheck<&F::ExcludeWordsDirectlyFromText, 1>},
    {kSearchCommand, HS::Search, "--min-skip N",
     "letters of a keyword lie at least N apart, 1..50000 [1]; 2 leaves out\n"
     "every plain word, in either direction",
     &SetMinSkip},
    {kSearchCommand, HS::Search, "--ignore-numbers",
     "remove the document's digits before searching", &SetCheck<&F::IgnoreNumbers, 1>},

    {kSearchCommand, HS::Alphabet, "--alphabet NAME",
     "the letters searched: latin (A-Z, the default), hebrew or greek; hebrew\n"
     "and greek documents and keywords are UTF-8; auto: the document's, as\n"
     "the Windows program picks it (hebrew or greek for a UTF-8 document\n"
     "whose letters are mostly such, latin otherwise)",
     &SetAlphabet},
    {kSearchCommand, HS::Alphabet, "--keep-finals",
     "hebrew: the five final forms count as letters of their own",
     &SetFlag<&ToolOptions::keepFinals>},

    {kSearchCommand, HS::Output, "-o, --output FILE",
     "when the search ends, copy the page to FILE (replacing it) and remove\n"
     "the page from the temporary folder",
     &SetOutput, PO::Run, kValueMissing, true},
    {kSearchCommand, HS::Output, "--open", "open the page in the desktop's default viewer",
     &SetFlag<&ToolOptions::open>},
    {kSearchCommand, HS::Output, "--legend",
     "the page says what it shows: the keywords' colours in the order typed,\n"
     "and above each grid every keyword's skip, direction and the line and\n"
     "column of its first letter in the document",
     &SetFlag<&ToolOptions::legend>},
    {kSearchCommand | kMergeCommand, HS::Output, "--json",
     "write the results to standard output as one JSON document instead",
     &SetFlag<&ToolOptions::json>},
    {kSearchCommand, HS::Output, "--places",
     "with --json: each letter's line and column in the document as well",
     &SetFlag<&ToolOptions::places>},
    {kSearchCommand, HS::Output, "-y, --yes", "go on when the page passes 5 MB without asking",
     &SetFlag<&ToolOptions::yes>},
    {kSearchCommand, HS::Output, "-q, --quiet", "no progress bar and no notes on standard error",
     &SetFlag<&ToolOptions::quiet>},
    {kSearchCommand | kMergeCommand, HS::Output, "-h, --help", "show this help", &Nothing,
     PO::Help},
    {kSearchCommand, HS::Output, "--version", "show the version", &Nothing, PO::Version},

    {kSearchCommand, HS::Controls, "--controls N",
     "after the search, run it on N controls and report how it compares\n"
     "(results and smallest span: the controls' mean, sd, min, max, p-values)",
     &SetControls},
    {kSearchCommand, HS::Controls, "--control-kind K",
     "letters: the document's letters shuffled [default]; words: its words\n"
     "shuffled; keywords: each keyword replaced by random letters",
     &SetControlKind},
    {kSearchCommand, HS::Controls, "--seed S",
     "the controls' random seed, printed in every report [20261210]", &SetSeed},
    {kSearchCommand, HS::Controls, "--threads T",
     "threads of the search, and controls run at once [one per core]", &SetThreads},
    {kSearchCommand, HS::Controls, "--report FILE",
     "also write the report as a standalone HTML page with a histogram", &SetReport, PO::Run,
     kValueMissing, true},
    {kMergeCommand, HS::None, "--report FILE.html", "", &SetReport, PO::Run,
     "a file name must follow.", true},
    {kMergeCommand, HS::None, "--document FILE", "", &SetMergeDocument, PO::Run,
     "a file name must follow.", true},
    {kMergeCommand, HS::None, "--influence", "", &SetInfluence},
    {kSearchCommand, HS::Controls, "--expected",
     "the expected result count of a single keyword: the mean over shuffles\n"
     "of the document's letters, and the count with independent letters\n"
     "(on its own: that line only, no search)",
     &SetExpected},

    {kSearchCommand, HS::Shards, "--shard K/N",
     "with --controls: compute only the controls i with i mod N = K and write\n"
     "them as a partial (JSON) to standard output, or to the file of -o",
     &SetShard},

    // strandix proximity, in the sections of its --help; the options it shares with the search
    // have rows of their own, which say what they do there.
    {kProximityCommand, HS::Measure, "--expected-els E",
     "the skip limit of a word is where its expected number of sequences\n"
     "reaches E [10]; a decimal number such as 2.5 or 1e3",
     &SetExpectedEls},
    {kProximityCommand, HS::Measure, "--min-letters K",
     "words of fewer letters are left out, 4..64 [5]", &SetMinLetters},
    {kProximityCommand, HS::Measure, "--max-letters K",
     "words of more letters are left out, 4..64 [8]", &SetMaxLetters},
    {kProximityCommand, HS::Measure, "--delta-constant C",
     "added to every distance, -1 or more [0]", &SetDeltaConstant},
    {kProximityCommand, HS::Measure, "--min-triples M",
     "c is defined when at least M perturbations have sequences of both\n"
     "words [10]",
     &SetMinTriples},

    {kProximityCommand, HS::ListAndTest, "--list FILE",
     "UTF-8 lines ID<TAB>name<TAB>WORD or ID<TAB>date<TAB>WORD; every name\n"
     "of a person is paired with every date of the same person; # comments;\n"
     "- reads the list from standard input; a person without a date or\n"
     "without a name makes no pair of its own but takes part in the\n"
     "permutation test (a note names it); a word given twice for one person\n"
     "is paired once",
     &SetProximityList},
    {kProximityCommand, HS::ListAndTest, "--permutations N",
     "permutations of the persons in the test [999999]; 0: no test", &SetPermutations},
    {kProximityCommand, HS::ListAndTest, "--influence",
     "the test again with each person, then each word, left out: N and the\n"
     "three ranks of each, sorted by how far the rank of P2 moves",
     &SetInfluence},
    {kProximityCommand, HS::ListAndTest, "--seed S",
     "the permutations' and the control text's random seed [20261210]", &SetSeed},
    {kProximityCommand, HS::ListAndTest, "--control-text K",
     "run on the document with its letters, words, lines (one a line) or\n"
     "words-in-lines shuffled instead",
     &SetControlText},
    {kProximityCommand, HS::ListAndTest, "--shard K/N",
     "compute only the rows of persons K*P/N up to (K+1)*P/N of the c matrix\n"
     "and write a partial for strandix merge (to standard output, or to -o)",
     &SetShard},
    {kProximityCommand, HS::ListAndTest, "--threads T",
     "threads for the c matrix and the test [one per core]", &SetThreads},

    {kProximityCommand, HS::DocumentAndOutput, "--alphabet NAME",
     "latin (the default), hebrew, greek or auto (the document's); the list\n"
     "is read in it too",
     &SetAlphabet},
    {kProximityCommand, HS::DocumentAndOutput, "--keep-finals",
     "hebrew: the five final forms count as letters of their own",
     &SetFlag<&ToolOptions::keepFinals>},
    {kProximityCommand, HS::DocumentAndOutput, "--ignore-numbers",
     "the document's digits are no letters", &SetCheck<&F::IgnoreNumbers, 1>},
    {kProximityCommand, HS::DocumentAndOutput, "--json", "the outcome as one JSON document",
     &SetFlag<&ToolOptions::json>},
    {kProximityCommand, HS::DocumentAndOutput, "--triples",
     "with --json: Omega of every one of the 125 perturbations of each pair", &SetTriples},
    {kProximityCommand, HS::DocumentAndOutput, "--report FILE",
     "also write an HTML page: pairs by c, histograms, letter grids", &SetReport, PO::Run,
     kValueMissing, true},
    {kProximityCommand, HS::DocumentAndOutput, "-o, --output FILE",
     "write the outcome (or the partial) to FILE instead of standard output", &SetOutput, PO::Run,
     kValueMissing, true},
    {kProximityCommand, HS::DocumentAndOutput, "-q, --quiet", "no progress and no notes",
     &SetFlag<&ToolOptions::quiet>},
    {kProximityCommand, HS::DocumentAndOutput, "-y, --yes",
     "go on when the estimate before the c matrix passes an hour or half the\n"
     "memory",
     &SetFlag<&ToolOptions::yes>},
    {kProximityCommand, HS::DocumentAndOutput, "-h, --help", "show this help", &Nothing, PO::Help},
};

// The names in a row's label, and whether it takes a value (a last word without a dash).
struct LabelNames {
    std::vector<std::string_view> names;
    bool takesValue = false;
};

LabelNames ReadLabel(std::string_view label) {
    LabelNames read;
    while (!label.empty()) {
        const std::size_t end = label.find_first_of(", ");
        const std::string_view word = label.substr(0, end);
        if (!word.empty() && word[0] == '-') {
            read.names.push_back(word);
        } else if (!word.empty()) {
            read.takesValue = true;
        }
        label = end == std::string_view::npos ? std::string_view() : label.substr(end + 1);
    }
    return read;
}

const OptionRow* FindRow(const ToolCommand& command, std::string_view name, bool& takesValue) {
    for (const OptionRow& row : kOptionRows) {
        if ((row.commands & command.id) == 0) continue;
        const LabelNames label = ReadLabel(row.label);
        for (const std::string_view known : label.names) {
            if (known == name) {
                takesValue = label.takesValue;
                return &row;
            }
        }
    }
    return nullptr;
}

ParsedCommandLine Failed(const ToolCommand& command, std::string error, bool valueError) {
    ParsedCommandLine parsed;
    parsed.command = &command;
    parsed.error = std::move(error);
    parsed.hint = !valueError || command.searchSyntax;
    return parsed;
}

// The options and operands after the command's name.
ParsedCommandLine ParseCommand(const ToolCommand& command,
                               const std::vector<std::string>& arguments, std::size_t first,
                               ToolOptions& options) {
    bool optionsEnded = false;
    std::vector<const OptionRow*> given;  // the rows taken once, given so far
    for (std::size_t i = first; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            options.operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = argument;
        std::optional<std::string> inlineValue;
        if (const std::size_t equals = argument.find('=');
            argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            inlineValue = argument.substr(equals + 1);
        }
        bool takesValue = false;
        const OptionRow* row = FindRow(command, name, takesValue);
        if (row != nullptr && inlineValue && !takesValue) {
            if (command.searchSyntax) return Failed(command, name + ": takes no value.", true);
            row = nullptr;
        }
        if (row == nullptr) {
            if (!command.searchSyntax) name = argument;
            const std::string where = *command.name ? std::string(" for ") + command.name : "";
            return Failed(command, "Unknown option " + name + where + ".", false);
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (takesValue && i + 1 < arguments.size()) {
            value = arguments[++i];
        } else if (takesValue) {
            return Failed(command, name + ": " + row->missingValue, true);
        }
        if (row->once) {
            if (std::find(given.begin(), given.end(), row) != given.end()) {
                return Failed(command,
                              name +
                                  ": given twice, so it is not clear which file to write; please "
                                  "give it once.",
                              true);
            }
            given.push_back(row);
        }
        std::string error;
        if (!row->set(options, value, error)) return Failed(command, name + ": " + error, true);
        if (row->outcome != ParseOutcome::Run) {
            ParsedCommandLine parsed;
            parsed.command = &command;
            parsed.outcome = row->outcome;
            return parsed;
        }
    }
    std::string error;
    if (!command.check(options, error)) return Failed(command, error, false);
    ParsedCommandLine parsed;
    parsed.command = &command;
    parsed.outcome = ParseOutcome::Run;
    return parsed;
}

// Two blanks, the label in a column of 19, then the text; a longer label stands on its own line.
std::string HelpEntry(std::string_view label, std::string_view text) {
    constexpr std::size_t kColumn = 19;
    std::string entry = "  " + std::string(label);
    if (label.size() + 2 <= kColumn) {
        entry.append(kColumn - label.size(), ' ');
    } else {
        entry += "\n" + std::string(kColumn + 2, ' ');
    }
    for (const char c : text) {
        entry += c;
        if (c == '\n') entry.append(kColumn + 2, ' ');
    }
    return entry + "\n";
}

struct SectionTitle {
    HelpSection section;
    const char* title;
};
const SectionTitle kSections[] = {
    {HelpSection::Search, "Search options (the program's defaults in brackets):"},
    {HelpSection::Alphabet, "Alphabet:"},
    {HelpSection::Output, "Output:"},
    {HelpSection::Controls, "Controls (how likely by chance):"},
    {HelpSection::Shards, "Shards (one control run across several machines):"},
    {HelpSection::Proximity,
     "Word-pair proximity (with --alphabet, --keep-finals, --ignore-numbers, --seed,\n"
     "--threads, --shard, --json, --report, -o and -q as above):"},
};
const SectionTitle kProximitySections[] = {
    {HelpSection::Measure, "The measure (defaults in brackets):"},
    {HelpSection::ListAndTest, "The list and its test:"},
    {HelpSection::DocumentAndOutput, "Document and output:"},
};

bool IsProximitySection(HelpSection section) {
    return section == HelpSection::Measure || section == HelpSection::ListAndTest ||
           section == HelpSection::DocumentAndOutput;
}

// Whether the search takes an option of the row too (the search's --help lists it already).
bool SearchTakes(const OptionRow& row) {
    bool takesValue = false;
    for (const std::string_view name : ReadLabel(row.label).names) {
        if (FindRow(SearchCommand(), name, takesValue) != nullptr) return true;
    }
    return false;
}

}  // namespace

const std::vector<OptionRow>& ToolOptionRows() {
    return kOptionRows;
}

ParsedCommandLine ParseToolArguments(const std::vector<std::string>& arguments,
                                     ToolOptions& options) {
    const ToolCommand* named = arguments.empty() ? nullptr : FindToolCommand(arguments.front());
    if (named != nullptr) return ParseCommand(*named, arguments, 1, options);
    return ParseCommand(SearchCommand(), arguments, 0, options);
}

bool CheckSearchOptions(ToolOptions& options, std::string& error) {
    const ControlOptions& controls = options.controls;
    FileIdentity identity;
    // With --shard, -o names the partial rather than a page.
    const bool pageOptions = options.open || (!options.outputPath.empty() && !options.shard);
    if (options.json && !options.shard && (options.open || !options.outputPath.empty())) {
        error = "--json writes no page, so it cannot be combined with -o or --open.";
    } else if (options.minSkip > options.fields.LettersWithin) {
        error = "--min-skip: " + std::to_string(options.minSkip) + " is above --max-skip " +
                std::to_string(options.fields.LettersWithin) + ", so no skip is left to search.";
    } else if (options.legend && (options.json || controls.count > 0 || controls.expected)) {
        error =
            "--legend: The legend belongs to the results page, which --json, --controls and "
            "--expected do not write (with --json, --places gives each letter's line and column).";
    } else if (options.places && !options.json) {
        error = "--places: Places are part of the JSON; use it with --json.";
    } else if (options.keepFinals && options.alphabet != AlphabetName::Hebrew) {
        error = "--keep-finals: Final forms are Hebrew letters; use it with --alphabet hebrew.";
    } else if (options.shard && controls.count == 0) {
        error = "--shard needs --controls: it splits the controls.";
    } else if (options.shard && options.shard->count > controls.count) {
        error = "--shard: " + std::to_string(options.shard->count) + " shards are more than the " +
                std::to_string(controls.count) + " controls.";
    } else if (options.shard && (options.json || options.open || !options.run.reportPath.empty() ||
                                 controls.expected)) {
        error =
            "--shard writes a partial, which strandix merge turns into the report, so it cannot "
            "be combined with --json, --open, --report or --expected.";
    } else if (controls.count == 0 && controls.needsControls) {
        error = "--control-kind, --seed and --report need --controls.";
    } else if (controls.count > 0 && pageOptions) {
        error =
            "--controls writes a report, not a page, so it cannot be combined with -o or "
            "--open (--report FILE.html writes the report as a page).";
    } else if (options.operands.empty()) {
        error = "Please name a document and one or more keywords.";
    } else if (const ToolCommand* named = FindToolCommand(options.operands.front());
               named != nullptr && !GetFileIdentity(options.operands.front(), identity)) {
        // "strandix --json proximity ...": the options went before the command's name.
        error =
            std::string(named->name) + " is a command: its name comes first, as in " + named->usage;
    } else {
        options.document = options.operands.front();
        options.keywordText.clear();
        for (std::size_t i = 1; i < options.operands.size(); ++i) {
            if (i > 1) options.keywordText += ' ';
            options.keywordText += options.operands[i];
        }
        return true;
    }
    return false;
}

std::string ToolUsage() {
    std::string usage;
    for (const ToolCommand& command : ToolCommands())
        usage += (usage.empty() ? "Usage: " : "       ") + std::string(command.usage) + "\n";
    usage +=
        R"(Searches DOCUMENT for equidistant letter sequences of the keywords and writes every result as a
letter grid into an HTML page in the temporary folder. DOCUMENT may be a file or a pipe, and -
reads standard input. Keywords may be given as separate arguments or separated by commas or
semicolons ("moses,aaron" or "moses aaron").
)";
    for (const SectionTitle& section : kSections) {
        usage += "\n" + std::string(section.title) + "\n";
        for (const OptionRow& row : kOptionRows) {
            const bool listed = section.section == HelpSection::Proximity
                                    ? IsProximitySection(row.section) && !SearchTakes(row)
                                    : row.section == section.section;
            if (listed) usage += HelpEntry(row.label, row.help);
        }
        for (const ToolCommand& command : ToolCommands()) {
            if (command.section == section.section)
                usage += HelpEntry(command.usage, command.summary);
        }
    }
    return usage + R"(
Standard output gets the result count ("3 results found.") and then the page's path; with
--controls, the report instead, and no page. Ctrl-C cancels the search: the page is finished
with a note that it was canceled; during controls, it stops after the running ones.
Exit status: 0 when at least one result was found, 1 when none, 2 on an error, 130 when canceled
(143 after SIGTERM); with --shard, 0 when the partial was written. A document named "merge" is given as ./merge.
)";
}

std::string ProximityUsage() {
    std::string usage = R"(Usage: strandix proximity [options] DOCUMENT WORD1 WORD2
       strandix proximity [options] DOCUMENT --list FILE
How close two words, or the names and dates of a list of persons, stand together as equidistant
letter sequences: the corrected distance c of each pair, and for a list the statistics P1, P2
and T with their ranks in a permutation test. DOCUMENT may be - for standard input.
)";
    for (const SectionTitle& section : kProximitySections) {
        usage += "\n" + std::string(section.title) + "\n";
        for (const OptionRow& row : kOptionRows) {
            if (row.section == section.section) usage += HelpEntry(row.label, row.help);
        }
    }
    return usage + R"(
Exit status: 0 when some pair has c defined, 1 when none has, 2 on an error, 130 when
Ctrl-C stopped the run (143 after SIGTERM; nothing is written then); with --shard, 0 when the partial is written.
)";
}
