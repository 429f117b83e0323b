#include "proximity/proximity_partial.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

#include "common/partial_file.h"
#include "proximity/pair_list.h"
#include "proximity/proximity_report.h"
#include "results/json_writer.h"
#include "text/alphabet.h"

using Json = PartialJson;

namespace {

constexpr const char* kFields[] = {
    "format",     "version",       "document", "name",        "letters",     "alphabet",
    "keepFinals", "ignoreNumbers", "settings", "controlText", "seed",        "permutations",
    "triples",    "persons",       "shard",    "cells",       "cellTriples", "checksum"};

void WriteOmega(CJsonWriter& json, const std::optional<double>& omega) {
    if (omega)
        json.Number(*omega);
    else
        json.Null();
}

// The fields that make two partials parts of one run, each as (name shown, JSON text), in the
// order they are written.
std::vector<std::pair<std::string, std::string>> RunFields(const ProximityPartial& partial) {
    const ProximityRequest& request = partial.request;
    const ProximitySettings& settings = request.settings;
    const CAlphabet alphabet(request.alphabet, request.keepFinals);
    std::vector<std::pair<std::string, std::string>> fields;
    const auto add = [&](const char* name, const std::string& json) {
        fields.emplace_back(name, json);
    };
    add("document", JsonString(request.documentDigest));
    add("letters", std::to_string(request.letters));
    add("alphabet", JsonString(AlphabetNameText(request.alphabet)));
    add("keepFinals", request.keepFinals ? "true" : "false");
    add("ignoreNumbers", partial.request.ignoreNumbers ? "true" : "false");
    CJsonWriter measure;
    measure.BeginObject();
    WriteProximitySettings(measure, settings);
    measure.EndObject();
    add("settings", measure.Take());
    add("controlText",
        request.controlText ? JsonString(ControlTextKindName(*request.controlText)) : "null");
    add("seed", std::to_string(request.seed));
    add("permutations", std::to_string(request.permutations));
    add("triples", request.triples ? "true" : "false");
    CJsonWriter persons;
    persons.BeginArray();
    for (const ProximityPerson& person : request.persons) {
        persons.LineBreak().BeginObject().Key("id").String(person.id);
        persons.Key("names").BeginArray();
        for (const std::string& word : person.names)
            persons.String(alphabet.Spell(word));
        persons.EndArray().Key("dates").BeginArray();
        for (const std::string& word : person.dates)
            persons.String(alphabet.Spell(word));
        persons.EndArray().EndObject();
    }
    persons.EndArray();
    add("persons", persons.Take());
    return fields;
}

// The run's fields as the merge compares them, one value each: the settings member by member and
// the list person by person, so that a message can show both values.
std::vector<RunField> CompareFields(const ProximityPartial& partial) {
    std::vector<RunField> fields;
    for (const auto& [name, json] : RunFields(partial)) {
        if (name == "settings" || name == "persons") {
            const Json parsed = Json::parse(json);
            if (name == "persons")
                fields.push_back({"number of persons", std::to_string(parsed.size()), ""});
            std::size_t index = 0;
            for (auto item = parsed.begin(); item != parsed.end(); ++item, ++index) {
                fields.push_back({name == "settings" ? name + "." + item.key()
                                                     : name + "[" + std::to_string(index) + "]",
                                  item->dump(), ""});
            }
            continue;
        }
        fields.push_back({name, json, ""});
    }
    return fields;
}

// Everything before the checksum, which is the digest of exactly this text.
std::string PartialBody(const ProximityPartial& partial) {
    CJsonWriter json;
    json.BeginObject();
    json.Key("format").String(PartialFormatName(PartialKind::Proximity));
    json.Key("version").Integer(PartialFormatVersion(PartialKind::Proximity));
    json.Key("name").String(partial.request.document);
    for (const auto& [name, value] : RunFields(partial))
        json.LineBreak().Key(name).Raw(value);
    json.LineBreak().Key("shard").BeginObject();
    json.Key("index").Integer(partial.shard.index).Key("count").Integer(partial.shard.count);
    json.Key("firstRow").Unsigned(partial.rows.firstRow);
    json.Key("lastRow").Unsigned(partial.rows.lastRow);
    json.EndObject();
    json.LineBreak().Key("cells").BeginArray();
    for (const std::vector<PairSummary>& cell : partial.rows.cells) {
        json.LineBreak().BeginArray();
        for (const PairSummary& pair : cell) {
            json.BeginArray();
            json.Integer(pair.skipLimit1).Integer(pair.skipLimit2);
            json.Integer(pair.validTriples).Integer(pair.rank);
            WriteOmega(json, pair.hasOmega ? std::optional<double>(pair.omega) : std::nullopt);
            json.EndArray();
        }
        json.EndArray();
    }
    json.EndArray();
    json.LineBreak().Key("cellTriples").BeginArray();
    for (const std::vector<TripleOmegas>& row : partial.rows.diagonalTriples) {
        json.LineBreak().BeginArray();
        for (const TripleOmegas& triples : row) {
            json.BeginArray();
            for (const std::optional<double>& omega : triples)
                WriteOmega(json, omega);
            json.EndArray();
        }
        json.EndArray();
    }
    json.EndArray();
    json.LineBreak().Separator();
    return json.Take();
}

using CReadError = CPartialError;

[[noreturn]] void Invalid(const std::string& field, const std::string& what) {
    InvalidPartialField(field, what);
}

std::optional<double> ReadOmega(const Json& value, const std::string& field) {
    if (value.is_null()) return std::nullopt;
    if (!value.is_number() || !std::isfinite(value.get<double>()) || value.get<double>() < 0)
        Invalid(field, "is not a proximity");
    return value.get<double>();
}

void ReadRequest(const Json& root, ProximityPartial& partial) {
    ProximityRequest& request = partial.request;
    request.document = ReadPartialText(root["name"], "name");
    request.documentDigest = ReadPartialDigest(root["document"], "document");
    request.letters = static_cast<std::int32_t>(ReadPartialInteger(
        root["letters"], "letters", 0, std::numeric_limits<std::int32_t>::max()));
    if (!root["alphabet"].is_string() ||
        !ParseAlphabetName(root["alphabet"].get_ref<const std::string&>(), request.alphabet))
        Invalid("alphabet", "is not latin, hebrew or greek");
    request.keepFinals = ReadPartialBool(root["keepFinals"], "keepFinals");
    request.ignoreNumbers = ReadPartialBool(root["ignoreNumbers"], "ignoreNumbers");
    const Json& settings = root["settings"];
    CheckPartialFields(settings, "settings", kProximitySettingsKeys,
                       std::size(kProximitySettingsKeys));
    ProximitySettings& measure = request.settings;
    if (!settings["expectedEls"].is_number()) Invalid("settings.expectedEls", "is not a number");
    measure.expectedEls = settings["expectedEls"].get<double>();
    measure.minLetters = static_cast<int>(
        ReadPartialInteger(settings["minLetters"], "settings.minLetters", 2, kMostLetters));
    measure.maxLetters = static_cast<int>(
        ReadPartialInteger(settings["maxLetters"], "settings.maxLetters", 2, kMostLetters));
    measure.deltaConstant = static_cast<int>(ReadPartialInteger(
        settings["deltaConstant"], "settings.deltaConstant", kLowestDeltaConstant, 1000000));
    measure.minTriples = static_cast<int>(
        ReadPartialInteger(settings["minTriples"], "settings.minTriples", 1, kTripleCount));
    if (const std::string problem = CheckProximitySettings(measure); !problem.empty())
        Invalid("settings", "cannot be used: " + problem);
    request.controlText.reset();
    if (!root["controlText"].is_null()) {
        ControlTextKind kind;
        if (!root["controlText"].is_string() ||
            !ParseControlTextKind(root["controlText"].get_ref<const std::string&>(), kind))
            Invalid("controlText", "is no control text");
        request.controlText = kind;
    }
    request.seed = ReadPartialUnsigned(root["seed"], "seed");
    request.permutations = ReadPartialUnsigned(root["permutations"], "permutations");
    request.triples = ReadPartialBool(root["triples"], "triples");
    request.fromList = true;

    const CAlphabet alphabet(request.alphabet, request.keepFinals);
    const Json& persons = root["persons"];
    if (!persons.is_array() || persons.empty()) Invalid("persons", "is not a list of persons");
    request.persons.clear();
    for (const Json& entry : persons) {
        const std::string field = "persons[" + std::to_string(request.persons.size()) + "]";
        if (!entry.is_object() || entry.size() != 3 || !entry.contains("id") ||
            !entry.contains("names") || !entry.contains("dates"))
            Invalid(field, "is not a person with an id, names and dates");
        ProximityPerson& person = request.persons.emplace_back();
        person.id = ReadPartialText(entry["id"], field + ".id");
        for (const char* kind : {"names", "dates"}) {
            if (!entry[kind].is_array()) Invalid(field + "." + kind, "is not a list of words");
            for (const Json& spelled : entry[kind]) {
                std::string word, error;
                if (!ReadProximityWord(alphabet, ReadPartialText(spelled, field + "." + kind), word,
                                       error) ||
                    word.empty())
                    Invalid(field + "." + kind, "holds a word that is no word");
                (kind[0] == 'n' ? person.names : person.dates).push_back(std::move(word));
            }
        }
    }
}

void ReadRows(const Json& root, ProximityPartial& partial) {
    const std::size_t persons = partial.request.persons.size();
    const Json& shard = root["shard"];
    const char* const shardFields[] = {"index", "count", "firstRow", "lastRow"};
    CheckPartialFields(shard, "shard", shardFields, std::size(shardFields));
    partial.shard.count =
        ReadPartialInteger(shard["count"], "shard.count", 1, static_cast<std::int64_t>(persons));
    partial.shard.index =
        ReadPartialInteger(shard["index"], "shard.index", 0, partial.shard.count - 1);
    ProximityRows& rows = partial.rows;
    rows.firstRow = ShardFirstRow(persons, partial.shard);
    rows.lastRow = ShardFirstRow(persons, {partial.shard.index + 1, partial.shard.count});
    if (ReadPartialUnsigned(shard["firstRow"], "shard.firstRow") != rows.firstRow ||
        ReadPartialUnsigned(shard["lastRow"], "shard.lastRow") != rows.lastRow)
        Invalid("shard", "does not hold the rows of its shard");

    const FittingWords fit = FitWords(partial.request.persons, partial.request.settings);
    const Json& cells = root["cells"];
    if (!cells.is_array() || cells.size() != (rows.lastRow - rows.firstRow) * persons)
        Invalid("cells", "does not hold every cell of the shard's rows");
    rows.cells.clear();
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const std::size_t row = rows.firstRow + c / persons, column = c % persons;
        const std::string field = "cells[" + std::to_string(c) + "]";
        const Json& cell = cells[c];
        if (!cell.is_array() || cell.size() != fit.names[row].size() * fit.dates[column].size())
            Invalid(field, "does not hold the pairs of its cell");
        std::vector<PairSummary>& pairs = rows.cells.emplace_back();
        for (const Json& entry : cell) {
            if (!entry.is_array() || entry.size() != 5)
                Invalid(field, "holds a pair that is not [D1, D2, m, v, omega]");
            PairSummary pair;
            pair.skipLimit1 = static_cast<std::int32_t>(
                ReadPartialInteger(entry[0], field, 2, std::numeric_limits<std::int32_t>::max()));
            pair.skipLimit2 = static_cast<std::int32_t>(
                ReadPartialInteger(entry[1], field, 2, std::numeric_limits<std::int32_t>::max()));
            pair.validTriples =
                static_cast<std::int16_t>(ReadPartialInteger(entry[2], field, 0, kTripleCount));
            pair.rank = static_cast<std::int16_t>(
                ReadPartialInteger(entry[3], field, 0, pair.validTriples));
            const std::optional<double> omega = ReadOmega(entry[4], field);
            pair.hasOmega = omega.has_value();
            pair.omega = omega.value_or(0.0);
            pair.defined = pair.rank > 0;
            if (pair.defined &&
                (!pair.hasOmega || pair.validTriples < partial.request.settings.minTriples))
                Invalid(field, "holds a pair whose c cannot be defined");
            pair.c = pair.defined ? double(pair.rank) / double(pair.validTriples) : 0.0;
            pairs.push_back(pair);
        }
    }

    const Json& triples = root["cellTriples"];
    if (!triples.is_array() ||
        triples.size() != (partial.request.triples ? rows.lastRow - rows.firstRow : 0))
        Invalid("cellTriples", "does not match the field \"triples\"");
    rows.diagonalTriples.clear();
    for (std::size_t r = 0; r < triples.size(); ++r) {
        const std::string field = "cellTriples[" + std::to_string(r) + "]";
        const std::size_t row = rows.firstRow + r;
        if (!triples[r].is_array() || triples[r].size() != rows.cells[r * persons + row].size())
            Invalid(field, "does not hold the pairs of its cell");
        std::vector<TripleOmegas>& kept = rows.diagonalTriples.emplace_back();
        for (const Json& entry : triples[r]) {
            if (!entry.is_array() || entry.size() != kTripleCount)
                Invalid(field, "holds a pair without its 125 triples");
            TripleOmegas& omegas = kept.emplace_back();
            for (std::size_t t = 0; t < omegas.size(); ++t)
                omegas[t] = ReadOmega(entry[t], field);
        }
    }
}

}  // namespace

std::size_t ShardFirstRow(std::size_t persons, ShardId shard) {
    return static_cast<std::size_t>(static_cast<std::uint64_t>(persons) *
                                    static_cast<std::uint64_t>(shard.index) /
                                    static_cast<std::uint64_t>(shard.count));
}

std::string WriteProximityPartial(const ProximityPartial& partial) {
    return SealPartial(PartialBody(partial));
}

bool ReadProximityPartial(std::string_view file, ProximityPartial& partial, std::string& problem) {
    std::size_t skipped = 0;
    const std::string_view text = PartialText(file, skipped);
    if (text.empty()) {
        problem = "the file is empty.";
        return false;
    }
    try {
        Json root;
        try {
            root = Json::parse(text.begin(), text.end());
        } catch (const Json::parse_error& error) {
            ThrowJsonProblem(error.byte, text.size(), skipped);
        }
        CheckPartialFormat(root, PartialKind::Proximity);
        CheckPartialFields(root, "", kFields, std::size(kFields));
        ProximityPartial read;
        ReadRequest(root, read);
        ReadRows(root, read);
        CheckPartialChecksum(root, PartialBody(read));
        partial = std::move(read);
        return true;
    } catch (const CPartialError& error) {
        problem = error.Problem();
    } catch (const Json::exception& error) {
        problem = std::string("the partial could not be read (") + error.what() + ").";
    }
    return false;
}

bool CProximityMerger::Add(std::string_view name, std::string_view text, std::string& message) {
    ProximityPartial partial;
    std::string problem;
    if (!ReadProximityPartial(text, partial, problem)) {
        message = std::string(name) + ", read as " + PartialKindText(PartialKind::Proximity) +
                  ": " + problem;
        return false;
    }
    if (!book_.Add(name, partial.shard, CompareFields(partial), message)) return false;
    rows_[partial.shard.index] = std::move(partial.rows);
    if (!first_) {
        partial.rows = {};
        first_ = std::move(partial);
    }
    return true;
}

bool CProximityMerger::Finish(ProximityRequest& request, ProximityRows& rows,
                              std::string& message) {
    if (!first_) {
        message = "No partials were given.";
        return false;
    }
    if (const std::optional<ShardId> missing = book_.Missing()) {
        message =
            "Shard " + ShardName(*missing) + " is missing: no partial holds its persons' rows.";
        return false;
    }
    request = first_->request;
    rows = {};
    rows.firstRow = 0;
    rows.lastRow = request.persons.size();
    for (auto& [index, part] : rows_) {
        for (std::vector<PairSummary>& cell : part.cells)
            rows.cells.push_back(std::move(cell));
        for (std::vector<TripleOmegas>& kept : part.diagonalTriples)
            rows.diagonalTriples.push_back(std::move(kept));
    }
    return true;
}
