#include "cli/proximity_options.h"

#include <charconv>
#include <cmath>

#include "cli/shard_command.h"
#include "controls/control_report.h"

namespace {

constexpr std::uint64_t kMostPermutations = 1000000000;
constexpr unsigned kMostThreads = 1024;
constexpr int kMostDeltaConstant = 1000000;

std::string Between(long long first, long long last) {
    return "Please enter an integer between " + std::to_string(first) + " and " +
           std::to_string(last) + ".";
}

bool ReadUnsigned(const std::string& value, std::uint64_t first, std::uint64_t last,
                  std::uint64_t& number) {
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) return false;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    return error == std::errc() && end == value.data() + value.size() && number >= first &&
           number <= last;
}

bool ReadSigned(const std::string& value, int first, int last, int& number) {
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    return !value.empty() && error == std::errc() && end == value.data() + value.size() &&
           number >= first && number <= last;
}

// A positive decimal number such as 10 or 2.5.
bool ReadPositive(const std::string& value, double& number) {
    if (value.empty() || value.find_first_not_of("0123456789.") != std::string::npos) return false;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    return error == std::errc() && end == value.data() + value.size() && std::isfinite(number) &&
           number > 0;
}

bool TakesValue(const std::string& name) {
    static const char* const kNames[] = {"--list",         "--alphabet",
                                         "--expected-els", "--min-letters",
                                         "--max-letters",  "--delta-constant",
                                         "--min-triples",  "--permutations",
                                         "--seed",         "--control-text",
                                         "--shard",        "--threads",
                                         "--report",       "-o",
                                         "--output"};
    for (const char* known : kNames) {
        if (name == known) return true;
    }
    return false;
}

bool ReadValue(const std::string& name, const std::string& value, ProximityOptions& options,
               std::string& error) {
    std::uint64_t number = 0;
    int whole = 0;
    ProximitySettings& settings = options.settings;
    if (name == "--list") {
        options.listPath = value;
    } else if (name == "--alphabet") {
        if (!ParseAlphabetName(value, options.alphabet))
            error = "Please name latin, hebrew or greek.";
    } else if (name == "--expected-els") {
        if (!ReadPositive(value, settings.expectedEls))
            error = "Please enter a number greater than 0, such as 10.";
    } else if (name == "--min-letters" || name == "--max-letters") {
        if (!ReadSigned(value, 2, kMostLetters, whole))
            error = Between(2, kMostLetters);
        else
            (name == "--min-letters" ? settings.minLetters : settings.maxLetters) = whole;
    } else if (name == "--delta-constant") {
        if (!ReadSigned(value, kLowestDeltaConstant, kMostDeltaConstant, settings.deltaConstant))
            error = Between(kLowestDeltaConstant, kMostDeltaConstant);
    } else if (name == "--min-triples") {
        if (!ReadSigned(value, 1, kTripleCount, settings.minTriples))
            error = Between(1, kTripleCount);
    } else if (name == "--permutations") {
        if (!ReadUnsigned(value, 0, kMostPermutations, options.permutations))
            error = Between(0, static_cast<long long>(kMostPermutations));
    } else if (name == "--seed") {
        if (!ReadUnsigned(value, 0, UINT64_MAX, options.seed))
            error = "Please enter an integer between 0 and " + std::to_string(UINT64_MAX) + ".";
    } else if (name == "--control-text") {
        ControlTextKind kind;
        if (!ParseControlTextKind(value, kind))
            error = "Please choose letters, words, lines or words-in-lines.";
        else
            options.controlText = kind;
    } else if (name == "--shard") {
        ShardId shard;
        if (!ReadShardOption(value, shard, error)) return false;
        options.shard = shard;
        return true;
    } else if (name == "--threads") {
        if (!ReadUnsigned(value, 1, kMostThreads, number))
            error = Between(1, kMostThreads);
        else
            options.threads = static_cast<unsigned>(number);
    } else if (name == "--report") {
        options.reportPath = value;
        if (value.empty()) error = "a file name must follow.";
    } else {
        options.outputPath = value;
        if (value.empty()) error = "a file name must follow.";
    }
    if (error.empty()) return true;
    error = name + ": " + error;
    return false;
}

bool CheckCombination(const ProximityOptions& options, std::size_t operands, std::string& error) {
    if (options.listPath.empty() ? operands != 3 : operands != 1) {
        error = options.listPath.empty()
                    ? "Please name a document and two words, or a document and --list FILE."
                    : "With --list, name the document alone (the words come from the list).";
    } else if (options.settings.minLetters > options.settings.maxLetters) {
        error = "--min-letters is more than --max-letters, so no word would fit.";
    } else if (options.keepFinals && options.alphabet != AlphabetName::Hebrew) {
        error = "--keep-finals: Final forms are Hebrew letters; use it with --alphabet hebrew.";
    } else if (options.triples && !options.json) {
        error = "--triples: The triples are part of the JSON; use it with --json.";
    } else if (options.shard && options.listPath.empty()) {
        error = "--shard splits a list by persons; use it with --list.";
    } else if (options.shard && (options.json || !options.reportPath.empty())) {
        error =
            "--shard writes a partial, which strandix merge turns into the output, so it "
            "cannot be combined with --json or --report (give them to the merge).";
    } else {
        error = CheckProximitySettings(options.settings);
        return error.empty();
    }
    return false;
}

}  // namespace

ProximityParse ParseProximityArguments(const std::vector<std::string>& arguments,
                                       ProximityOptions& options, std::string& error) {
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
        std::string name = argument;
        std::optional<std::string> inlineValue;
        if (const std::size_t equals = argument.find('=');
            argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            inlineValue = argument.substr(equals + 1);
        }
        if (TakesValue(name)) {
            std::string value;
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                error = name + ": a value must follow.";
                return ProximityParse::Error;
            }
            if (!ReadValue(name, value, options, error)) return ProximityParse::Error;
            continue;
        }
        if (inlineValue) {
            error = name + ": takes no value.";
            return ProximityParse::Error;
        }
        if (name == "--help" || name == "-h") return ProximityParse::Help;
        if (name == "--keep-finals") {
            options.keepFinals = true;
        } else if (name == "--ignore-numbers") {
            options.ignoreNumbers = true;
        } else if (name == "--json") {
            options.json = true;
        } else if (name == "--triples") {
            options.triples = true;
        } else if (name == "--quiet" || name == "-q") {
            options.quiet = true;
        } else {
            error = "Unknown option " + name + " for proximity.";
            return ProximityParse::Error;
        }
    }
    if (!CheckCombination(options, operands.size(), error)) return ProximityParse::Error;
    options.document = operands[0];
    if (options.listPath.empty()) {
        options.word1 = operands[1];
        options.word2 = operands[2];
    }
    return ProximityParse::Run;
}

std::string ProximityUsage() {
    return R"(Usage: strandix proximity [options] DOCUMENT WORD1 WORD2
       strandix proximity [options] DOCUMENT --list FILE
How close two words, or the names and dates of a list of persons, stand together as equidistant
letter sequences: the corrected distance c of each pair, and for a list the statistics P1, P2
and T with their ranks in a permutation test.

The measure (defaults in brackets):
  --expected-els E   the skip limit of a word is where its expected number of sequences
                     reaches E [10]
  --min-letters K    words of fewer letters are left out [5]
  --max-letters K    words of more letters are left out [8]
  --delta-constant C added to every distance, -1 or more [0]
  --min-triples M    c is defined when at least M perturbations have sequences of both
                     words [10]

The list and its test:
  --list FILE        UTF-8 lines ID<TAB>name<TAB>WORD or ID<TAB>date<TAB>WORD; every name
                     of a person is paired with every date of the same person; # comments
  --permutations N   permutations of the persons in the test [999999]
  --seed S           the permutations' and the control text's random seed [20261210]
  --control-text K   run on the document with its letters, words, lines (one a line) or
                     words-in-lines shuffled instead
  --shard K/N        compute only the persons K*P/N up to (K+1)*P/N of the c matrix and write
                     a partial for strandix merge (to standard output, or to -o)
  --threads T        threads for the c matrix and the test [one per core]

Document and output:
  --alphabet NAME    latin (the default), hebrew or greek; the list is read in it too
  --keep-finals      hebrew: the five final forms count as letters of their own
  --ignore-numbers   the document's digits are no letters
  --json             the outcome as one JSON document
  --triples          with --json: Omega of every one of the 125 perturbations of each pair
  --report FILE      also write an HTML page: pairs by c, histograms, letter grids
  -o, --output FILE  write the outcome (or the partial) to FILE instead of standard output
  -q, --quiet        no progress

Exit status: 0 when some pair has c defined, 1 when none has, 2 on an error, 130 when
Ctrl-C stopped the run (nothing is written then); with --shard, 0 when the partial is written.
)";
}
