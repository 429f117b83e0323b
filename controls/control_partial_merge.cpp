// Merging partials: the shards of one run, checked against each other, back into the run.
#include <optional>
#include <string>
#include <vector>

#include "controls/control_notes.h"
#include "controls/control_partial.h"
#include "results/json_writer.h"

namespace {

template <typename T>
std::string Shown(const T& value) {
    return std::to_string(value);
}
std::string Shown(const std::string& value) {
    return "\"" + value + "\"";
}
std::string Shown(bool value) {
    return value ? "on" : "off";
}
std::string Shown(const std::optional<double>& value) {
    return value ? JsonNumber(*value) : "none";
}
std::string Shown(const SearchStatistics& value) {
    return Shown(value.results) + " results, smallest span " +
           (value.smallestSpan > 0 ? Shown(value.smallestSpan) : "none");
}
std::string Shown(ControlKind kind) {
    return ControlKindName(kind);
}
std::string Shown(const std::vector<std::string>& keywords) {
    std::string shown;
    for (const std::string& keyword : keywords)
        shown += (shown.empty() ? "" : " ") + keyword;
    return shown;
}

// A run's keywords as letters, folded as the alphabet folds them.
std::vector<std::u32string> FoldedKeywords(const KeywordList& keywords) {
    std::vector<std::u32string> folded;
    for (const std::string& keyword : keywords)
        folded.push_back(KeywordLetters(keyword));
    return folded;
}

// The first field in which two partials' runs differ, as "its FIELD (A) differs from NAME's (B)".
std::optional<std::string> FirstDifference(const ControlPartial& mine, const ControlPartial& theirs,
                                           const std::string& theirName) {
    std::optional<std::string> difference;
    auto compare = [&](const char* field, const auto& a, const auto& b) {
        if (!difference && !(a == b))
            difference = "its " + std::string(field) + " (" + Shown(a) + ") differs from " +
                         theirName + "'s (" + Shown(b) + ")";
    };
    const ControlRun& run = mine.run;
    const ControlRun& other = theirs.run;
    compare("document", mine.documentDigest, theirs.documentDigest);
    compare("ignoring of numbers", run.ignoreNumbers, other.ignoreNumbers);
    compare("alphabet", run.alphabet, other.alphabet);
    // Keywords compare as the alphabet folds them: MOSES and moses are the same run.
    if (FoldedKeywords(run.keywords) != FoldedKeywords(other.keywords))
        compare("keywords", run.keywords, other.keywords);
    compare("letter distance", run.settings.MaxDistanceBetweenLetters,
            other.settings.MaxDistanceBetweenLetters);
    compare("smallest skip", run.settings.MinSkip, other.settings.MinSkip);
    compare("span", run.settings.MaxResultLength, other.settings.MaxResultLength);
    compare("narrowest width", run.settings.MinColumnWidth, other.settings.MinColumnWidth);
    compare("widest width", run.settings.MaxColumnWidth, other.settings.MaxColumnWidth);
    compare("reverse keywords", run.settings.AllowReverseKeywords,
            other.settings.AllowReverseKeywords);
    compare("exclusion of plain words", run.settings.ExcludeWordsDirectlyFromText,
            other.settings.ExcludeWordsDirectlyFromText);
    compare("control kind", run.kind, other.kind);
    compare("seed", run.seed, other.seed);
    compare("number of controls", run.total, other.total);
    compare("expected count", run.expected, other.expected);
    compare("expected count with independent letters", run.expectedIndependent,
            other.expectedIndependent);
    compare("plain-word results", run.plainWordResults, other.plainWordResults);
    compare("real search", run.real, other.real);
    return difference;
}

}  // namespace

bool CPartialMerger::Add(std::string_view name, std::string_view text, std::string& message) {
    ControlPartial partial;
    std::string problem;
    if (!ReadControlPartial(text, partial, problem)) {
        message = std::string(name) + ": " + problem;
        return false;
    }
    if (first_) {
        if (const auto difference = FirstDifference(partial, *first_, firstName_)) {
            message = std::string(name) + ": " + *difference +
                      ", so the two are not parts of the same run.";
            return false;
        }
        if (partial.shard.count != first_->shard.count) {
            message = std::string(name) + ": it is one of " + Shown(partial.shard.count) +
                      " shards, while " + firstName_ + " is one of " + Shown(first_->shard.count) +
                      ", so the two are not parts of the same split.";
            return false;
        }
    }
    if (const auto same = shards_.find(partial.shard.index); same != shards_.end()) {
        if (same->second.name == name) {
            message = std::string(name) + ": the file is named twice.";
            return false;
        }
        message = std::string(name) + ": it holds shard " + ShardName(partial.shard) + ", as " +
                  same->second.name + " does; each shard must be given once.";
        return false;
    }
    Shard& shard = shards_[partial.shard.index];
    shard.name = name;
    shard.controls = std::move(partial.run.controls);
    if (!first_) {
        partial.run.controls.clear();
        first_ = std::move(partial);
        firstName_ = name;
    }
    return true;
}

bool CPartialMerger::Finish(ControlRun& merged, std::string& message) {
    if (!first_) {
        message = "No partials were given.";
        return false;
    }
    const std::int64_t shardCount = first_->shard.count;
    std::int64_t expected = 0;
    for (const auto& [index, shard] : shards_) {
        if (index != expected) break;
        ++expected;
    }
    if (expected < shardCount) {
        message = "Shard " + ShardName({expected, shardCount}) +
                  " is missing: no partial holds its controls (the i with i mod " +
                  Shown(shardCount) + " = " + Shown(expected) + ").";
        return false;
    }
    merged = first_->run;
    merged.documentDigest = first_->documentDigest;
    merged.controls.assign(static_cast<std::size_t>(merged.total), {});
    for (auto& [index, shard] : shards_) {
        std::size_t i = static_cast<std::size_t>(index);
        for (SearchStatistics& statistics : shard.controls) {
            merged.controls[i] = statistics;
            i += static_cast<std::size_t>(shardCount);
        }
    }
    return true;
}
