#include "cli/proximity_options.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "cli/integer_option.h"
#include "cli/tool_options.h"

namespace {

constexpr std::uint64_t kMostPermutations = 1000000000;
constexpr std::uint64_t kMostDeltaConstant = 1000000;

bool SetLetters(int& letters, const std::string& value, std::string& error) {
    const std::optional<std::uint64_t> number = ReadInteger(
        value,
        {static_cast<std::uint64_t>(kFewestLetters), static_cast<std::uint64_t>(kMostLetters)},
        error);
    if (number) letters = static_cast<int>(*number);
    return number.has_value();
}

}  // namespace

bool SetProximityList(ToolOptions& options, const std::string& value, std::string& error) {
    if (value.empty()) {
        error = "a file name must follow.";
        return false;
    }
    options.proximity.listPath = value;
    return true;
}

bool SetExpectedEls(ToolOptions& options, const std::string& value, std::string& error) {
    // Decimal notation, with an exponent if need be (2.5, 1e3): no sign, no blanks, no hexadecimal.
    double number = 0;
    const char* end = value.data() + value.size();
    const auto read = std::from_chars(value.data(), end, number, std::chars_format::general);
    if (value.empty() || !(std::isdigit(static_cast<unsigned char>(value[0])) || value[0] == '.') ||
        read.ec != std::errc() || read.ptr != end || !std::isfinite(number) || number <= 0) {
        error = "Please enter a number greater than 0, such as 10, 2.5 or 1e3.";
        return false;
    }
    options.proximity.settings.expectedEls = number;
    return true;
}

bool SetMinLetters(ToolOptions& options, const std::string& value, std::string& error) {
    return SetLetters(options.proximity.settings.minLetters, value, error);
}

bool SetMaxLetters(ToolOptions& options, const std::string& value, std::string& error) {
    return SetLetters(options.proximity.settings.maxLetters, value, error);
}

bool SetDeltaConstant(ToolOptions& options, const std::string& value, std::string& error) {
    // -1 is the one negative constant that keeps every delta positive.
    if (value == "-1") {
        options.proximity.settings.deltaConstant = -1;
        return true;
    }
    const std::optional<std::uint64_t> number = ReadInteger(value, {0, kMostDeltaConstant}, error);
    if (!number) {
        error =
            "Please enter an integer between -1 and " + std::to_string(kMostDeltaConstant) + ".";
        return false;
    }
    options.proximity.settings.deltaConstant = static_cast<int>(*number);
    return true;
}

bool SetMinTriples(ToolOptions& options, const std::string& value, std::string& error) {
    const std::optional<std::uint64_t> number =
        ReadInteger(value, {1, static_cast<std::uint64_t>(kTripleCount)}, error);
    if (number) options.proximity.settings.minTriples = static_cast<int>(*number);
    return number.has_value();
}

bool SetPermutations(ToolOptions& options, const std::string& value, std::string& error) {
    const std::optional<std::uint64_t> number = ReadInteger(value, {0, kMostPermutations}, error);
    if (number) options.proximity.permutations = *number;
    return number.has_value();
}

bool SetControlText(ToolOptions& options, const std::string& value, std::string& error) {
    ControlTextKind kind;
    if (!ParseControlTextKind(value, kind)) {
        error = "Please choose letters, words, lines or words-in-lines.";
        return false;
    }
    options.proximity.controlText = kind;
    return true;
}

bool SetTriples(ToolOptions& options, const std::string&, std::string&) {
    options.proximity.triples = true;
    return true;
}

bool SetInfluence(ToolOptions& options, const std::string&, std::string&) {
    options.proximity.influence = true;
    return true;
}

bool CheckProximityOptions(ToolOptions& options, std::string& error) {
    ProximityOptions& proximity = options.proximity;
    const std::size_t operands = options.operands.size();
    if (proximity.listPath.empty() ? operands != 3 : operands != 1) {
        if (proximity.listPath.empty())
            error = "Please name a document and two words, or a document and --list FILE.";
        else if (operands == 0)
            error = "Please name the document to search for the list's words.";
        else
            error = "With --list, name the document alone (the words come from the list).";
    } else if (options.operands[0] == "-" && proximity.listPath == "-") {
        error = "The document and the list cannot both be read from standard input (-).";
    } else if (proximity.settings.minLetters > proximity.settings.maxLetters) {
        error = "--min-letters is more than --max-letters, so no word would fit.";
    } else if (options.keepFinals && options.alphabet != AlphabetName::Hebrew) {
        error = "--keep-finals: Final forms are Hebrew letters; use it with --alphabet hebrew.";
    } else if (proximity.triples && !options.json && !options.shard) {
        error = "--triples: The triples are part of the JSON; use it with --json.";
    } else if (proximity.influence && (proximity.listPath.empty() || options.shard)) {
        error = proximity.listPath.empty()
                    ? "--influence reruns the permutation test of a list; use it with --list."
                    : "--influence: give it to strandix merge, which runs the permutation test.";
    } else if (options.shard && proximity.listPath.empty()) {
        error = "--shard splits a list by persons; use it with --list.";
    } else if (options.shard && (options.json || !options.run.reportPath.empty())) {
        error =
            "--shard writes a partial, which strandix merge turns into the output, so it "
            "cannot be combined with --json or --report (give them to the merge).";
    } else if (const std::string problem = CheckProximitySettings(proximity.settings);
               !problem.empty()) {
        error = problem;
    } else {
        options.document = options.operands[0];
        if (proximity.listPath.empty()) {
            proximity.word1 = options.operands[1];
            proximity.word2 = options.operands[2];
        }
        return true;
    }
    return false;
}
