// The options of `strandix proximity` beyond those it shares with the search (--alphabet,
// --keep-finals, --ignore-numbers, --seed, --threads, --shard, --json, --report, -o, -q): the
// measure's numbers, the list, the test, the control text; and the setters of their rows in the
// option table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "proximity/proximity.h"
#include "proximity/proximity_control_text.h"
#include "proximity/proximity_run.h"

struct ToolOptions;

struct ProximityOptions {
    std::string listPath;  // --list: a list instead of one pair
    ProximitySettings settings;
    std::uint64_t permutations = kDefaultPermutations;
    std::optional<ControlTextKind> controlText;
    bool triples = false;
    bool influence = false;    // the test again without each person and each word
    std::string word1, word2;  // one pair: the operands after the document
};

// The option table's setters (false with `error` set to the sentence after "NAME: ").
bool SetProximityList(ToolOptions& options, const std::string& value, std::string& error);
bool SetExpectedEls(ToolOptions& options, const std::string& value, std::string& error);
bool SetMinLetters(ToolOptions& options, const std::string& value, std::string& error);
bool SetMaxLetters(ToolOptions& options, const std::string& value, std::string& error);
bool SetDeltaConstant(ToolOptions& options, const std::string& value, std::string& error);
bool SetMinTriples(ToolOptions& options, const std::string& value, std::string& error);
bool SetPermutations(ToolOptions& options, const std::string& value, std::string& error);
bool SetControlText(ToolOptions& options, const std::string& value, std::string& error);
bool SetTriples(ToolOptions& options, const std::string& value, std::string& error);
bool SetInfluence(ToolOptions& options, const std::string& value, std::string& error);

// The checks of the whole command line; sets the document and the words. False with `error`.
bool CheckProximityOptions(ToolOptions& options, std::string& error);
