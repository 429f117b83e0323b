// The command line of `strandix proximity`.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/control_partial.h"
#include "controls/proximity.h"
#include "controls/proximity_control_text.h"
#include "controls/proximity_run.h"
#include "text/alphabet.h"

struct ProximityOptions {
    std::string document;
    std::string word1, word2;  // one pair
    std::string listPath;      // --list: a list instead
    AlphabetName alphabet = AlphabetName::Latin;
    bool keepFinals = false;
    bool ignoreNumbers = false;
    ProximitySettings settings;
    std::uint64_t permutations = kDefaultPermutations;
    std::uint64_t seed = 20261210;
    std::optional<ControlTextKind> controlText;
    std::optional<ShardId> shard;
    unsigned threads = 0;  // 0: one per core
    bool json = false;
    bool triples = false;
    bool quiet = false;
    std::string reportPath;  // --report FILE.html
    std::string outputPath;  // -o: the output (or the shard's partial) goes there
};

enum class ProximityParse { Run, Help, Error };

// Reads the arguments after "proximity". On Error, `error` is one sentence naming the option.
ProximityParse ParseProximityArguments(const std::vector<std::string>& arguments,
                                       ProximityOptions& options, std::string& error);

// The text of `strandix proximity --help`.
std::string ProximityUsage();
