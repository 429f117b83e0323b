// Reading a partial: every field checked, the checksum compared, the statistics rows read
// straight from the JSON events.
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <utility>

#include "common/partial_file.h"
#include "controls/control_partial.h"
#include "controls/control_partial_format.h"

using Json = PartialJson;

namespace {

using CReadError = CPartialError;

[[noreturn]] void Invalid(const std::string& field, const std::string& what) {
    InvalidPartialField(field, what);
}

std::int32_t ReadInt32(const Json& value, const std::string& field, std::int32_t lowest,
                       std::int32_t highest) {
    return static_cast<std::int32_t>(ReadPartialInteger(value, field, lowest, highest));
}

// A search without results has no span: null in the file, 0 in memory.
std::int64_t ReadSpan(const Json& value, const std::string& field) {
    if (value.is_null()) return 0;
    return ReadPartialInteger(value, field, 1, std::numeric_limits<std::int64_t>::max());
}

std::optional<double> ReadExpectation(const Json& value, const char* field) {
    if (value.is_null()) return std::nullopt;
    if (!value.is_number() || !std::isfinite(value.get<double>()) || value.get<double>() < 0)
        Invalid(field, "is not a count");
    return value.get<double>();
}

SearchStatistics ReadStatistics(const Json& count, const Json& span, const std::string& field) {
    SearchStatistics statistics;
    statistics.results =
        ReadPartialInteger(count, field, 0, std::numeric_limits<std::int64_t>::max());
    statistics.smallestSpan = ReadSpan(span, field);
    // A search with results has a shortest one, and one without has none.
    if ((statistics.results > 0) != (statistics.smallestSpan > 0))
        Invalid(field, statistics.results > 0 ? "gives results but no smallest span"
                                              : "gives a smallest span but no results");
    return statistics;
}

void ReadRun(const Json& root, ControlPartial& partial) {
    ControlRun& run = partial.run;
    run.documentName = ReadPartialText(root["name"], "name");
    partial.documentDigest = ReadPartialDigest(root["document"], "document");
    run.alphabet = ReadPartialText(root["alphabet"], "alphabet");

    const Json& keywords = root["keywords"];
    if (!keywords.is_array() || keywords.empty()) Invalid("keywords", "is not a list of keywords");
    run.keywords.clear();
    for (const Json& keyword : keywords)
        run.keywords.push_back(ReadPartialText(keyword, "keywords"));

    const Json& settings = root["settings"];
    CheckPartialFields(settings, "settings", kSearchSettingsKeys, std::size(kSearchSettingsKeys));
    const std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    run.settings.MaxDistanceBetweenLetters =
        ReadInt32(settings["maxSkip"], "settings.maxSkip", 1, kMax);
    run.settings.MinSkip = ReadInt32(settings["minSkip"], "settings.minSkip", 1, kMax);
    run.settings.MaxResultLength = ReadInt32(settings["span"], "settings.span", 0, kMax);
    run.settings.MinColumnWidth = ReadInt32(settings["minWidth"], "settings.minWidth", 1, kMax);
    run.settings.MaxColumnWidth =
        ReadInt32(settings["maxWidth"], "settings.maxWidth", run.settings.MinColumnWidth, kMax);
    run.settings.AllowReverseKeywords = ReadPartialBool(settings["reverse"], "settings.reverse");
    run.settings.ExcludeWordsDirectlyFromText =
        ReadPartialBool(settings["excludeDirect"], "settings.excludeDirect");
    run.ignoreNumbers = ReadPartialBool(settings["ignoreNumbers"], "settings.ignoreNumbers");

    if (!root["controlKind"].is_string() ||
        !ParseControlKind(root["controlKind"].get_ref<const std::string&>(), run.kind))
        Invalid("controlKind", "is not letters, words or keywords");
    if (!root["seed"].is_number_unsigned()) Invalid("seed", "is not a whole number 0 or more");
    run.seed = root["seed"].get<std::uint64_t>();
    run.total = ReadPartialInteger(root["controls"], "controls", 1, kMostControls);

    run.expected = ReadExpectation(root["expectedCount"], "expectedCount");
    run.expectedIndependent = ReadExpectation(root["expectedIndependent"], "expectedIndependent");

    const Json& real = root["real"];
    const char* const realFields[] = {"count", "smallestSpan", "plainWords"};
    CheckPartialFields(real, "real", realFields, std::size(realFields));
    run.real = ReadStatistics(real["count"], real["smallestSpan"], "real");
    run.plainWordResults =
        ReadPartialInteger(real["plainWords"], "real.plainWords", 0, run.real.results);
}

// A row of "statistics" as read: up to three scalar values, and whether anything else was there.
struct StatisticsRow {
    std::array<Json, 3> values;
    std::size_t count = 0;
    bool malformed = false;
};

// Reads a partial into a JSON document, except the rows of "statistics", which go straight into
// a list: a document per row would cost most of a large merge's time in allocations.
class CPartialSax {
  public:
    Json root;
    std::vector<StatisticsRow> rows;
    std::size_t errorByte = 0;

    bool null() { return Value(Json()); }
    bool boolean(bool value) { return Value(Json(value)); }
    bool number_integer(Json::number_integer_t value) { return Value(Json(value)); }
    bool number_unsigned(Json::number_unsigned_t value) { return Value(Json(value)); }
    bool number_float(Json::number_float_t value, const Json::string_t&) {
        return Value(Json(value));
    }
    bool string(Json::string_t& value) { return Value(Json(std::move(value))); }
    bool binary(Json::binary_t&) { return Value(Json()); }

    bool start_object(std::size_t) {
        if (rowDepth_ > 0) return Nested(false);
        stack_.push_back(Place(Json::object()));
        return true;
    }
    bool end_object() {
        if (rowDepth_ > 0) return Leave();
        stack_.pop_back();
        return true;
    }
    bool key(Json::string_t& name) {
        if (rowDepth_ == 0) key_ = name;
        return true;
    }
    bool start_array(std::size_t) {
        if (rowDepth_ > 0) return Nested(true);
        if (stack_.size() == 1 && key_ == "statistics") {
            // The last "statistics" counts, as the last of any repeated field does.
            Place(Json::array());
            rows.clear();
            rowDepth_ = 1;
            return true;
        }
        stack_.push_back(Place(Json::array()));
        return true;
    }
    bool end_array() {
        if (rowDepth_ > 0) return Leave();
        stack_.pop_back();
        return true;
    }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) {
        errorByte = position;
        return false;
    }

  private:
    Json* Place(Json&& value) {
        if (stack_.empty()) {
            root = std::move(value);
            return &root;
        }
        Json& parent = *stack_.back();
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return &parent.back();
        }
        Json& slot = parent[key_];
        slot = std::move(value);
        return &slot;
    }

    bool Value(Json&& value) {
        if (rowDepth_ == 0) {
            Place(std::move(value));
        } else if (rowDepth_ == 1) {
            rows.emplace_back().malformed = true;  // a value where a row belongs
        } else if (rowDepth_ == 2 && rows.back().count < 3) {
            StatisticsRow& row = rows.back();
            row.values[row.count++] = std::move(value);
        } else {
            rows.back().malformed = true;
        }
        return true;
    }

    // An object or array inside "statistics": a row, or something where a number belongs.
    bool Nested(bool array) {
        if (rowDepth_ == 1) {
            rows.emplace_back().malformed = !array;
        } else {
            rows.back().malformed = true;
        }
        ++rowDepth_;
        return true;
    }
    bool Leave() {
        if (rowDepth_ == 2 && rows.back().count != 3) rows.back().malformed = true;
        --rowDepth_;
        return true;
    }

    std::vector<Json*> stack_;
    std::string key_;
    int rowDepth_ = 0;  // 1 inside "statistics", 2 inside one of its rows, more deeper
};

// A row whose index, count and span are whole numbers in range and agree with each other; no
// value when anything is off (the slow path then says what).
std::optional<SearchStatistics> SoundRow(const StatisticsRow& row) {
    constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const Json& index = row.values[0];
    const Json& count = row.values[1];
    const Json& span = row.values[2];
    if (row.malformed || !index.is_number_unsigned() || !count.is_number_unsigned() ||
        !(span.is_null() || span.is_number_unsigned()))
        return std::nullopt;
    const auto results = count.get<std::uint64_t>();
    const std::uint64_t smallestSpan = span.is_null() ? 0 : span.get<std::uint64_t>();
    if (index.get<std::uint64_t>() > kLargest || results > kLargest || smallestSpan > kLargest ||
        (results > 0) != (smallestSpan > 0) || (span.is_number_unsigned() && smallestSpan == 0))
        return std::nullopt;
    return SearchStatistics{static_cast<std::int64_t>(results),
                            static_cast<std::int64_t>(smallestSpan)};
}

void ReadShard(const Json& root, const std::vector<StatisticsRow>& rows, ControlPartial& partial) {
    const Json& shard = root["shard"];
    const char* const shardFields[] = {"index", "count"};
    CheckPartialFields(shard, "shard", shardFields, std::size(shardFields));
    partial.shard.count = ReadPartialInteger(shard["count"], "shard.count", 1, partial.run.total);
    partial.shard.index =
        ReadPartialInteger(shard["index"], "shard.index", 0, partial.shard.count - 1);

    const Json& statistics = root["statistics"];
    if (!statistics.is_array()) Invalid("statistics", "is not a list");
    const std::string shardName =
        std::to_string(partial.shard.index) + "/" + std::to_string(partial.shard.count);
    const std::int64_t size = ShardSize(partial.run.total, partial.shard);
    std::vector<SearchStatistics>& controls = partial.run.controls;
    controls.clear();
    controls.reserve(static_cast<std::size_t>(
        std::min<std::int64_t>(size, static_cast<std::int64_t>(rows.size()))));
    std::int64_t expectedIndex = partial.shard.index;
    for (const StatisticsRow& row : rows) {
        // The usual row, read without naming it: a merge reads millions of them.
        if (const auto sound = SoundRow(row);
            sound && static_cast<std::int64_t>(controls.size()) < size &&
            row.values[0].get<std::uint64_t>() == static_cast<std::uint64_t>(expectedIndex)) {
            controls.push_back(*sound);
            expectedIndex += partial.shard.count;
            continue;
        }
        const std::string field = "statistics[" + std::to_string(controls.size()) + "]";
        if (row.malformed) Invalid(field, "is not [index, count, span]");
        const std::int64_t index =
            ReadPartialInteger(row.values[0], field, 0, std::numeric_limits<std::int64_t>::max());
        if (static_cast<std::int64_t>(controls.size()) >= size || index != expectedIndex) {
            const bool belongs =
                index % partial.shard.count == partial.shard.index && index < partial.run.total;
            throw CReadError(belongs ? "control " + std::to_string(index) +
                                           " is out of order or given twice."
                                     : "control " + std::to_string(index) +
                                           " does not belong to shard " + shardName + ".");
        }
        controls.push_back(ReadStatistics(row.values[1], row.values[2], field));
        expectedIndex += partial.shard.count;
    }
    if (static_cast<std::int64_t>(controls.size()) < size)
        throw CReadError("control " + std::to_string(expectedIndex) + " of shard " + shardName +
                         " is missing.");
}

}  // namespace

bool ReadControlPartial(std::string_view file, ControlPartial& partial, std::string& problem) {
    std::size_t skipped = 0;
    const std::string_view text = PartialText(file, skipped);
    if (text.empty()) {
        problem = "the file is empty.";
        return false;
    }
    try {
        CPartialSax reader;
        if (!Json::sax_parse(text.begin(), text.end(), &reader))
            ThrowJsonProblem(reader.errorByte, text.size(), skipped);
        Json& root = reader.root;
        CheckPartialFormat(root, PartialKind::Controls);
        CheckPartialFields(root, "", kFields, std::size(kFields));
        ControlPartial read;
        ReadRun(root, read);
        ReadShard(root, reader.rows, read);
        CheckPartialChecksum(root, PartialBody(read));
        partial = std::move(read);
        return true;
    } catch (const CPartialError& error) {
        problem = error.Problem();
    } catch (const Json::exception& error) {
        // The checks above should leave no way here; say so rather than crash.
        problem = std::string("the partial could not be read (") + error.what() + ").";
    }
    return false;
}
