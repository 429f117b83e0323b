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
    return JsonString(value);
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

// A run's keywords as letters, folded as the alphabet folds them: MOSES and moses are the same
// run.
std::string FoldedKeywords(const KeywordList& keywords) {
    std::u32string folded;
    for (const std::string& keyword : keywords)
        folded += KeywordLetters(keyword) + U' ';
    std::string bytes;
    for (const char32_t letter : folded)
        bytes += std::to_string(static_cast<std::uint32_t>(letter)) + ",";
    return bytes;
}

// The fields that make two partials parts of the same run, in the order the merge compares
// them. The document's name is not among them: the same document may have another name on
// each machine, and the merged report names it as the first partial does.
std::vector<RunField> RunFields(const ControlPartial& partial) {
    const ControlRun& run = partial.run;
    const SearchSettings& settings = run.settings;
    std::vector<RunField> fields;
    const auto add = [&](const char* name, const auto& value) {
        fields.push_back({name, Shown(value), std::string()});
    };
    add("document", partial.documentDigest);
    add("ignoring of numbers", run.ignoreNumbers);
    add("alphabet", run.alphabet);
    fields.push_back({"keywords", Shown(run.keywords), FoldedKeywords(run.keywords)});
    add("letter distance", settings.MaxDistanceBetweenLetters);
    add("smallest skip", settings.MinSkip);
    add("span", settings.MaxResultLength);
    add("narrowest width", settings.MinColumnWidth);
    add("widest width", settings.MaxColumnWidth);
    add("reverse keywords", settings.AllowReverseKeywords);
    add("exclusion of plain words", settings.ExcludeWordsDirectlyFromText);
    add("control kind", run.kind);
    add("seed", run.seed);
    add("number of controls", run.total);
    add("expected count", run.expected);
    add("expected count with independent letters", run.expectedIndependent);
    add("plain-word results", run.plainWordResults);
    add("real search", run.real);
    return fields;
}

}  // namespace

bool CPartialMerger::Add(std::string_view name, std::string_view text, std::string& message) {
    ControlPartial partial;
    std::string problem;
    if (!ReadControlPartial(text, partial, problem)) {
        message = std::string(name) + ", read as " + PartialKindText(PartialKind::Controls) + ": " +
                  problem;
        return false;
    }
    if (!book_.Add(name, partial.shard, RunFields(partial), message)) return false;
    controls_[partial.shard.index] = std::move(partial.run.controls);
    if (!first_) {
        partial.run.controls.clear();
        first_ = std::move(partial);
    }
    return true;
}

bool CPartialMerger::Finish(ControlRun& merged, std::string& message) {
    if (!first_) {
        message = "No partials were given.";
        return false;
    }
    if (const std::optional<ShardId> missing = book_.Missing()) {
        message = "Shard " + ShardName(*missing) +
                  " is missing: no partial holds its controls (the i with i mod " +
                  Shown(missing->count) + " = " + Shown(missing->index) + ").";
        return false;
    }
    const std::int64_t shardCount = first_->shard.count;
    merged = first_->run;
    merged.documentDigest = first_->documentDigest;
    merged.controls.assign(static_cast<std::size_t>(merged.total), {});
    for (auto& [index, controls] : controls_) {
        std::size_t i = static_cast<std::size_t>(index);
        for (SearchStatistics& statistics : controls) {
            merged.controls[i] = statistics;
            i += static_cast<std::size_t>(shardCount);
        }
    }
    return true;
}
