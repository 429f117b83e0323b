#include "proximity/proximity_report.h"

#include <cmath>

#include "proximity/proximity_influence_report.h"
#include "proximity/shown_word.h"
#include "results/number_text.h"
#include "text/alphabet.h"

namespace {

std::string ControlTextSentence(const ProximityRequest& request) {
    static const char* const kWhat[] = {"letters", "words", "lines", "words within each line"};
    return "Control text: the document with its " +
           std::string(kWhat[static_cast<int>(*request.controlText)]) + " shuffled (seed " +
           std::to_string(request.seed) + ").\n";
}

// The role of a left-out word: name or date in a list, word1 or word2 for one pair.
const char* WordRole(const ProximityRequest& request, bool isDate) {
    if (request.fromList) return isDate ? "date" : "name";
    return isDate ? "word2" : "word1";
}

double PValue(std::int64_t rank, std::uint64_t count) {
    return static_cast<double>(rank) / (static_cast<double>(count) + 1.0);
}

}  // namespace

std::string FormatProbability(double value, double logValue, int significant) {
    if (value >= 2.2250738585072014e-308 || !std::isfinite(logValue))
        return significant >= 17 ? ShortestNumber(value) : SignificantNumber(value, significant);
    const double log10 = logValue / std::log(10.0);
    double exponent = std::floor(log10);
    std::string mantissa = SignificantNumber(std::pow(10.0, log10 - exponent), significant);
    if (mantissa.substr(0, 2) == "10") {  // rounded up to the next power of ten
        exponent += 1;
        mantissa = "1";
    }
    return mantissa + "e" + FormatFixed(exponent, 0);
}

std::string DocumentFileName(const std::string& document) {
    const std::size_t slash = document.find_last_of("/\\");
    return slash == std::string::npos ? document : document.substr(slash + 1);
}

void WriteProximitySettings(CJsonWriter& json, const ProximitySettings& settings) {
    const char* const* key = kProximitySettingsKeys;
    json.Key(*key++).Number(settings.expectedEls);
    json.Key(*key++).Integer(settings.minLetters);
    json.Key(*key++).Integer(settings.maxLetters);
    json.Key(*key++).Integer(settings.deltaConstant);
    json.Key(*key).Integer(settings.minTriples);
}

std::string ProximityText(const ProximityOutcome& outcome) {
    const ProximityRequest& request = outcome.request;
    const CAlphabet alphabet(request.alphabet, request.keepFinals);
    std::string text;
    if (request.controlText) text += ControlTextSentence(request);
    text += request.fromList ? "person\tword1\tword2\tD1\tD2\tm\tv\tc\n"
                             : "word1\tword2\tD1\tD2\tm\tv\tc\n";
    for (const ListedPair& pair : ListedPairs(request, outcome.rows)) {
        const ProximityPerson& person = request.persons[pair.person];
        const PairSummary& summary = *pair.summary;
        if (request.fromList) text += person.id + "\t";
        text += ShownWord(alphabet, person.names[pair.name]) + "\t" +
                ShownWord(alphabet, person.dates[pair.date]) + "\t" +
                std::to_string(summary.skipLimit1) + "\t" + std::to_string(summary.skipLimit2) +
                "\t" + std::to_string(summary.validTriples) + "\t" +
                (summary.defined ? std::to_string(summary.rank) + "\t" +
                                       FractionText(summary.rank, summary.validTriples)
                                 : std::string("-\tundefined")) +
                "\n";
    }
    for (const LeftOutWord& word : outcome.leftOut) {
        text += "Left out: " + ShownWord(alphabet, word.word) + " (" +
                (request.fromList ? request.persons[word.person].id + ", " : std::string()) +
                WordRole(request, word.isDate) + ") " + word.reason + ".\n";
    }
    if (!outcome.statistics) return text;
    const ProximityStatistics& statistics = *outcome.statistics;
    if (statistics.pairs == 0)
        return text + "No pair has c defined: no statistics and no permutation test\n";
    text += "N = " + std::to_string(statistics.pairs) + " pairs with c defined, " +
            std::to_string(statistics.close) + " of them with c <= 0.2\n";
    text += "P1 = " + FormatProbability(statistics.p1, statistics.logP1, 4) + "\n";
    text += "P2 = " + FormatProbability(statistics.p2, statistics.logP2, 4) + "\n";
    text +=
        "T = " + (statistics.hasT ? SignificantNumber(statistics.t) : std::string("undefined")) +
        "\n";
    if (!outcome.permutations) return text;
    const PermutationCounts& counts = *outcome.permutations;
    text += "Permutations: " + std::to_string(request.permutations) +
            " and the list's own pairing, seed " + std::to_string(request.seed) + "\n";
    const auto rank = [&](const char* name, std::int64_t value) {
        text += std::string("Rank of ") + name + ": " + std::to_string(value) +
                " (p = " + SignificantNumber(PValue(value, request.permutations)) + ")\n";
    };
    rank("P1", counts.atMostP1);
    rank("P2", counts.atMostP2);
    rank("T", counts.atMostT);
    return text + InfluenceText(outcome);
}

std::string ProximityJson(const ProximityOutcome& outcome) {
    const ProximityRequest& request = outcome.request;
    const CAlphabet alphabet(request.alphabet, request.keepFinals);
    CJsonWriter json;
    json.BeginObject();
    json.Key("document").String(request.document);
    json.Key("documentSha256").String(request.documentDigest);
    json.Key("version").String(outcome.version);
    json.Key("letters").Integer(request.letters);
    json.Key("settings").BeginObject();
    json.Key("alphabet").String(AlphabetNameText(request.alphabet));
    json.Key("keepFinals").Bool(request.keepFinals);
    json.Key("ignoreNumbers").Bool(request.ignoreNumbers);
    WriteProximitySettings(json, request.settings);
    json.Key("controlText");
    if (request.controlText)
        json.String(ControlTextKindName(*request.controlText));
    else
        json.Null();
    json.Key("seed").Unsigned(request.seed);
    json.EndObject();

    json.Key("leftOut").BeginArray();
    for (const LeftOutWord& word : outcome.leftOut) {
        json.BeginObject();
        json.Key("person");
        if (request.fromList)
            json.String(request.persons[word.person].id);
        else
            json.Null();
        json.Key("role").String(WordRole(request, word.isDate));
        json.Key("word").String(alphabet.Spell(word.word));
        json.Key("reason").String(word.reason);
        json.EndObject();
    }
    json.EndArray();

    json.Key("pairs").BeginArray();
    for (const ListedPair& pair : ListedPairs(request, outcome.rows)) {
        const ProximityPerson& person = request.persons[pair.person];
        const PairSummary& summary = *pair.summary;
        json.LineBreak().BeginObject();
        json.Key("person");
        if (request.fromList)
            json.String(person.id);
        else
            json.Null();
        json.Key("word1").String(alphabet.Spell(person.names[pair.name]));
        json.Key("word2").String(alphabet.Spell(person.dates[pair.date]));
        json.Key("skipLimit1").Integer(summary.skipLimit1);
        json.Key("skipLimit2").Integer(summary.skipLimit2);
        json.Key("validTriples").Integer(summary.validTriples);
        json.Key("rank").OptionalNumber(summary.defined ? std::optional<double>(summary.rank)
                                                        : std::nullopt);
        json.Key("c").OptionalNumber(summary.defined ? std::optional<double>(summary.c)
                                                     : std::nullopt);
        json.Key("omega").OptionalNumber(summary.hasOmega ? std::optional<double>(summary.omega)
                                                          : std::nullopt);
        if (pair.triples != nullptr) {
            json.Key("triples").BeginArray();
            for (int t = 0; t < kTripleCount; ++t) {
                const Triple triple = TripleAt(t);
                json.BeginObject().Key("t").BeginArray();
                json.Integer(triple.x).Integer(triple.y).Integer(triple.z).EndArray();
                json.Key("omega").OptionalNumber((*pair.triples)[static_cast<std::size_t>(t)]);
                json.EndObject();
            }
            json.EndArray();
        }
        json.EndObject();
    }
    json.EndArray();

    if (outcome.statistics && outcome.statistics->pairs == 0) {
        json.LineBreak().Key("statistics").Null();
    } else if (outcome.statistics) {
        const ProximityStatistics& statistics = *outcome.statistics;
        json.LineBreak().Key("statistics").BeginObject();
        json.Key("pairs").Integer(statistics.pairs);
        json.Key("close").Integer(statistics.close);
        json.Key("minusLogC").Number(statistics.minusLogC);
        json.Key("p1").Raw(FormatProbability(statistics.p1, statistics.logP1));
        json.Key("p2").Raw(FormatProbability(statistics.p2, statistics.logP2));
        json.Key("log10P1").Number(statistics.logP1 / std::log(10.0));
        json.Key("log10P2").Number(statistics.logP2 / std::log(10.0));
        json.Key("t").OptionalNumber(statistics.hasT ? std::optional<double>(statistics.t)
                                                     : std::nullopt);
        json.EndObject();
    }
    if (outcome.permutations) {
        const PermutationCounts& counts = *outcome.permutations;
        json.LineBreak().Key("permutations").BeginObject();
        json.Key("count").Unsigned(request.permutations);
        json.Key("seed").Unsigned(request.seed);
        json.Key("rankP1").Integer(counts.atMostP1);
        json.Key("rankP2").Integer(counts.atMostP2);
        json.Key("rankT").Integer(counts.atMostT);
        json.EndObject();
    }
    WriteInfluenceJson(outcome, json);
    json.EndObject();
    return json.Take() + "\n";
}
