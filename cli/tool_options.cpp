#include "cli/tool_options.h"

#include <cstdint>
#include <optional>

namespace {

struct NumberOption {
    const char* name;
    FieldBounds bounds;
    std::int32_t DialogFields::*value;
};

// The option names that match the dialog's numeric fields. The widths are the dialog's "from"
// and "to" boxes with their own bounds, put in order only when the search starts; the older
// names --min-width and --max-width stay as aliases of the same two boxes.
const NumberOption kNumberOptions[] = {
    {"--max-skip", kLettersWithinBounds, &DialogFields::LettersWithin},
    {"--span", kAllKeywordsWithinBounds, &DialogFields::AllKeywordsWithin},
    {"--width-from", kColumnWidthFromBounds, &DialogFields::ColumnWidthFrom},
    {"--width-to", kColumnWidthToBounds, &DialogFields::ColumnWidthTo},
    {"--min-width", kColumnWidthFromBounds, &DialogFields::ColumnWidthFrom},
    {"--max-width", kColumnWidthToBounds, &DialogFields::ColumnWidthTo},
};

const NumberOption* FindNumberOption(const std::string& name) {
    for (const NumberOption& option : kNumberOptions) {
        if (name == option.name) return &option;
    }
    return nullptr;
}

}  // namespace

ParseOutcome ParseToolArguments(const std::vector<std::string>& arguments, ToolOptions& options,
                                std::string& error) {
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        // --name=value or --name value for the options that take one.
        std::string name = argument;
        std::optional<std::string> inlineValue;
        if (const std::size_t equals = argument.find('=');
            argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            inlineValue = argument.substr(equals + 1);
        }
        const NumberOption* number = FindNumberOption(name);
        const bool controlOption = IsControlValueOption(name);
        if (number != nullptr || controlOption || name == "--shard" || name == "-o" ||
            name == "--output" || name == "--alphabet") {
            std::string value;
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                error = name + ": a value must follow.";
                return ParseOutcome::Error;
            }
            if (name == "--alphabet") {
                options.autoAlphabet = value == "auto";
                if (options.autoAlphabet) {
                    options.alphabet = AlphabetName::Latin;
                } else if (!ParseAlphabetName(value, options.alphabet)) {
                    error = "--alphabet: Please name latin, hebrew, greek or auto.";
                    return ParseOutcome::Error;
                }
                continue;
            }
            if (name == "--shard") {
                ShardId shard;
                if (!ReadShardOption(value, shard, error)) return ParseOutcome::Error;
                options.shard = shard;
                continue;
            }
            if (controlOption) {
                if (!ReadControlValueOption(name, value, options.controls, error))
                    return ParseOutcome::Error;
                continue;
            }
            if (number == nullptr) {
                options.outputPath = value;
                continue;
            }
            const NumberFieldCheck check = CheckNumberField(number->bounds, value);
            if (!check.value) {
                error = name + ": " + check.message;
                return ParseOutcome::Error;
            }
            options.fields.*(number->value) = *check.value;
            continue;
        }
        if (inlineValue) {
            error = name + ": takes no value.";
            return ParseOutcome::Error;
        }
        if (name == "--help" || name == "-h") return ParseOutcome::Help;
        if (name == "--version") return ParseOutcome::Version;
        if (name == "--no-reverse") {
            options.fields.AllowReverseKeywords = 0;
        } else if (name == "--exclude-direct") {
            options.fields.ExcludeWordsDirectlyFromText = 1;
        } else if (name == "--ignore-numbers") {
            options.fields.IgnoreNumbers = 1;
        } else if (name == "--places") {
            options.places = true;
        } else if (name == "--keep-finals") {
            options.keepFinals = true;
        } else if (name == "--open") {
            options.open = true;
        } else if (name == "--json") {
            options.json = true;
        } else if (name == "--yes" || name == "-y") {
            options.yes = true;
        } else if (name == "--quiet" || name == "-q") {
            options.quiet = true;
        } else if (name == "--expected") {
            options.controls.expected = true;
        } else {
            error = "Unknown option " + name + ".";
            return ParseOutcome::Error;
        }
    }
    if (options.json && !options.shard && (options.open || !options.outputPath.empty())) {
        error = "--json writes no page, so it cannot be combined with -o or --open.";
        return ParseOutcome::Error;
    }
    if (options.places && !options.json) {
        error = "--places: Places are part of the JSON; use it with --json.";
        return ParseOutcome::Error;
    }
    if (options.keepFinals && options.alphabet != AlphabetName::Hebrew) {
        error = "--keep-finals: Final forms are Hebrew letters; use it with --alphabet hebrew.";
        return ParseOutcome::Error;
    }
    if (!CheckShardOptions(options.shard, options.controls, options.json, options.open, error))
        return ParseOutcome::Error;
    // With --shard, -o names the partial rather than a page.
    const bool pageOptions = options.open || (!options.outputPath.empty() && !options.shard);
    if (!CheckControlOptions(options.controls, pageOptions, error)) return ParseOutcome::Error;
    if (operands.empty()) {
        error = "Please name a document and one or more keywords.";
        return ParseOutcome::Error;
    }
    options.document = operands.front();
    options.keywordText.clear();
    for (std::size_t i = 1; i < operands.size(); ++i) {
        if (i > 1) options.keywordText += ' ';
        options.keywordText += operands[i];
    }
    return ParseOutcome::Run;
}

std::string ToolUsage() {
    return R"(Usage: strandix [options] DOCUMENT KEYWORD...
       strandix merge [--json] [--report FILE.html] PARTIAL...
Searches DOCUMENT for equidistant letter sequences of the keywords and writes every result as a
letter grid into an HTML page in the temporary folder. DOCUMENT may be a file or a pipe, and -
reads standard input. Keywords may be given as separate arguments or separated by commas or
semicolons ("moses,aaron" or "moses aaron").

Search options (the program's defaults in brackets):
  --max-skip D       letters of a keyword lie at most D apart, 1..50000 [500]
  --span M           all keywords lie within M letters, 0..500000 [1000]
  --width-from N     one end of the range of grid widths, 1..10000 [10]
  --width-to N       the other end, 1..500 [100]; the two are put in order, so
                     --width-from 600 --width-to 10 tries the widths 10 to 600
  --min-width N      the same as --width-from
  --max-width N      the same as --width-to
  --no-reverse       keywords spelled right to left do not count
  --exclude-direct   keywords standing in the text as plain words do not count
  --ignore-numbers   remove the document's digits before searching

Alphabet:
  --alphabet NAME    the letters searched: latin (A-Z, the default), hebrew or greek; hebrew
                     and greek documents and keywords are UTF-8; auto: the document's, as
                     the Windows program picks it (hebrew or greek for a UTF-8 document
                     whose letters are mostly such, latin otherwise)
  --keep-finals      hebrew: the five final forms count as letters of their own

Output:
  -o, --output FILE  when the search ends, copy the page to FILE (replacing it) and remove
                     the page from the temporary folder
  --open             open the page in the desktop's default viewer
  --json             write the results to standard output as one JSON document instead
  --places           with --json: each letter's line and column in the document as well
  -y, --yes          go on when the page passes 5 MB without asking
  -q, --quiet        no progress bar
  -h, --help         show this help
  --version          show the version

)" + ControlUsage() +
           "\n" + ShardUsage() + R"(
Standard output gets the result count ("3 results found.") and then the page's path; with
--controls, the report instead, and no page. Ctrl-C cancels the search: the page is finished
with a note that it was canceled; during controls, it stops after the running ones.
Exit status: 0 when at least one result was found, 1 when none, 2 on an error, 130 when canceled;
with --shard, 0 when the partial was written. A document named "merge" is given as ./merge.
)";
}
