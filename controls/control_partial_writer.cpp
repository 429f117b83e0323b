// Writing a partial: the text a shard writes.
#include <string>

#include "common/partial_file.h"
#include "controls/control_partial.h"
#include "controls/control_partial_format.h"
#include "results/json_writer.h"

namespace {

void WriteSpan(CJsonWriter& json, std::int64_t span) {
    if (span > 0) {
        json.Integer(span);
    } else {
        json.Null();
    }
}

}  // namespace

void WritePartialBody(CJsonWriter& json, const ControlPartial& partial) {
    const ControlRun& run = partial.run;
    const SearchSettings& settings = run.settings;
    json.BeginObject().Key("format").String(PartialFormatName(PartialKind::Controls));
    json.Key("version").Integer(PartialFormatVersion(PartialKind::Controls));
    json.LineBreak().Key("name").String(run.documentName);
    json.LineBreak().Key("document").String(partial.documentDigest);
    json.LineBreak().Key("alphabet").String(run.alphabet);
    json.LineBreak().Key("keywords").BeginArray();
    for (const std::string& keyword : run.keywords)
        json.String(keyword);
    json.EndArray().LineBreak().Key("settings");
    WriteSearchSettings(json, settings, run.ignoreNumbers);
    json.LineBreak().Key("controlKind").String(ControlKindName(run.kind));
    json.Key("seed").Unsigned(run.seed).Key("controls").Integer(run.total);
    json.Key("expectedCount").OptionalNumber(run.expected);
    json.Key("expectedIndependent").OptionalNumber(run.expectedIndependent);
    json.LineBreak().Key("real").BeginObject().Key("count").Integer(run.real.results);
    json.Key("smallestSpan");
    WriteSpan(json, run.real.smallestSpan);
    json.Key("plainWords").Integer(run.plainWordResults);
    json.EndObject().LineBreak().Key("shard").BeginObject();
    json.Key("index").Integer(partial.shard.index).Key("count").Integer(partial.shard.count);
    json.EndObject().LineBreak().Key("statistics").BeginArray();
    std::int64_t index = partial.shard.index;
    for (const SearchStatistics& control : run.controls) {
        json.LineBreak().BeginArray().Integer(index).Integer(control.results);
        WriteSpan(json, control.smallestSpan);
        json.EndArray();
        index += partial.shard.count;
    }
    json.EndArray().LineBreak().Separator();
}

std::string PartialBody(const ControlPartial& partial) {
    CJsonWriter json;
    WritePartialBody(json, partial);
    return json.Take();
}

std::int64_t ShardSize(std::int64_t totalControls, ShardId shard) {
    if (shard.index >= totalControls) return 0;
    return (totalControls - 1 - shard.index) / shard.count + 1;
}

std::string WriteControlPartial(const ControlPartial& partial) {
    return SealPartial(PartialBody(partial));
}
