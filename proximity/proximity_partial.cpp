#include "proximity/proximity_partial.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

#include "common/sha256.h"
#include "proximity/pair_list.h"
#include "proximity/proximity_report.h"
#include "results/json_writer.h"
#include "text/alphabet.h"

using Json = nlohmann::json;

namespace {

constexpr const char* kFormatName = "strandix-proximity-partial";
constexpr std::int64_t kFormatVersion = 1;

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

// Everything before the checksum, which is the digest of exactly this text.
std::string PartialBody(const ProximityPartial& partial) {
    CJsonWriter json;
    json.BeginObject();
    json.Key("format").String(kFormatName);
    json.Key("version").Integer(kFormatVersion);
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

class CReadError {
  public:
    explicit CReadError(std::string problem) : problem_(std::move(problem)) {}
    const std::string& Problem() const { return problem_; }

  private:
    std::string problem_;
};

[[noreturn]] void Invalid(const std::string& field, const std::string& what) {
    throw CReadError("the field \"" + field + "\" " + what + ".");
}

std::int64_t ReadInteger(const Json& value, const std::string& field, std::int64_t lowest,
                         std::int64_t highest) {
    if (!value.is_number_integer()) Invalid(field, "is not a whole number");
    if (value.is_number_unsigned() &&
        value.get<std::uint64_t>() > static_cast<std::uint64_t>(highest))
        Invalid(field, "is too large");
    const auto number = value.get<std::int64_t>();
    if (number < lowest || number > highest)
        Invalid(field, "is " + std::to_string(number) + ", outside " + std::to_string(lowest) +
                           ".." + std::to_string(highest));
    return number;
}

std::uint64_t ReadUnsigned(const Json& value, const std::string& field) {
    if (!value.is_number_unsigned()) Invalid(field, "is not a whole number 0 or more");
    return value.get<std::uint64_t>();
}

bool ReadBool(const Json& value, const std::string& field) {
    if (!value.is_boolean()) Invalid(field, "is not true or false");
    return value.get<bool>();
}

std::string ReadText(const Json& value, const std::string& field) {
    if (!value.is_string()) Invalid(field, "is not a text");
    return value.get<std::string>();
}

std::optional<double> ReadOmega(const Json& value, const std::string& field) {
    if (value.is_null()) return std::nullopt;
    if (!value.is_number() || !std::isfinite(value.get<double>()) || value.get<double>() < 0)
        Invalid(field, "is not a proximity");
    return value.get<double>();
}

void CheckFields(const Json& object, const std::string& where, const char* const* names,
                 std::size_t count) {
    if (!object.is_object()) Invalid(where, "is not an object");
    for (std::size_t i = 0; i < count; ++i) {
        if (!object.contains(names[i]))
            throw CReadError("the field \"" + (where.empty() ? "" : where + ".") + names[i] +
                             "\" is missing.");
    }
    if (object.size() != count)
        throw CReadError("the partial has fields that are not part of a proximity partial.");
}

void ReadRequest(const Json& root, ProximityPartial& partial) {
    ProximityRequest& request = partial.request;
    request.document = ReadText(root["name"], "name");
    request.documentDigest = ReadText(root["document"], "document");
    if (request.documentDigest.size() != 64 ||
        request.documentDigest.find_first_not_of("0123456789abcdef") != std::string::npos)
        Invalid("document", "is not a SHA-256 digest");
    request.letters = static_cast<std::int32_t>(
        ReadInteger(root["letters"], "letters", 0, std::numeric_limits<std::int32_t>::max()));
    if (!root["alphabet"].is_string() ||
        !ParseAlphabetName(root["alphabet"].get_ref<const std::string&>(), request.alphabet))
        Invalid("alphabet", "is not latin, hebrew or greek");
    request.keepFinals = ReadBool(root["keepFinals"], "keepFinals");
    request.ignoreNumbers = ReadBool(root["ignoreNumbers"], "ignoreNumbers");
    const Json& settings = root["settings"];
    CheckFields(settings, "settings", kProximitySettingsKeys, std::size(kProximitySettingsKeys));
    ProximitySettings& measure = request.settings;
    if (!settings["expectedEls"].is_number()) Invalid("settings.expectedEls", "is not a number");
    measure.expectedEls = settings["expectedEls"].get<double>();
    measure.minLetters = static_cast<int>(
        ReadInteger(settings["minLetters"], "settings.minLetters", 2, kMostLetters));
    measure.maxLetters = static_cast<int>(
        ReadInteger(settings["maxLetters"], "settings.maxLetters", 2, kMostLetters));
    measure.deltaConstant = static_cast<int>(ReadInteger(
        settings["deltaConstant"], "settings.deltaConstant", kLowestDeltaConstant, 1000000));
    measure.minTriples = static_cast<int>(
        ReadInteger(settings["minTriples"], "settings.minTriples", 1, kTripleCount));
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
    request.seed = ReadUnsigned(root["seed"], "seed");
    request.permutations = ReadUnsigned(root["permutations"], "permutations");
    request.triples = ReadBool(root["triples"], "triples");
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
        person.id = ReadText(entry["id"], field + ".id");
        for (const char* kind : {"names", "dates"}) {
            if (!entry[kind].is_array()) Invalid(field + "." + kind, "is not a list of words");
            for (const Json& spelled : entry[kind]) {
                std::string word, error;
                if (!ReadProximityWord(alphabet, ReadText(spelled, field + "." + kind), word,
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
    CheckFields(shard, "shard", shardFields, std::size(shardFields));
    partial.shard.count =
        ReadInteger(shard["count"], "shard.count", 1, static_cast<std::int64_t>(persons));
    partial.shard.index = ReadInteger(shard["index"], "shard.index", 0, partial.shard.count - 1);
    ProximityRows& rows = partial.rows;
    rows.firstRow = ShardFirstRow(persons, partial.shard);
    rows.lastRow = ShardFirstRow(persons, {partial.shard.index + 1, partial.shard.count});
    if (ReadUnsigned(shard["firstRow"], "shard.firstRow") != rows.firstRow ||
        ReadUnsigned(shard["lastRow"], "shard.lastRow") != rows.lastRow)
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
                ReadInteger(entry[0], field, 2, std::numeric_limits<std::int32_t>::max()));
            pair.skipLimit2 = static_cast<std::int32_t>(
                ReadInteger(entry[1], field, 2, std::numeric_limits<std::int32_t>::max()));
            pair.validTriples =
                static_cast<std::int16_t>(ReadInteger(entry[2], field, 0, kTripleCount));
            pair.rank =
                static_cast<std::int16_t>(ReadInteger(entry[3], field, 0, pair.validTriples));
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
    std::string text = PartialBody(partial);
    text += "\"checksum\": \"" + Sha256Hex(text) + "\"}\n";
    return text;
}

bool LooksLikeProximityPartial(std::string_view text) {
    const std::string start = std::string("{\"format\": \"") + kFormatName + "\"";
    return text.substr(0, start.size()) == start;
}

bool ReadProximityPartial(std::string_view text, ProximityPartial& partial, std::string& problem) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        problem = "the file is empty.";
        return false;
    }
    try {
        const Json root = Json::parse(text.begin(), text.end(), nullptr, false);
        if (root.is_discarded()) {
            problem = text.find("\"checksum\"") == std::string_view::npos
                          ? "the file ends before the partial does: it was cut off."
                          : "the file is not valid JSON: it is damaged.";
            return false;
        }
        if (!root.is_object() || !root.contains("format") || root["format"] != kFormatName)
            throw CReadError("the file is not a partial of a strandix proximity run.");
        if (root["version"] != kFormatVersion)
            throw CReadError("the partial's format (version " + root["version"].dump() +
                             ") is not one this strandix reads (version " +
                             std::to_string(kFormatVersion) + ").");
        CheckFields(root, "", kFields, std::size(kFields));
        ProximityPartial read;
        ReadRequest(root, read);
        ReadRows(root, read);
        if (!root["checksum"].is_string() ||
            root["checksum"].get_ref<const std::string&>() != Sha256Hex(PartialBody(read)))
            throw CReadError(
                "the checksum does not match the content: the file was changed or damaged "
                "after it was written.");
        partial = std::move(read);
        return true;
    } catch (const CReadError& error) {
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
        message = std::string(name) + ": " + problem;
        return false;
    }
    if (first_) {
        const auto mine = RunFields(partial);
        const auto theirs = RunFields(*first_);
        for (std::size_t i = 0; i < mine.size(); ++i) {
            if (mine[i].second == theirs[i].second) continue;
            message = std::string(name) + ": its " + mine[i].first + " differs from " + firstName_ +
                      "'s, so the two are not parts of the same run.";
            return false;
        }
        if (partial.shard.count != first_->shard.count) {
            message = std::string(name) + ": it is one of " + std::to_string(partial.shard.count) +
                      " shards, while " + firstName_ + " is one of " +
                      std::to_string(first_->shard.count) +
                      ", so the two are not parts of the same split.";
            return false;
        }
    }
    if (const auto same = shards_.find(partial.shard.index); same != shards_.end()) {
        message = std::string(name) +
                  (same->second.first == name
                       ? std::string(": the file is named twice.")
                       : ": it holds shard " + ShardName(partial.shard) + ", as " +
                             same->second.first + " does; each shard must be given once.");
        return false;
    }
    shards_[partial.shard.index] = {std::string(name), std::move(partial.rows)};
    if (!first_) {
        partial.rows = {};
        first_ = std::move(partial);
        firstName_ = name;
    }
    return true;
}

bool CProximityMerger::Finish(ProximityRequest& request, ProximityRows& rows,
                              std::string& message) {
    if (!first_) {
        message = "No partials were given.";
        return false;
    }
    const std::int64_t count = first_->shard.count;
    for (std::int64_t index = 0; index < count; ++index) {
        if (shards_.count(index) == 0) {
            message = "Shard " + ShardName({index, count}) +
                      " is missing: no partial holds its persons' rows.";
            return false;
        }
    }
    request = first_->request;
    rows = {};
    rows.firstRow = 0;
    rows.lastRow = request.persons.size();
    for (auto& [index, shard] : shards_) {
        ProximityRows& part = shard.second;
        for (std::vector<PairSummary>& cell : part.cells)
            rows.cells.push_back(std::move(cell));
        for (std::vector<TripleOmegas>& kept : part.diagonalTriples)
            rows.diagonalTriples.push_back(std::move(kept));
    }
    return true;
}
