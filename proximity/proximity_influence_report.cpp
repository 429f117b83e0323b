#include "proximity/proximity_influence_report.h"

#include "results/json_writer.h"
#include "text/alphabet.h"

namespace {

// The word of a row as the list spells it, with its role.
std::string WordOf(const ProximityRequest& request, const ListWord& word,
                   const CAlphabet& alphabet) {
    const ProximityPerson& person = request.persons[word.person];
    return alphabet.Spell(word.isDate ? person.dates[word.index] : person.names[word.index]);
}

void RanksText(const InfluenceRow& row, std::string& text) {
    text += "\t" + std::to_string(row.pairs) + "\t" + std::to_string(row.counts.atMostP1) + "\t" +
            std::to_string(row.counts.atMostP2) + "\t" + std::to_string(row.counts.atMostT) + "\n";
}

void RanksJson(const InfluenceRow& row, CJsonWriter& json) {
    json.Key("pairs").Integer(row.pairs);
    json.Key("rankP1").Integer(row.counts.atMostP1);
    json.Key("rankP2").Integer(row.counts.atMostP2);
    json.Key("rankT").Integer(row.counts.atMostT);
}

}  // namespace

std::string InfluenceText(const ProximityOutcome& outcome) {
    if (!outcome.influence) return {};
    const ProximityRequest& request = outcome.request;
    const CAlphabet alphabet(request.alphabet, request.keepFinals);
    std::string text =
        "Influence: the permutation test again with one person or one word left out, by how far "
        "the rank of P2 moves\n"
        "left out\tN\trank P1\trank P2\trank T\n";
    for (const InfluenceRow& row : outcome.influence->persons) {
        text += "person " + request.persons[row.person].id;
        RanksText(row, text);
    }
    for (const InfluenceRow& row : outcome.influence->words) {
        text += request.persons[row.person].id + " " + (row.word->isDate ? "date " : "name ") +
                WordOf(request, *row.word, alphabet);
        RanksText(row, text);
    }
    return text;
}

void WriteInfluenceJson(const ProximityOutcome& outcome, CJsonWriter& json) {
    if (!outcome.influence) return;
    const ProximityRequest& request = outcome.request;
    const CAlphabet alphabet(request.alphabet, request.keepFinals);
    json.LineBreak().Key("influence").BeginObject();
    json.Key("persons").BeginArray();
    for (const InfluenceRow& row : outcome.influence->persons) {
        json.LineBreak().BeginObject();
        json.Key("person").String(request.persons[row.person].id);
        RanksJson(row, json);
        json.EndObject();
    }
    json.EndArray();
    json.Key("words").BeginArray();
    for (const InfluenceRow& row : outcome.influence->words) {
        json.LineBreak().BeginObject();
        json.Key("person").String(request.persons[row.person].id);
        json.Key("word").String(WordOf(request, *row.word, alphabet));
        RanksJson(row, json);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}
