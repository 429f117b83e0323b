#include "proximity/pair_list.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

#include "text/utf8.h"

namespace {

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The fields of a line between its tabs, each without the blanks around it.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(Trimmed(line.substr(start, tab - start)));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

// The list's lines as read: one person's words, with the line each came from.
struct PersonLines {
    std::size_t firstLine = 0;
    ProximityPerson person;
};

class CListReader {
  public:
    CListReader(const CAlphabet& alphabet, std::vector<PairListNote>* notes)
        : alphabet_(alphabet), notes_(notes) {}

    bool ReadLine(std::size_t number, std::string_view line, PairListError& error) {
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        if (Trimmed(line).empty()) return true;
        error.line = number;
        if (FindInvalidUtf8(line) != std::string_view::npos) {
            error.message = "the line is not UTF-8 text.";
            return false;
        }
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.size() != 3) {
            error.message = "it has " + std::to_string(fields.size()) + " field" +
                            (fields.size() == 1 ? "" : "s") +
                            "; a line is ID<TAB>name<TAB>WORD or ID<TAB>date<TAB>WORD.";
            return false;
        }
        const std::string_view id = fields[0], kind = fields[1], text = fields[2];
        if (id.empty()) {
            error.message = "the ID (the first field) is empty.";
            return false;
        }
        if (kind != "name" && kind != "date") {
            error.message =
                "the second field is \"" + std::string(kind) + "\"; it must be name or date.";
            return false;
        }
        std::string word;
        if (!ReadProximityWord(alphabet_, text, word, error.message)) return false;
        const std::string alphabetName = AlphabetNameText(alphabet_.Name());
        if (word.empty()) {
            error.message = "the word \"" + std::string(text) + "\" has no letters of the " +
                            alphabetName + " alphabet.";
            return false;
        }
        if (const std::vector<std::string> foreign = ForeignLetters(alphabet_, text);
            !foreign.empty()) {
            std::string named;
            for (const std::string& letter : foreign)
                named += (named.empty() ? "\"" : ", \"") + letter + "\"";
            error.message = "the word \"" + std::string(text) + "\" holds " + named + ", " +
                            (foreign.size() == 1 ? "no letter" : "no letters") + " of the " +
                            alphabetName + " alphabet.";
            return false;
        }
        const bool isDate = kind == "date";
        PersonLines& person = PersonOf(std::string(id), number);
        const auto [seen, added] =
            lines_.emplace(std::make_tuple(std::string(id), isDate, word), number);
        if (!added) {
            if (notes_) {
                notes_->push_back({number, "it gives the " + std::string(kind) + " \"" +
                                               std::string(text) + "\" of " + std::string(id) +
                                               " again (line " + std::to_string(seen->second) +
                                               "); the word is paired once."});
            }
            return true;
        }
        (isDate ? person.person.dates : person.person.names).push_back(std::move(word));
        return true;
    }

    bool Finish(std::vector<ProximityPerson>& persons, PairListError& error) {
        if (order_.empty()) {
            error = {0, "the list names no one: every line is blank or a comment."};
            return false;
        }
        const bool somePair = std::any_of(order_.begin(), order_.end(), [&](const std::string& id) {
            const ProximityPerson& person = persons_[id].person;
            return !person.names.empty() && !person.dates.empty();
        });
        if (!somePair) {
            error = {0, "no person has both a name and a date, so the list makes no pair."};
            return false;
        }
        persons.clear();
        for (const std::string& id : order_)
            persons.push_back(std::move(persons_[id].person));
        return true;
    }

  private:
    PersonLines& PersonOf(const std::string& id, std::size_t number) {
        const auto [found, added] = persons_.try_emplace(id);
        if (added) {
            found->second.firstLine = number;
            found->second.person.id = id;
            order_.push_back(id);
        }
        return found->second;
    }

    const CAlphabet& alphabet_;
    std::vector<PairListNote>* notes_;
    std::map<std::string, PersonLines> persons_;
    std::vector<std::string> order_;
    std::map<std::tuple<std::string, bool, std::string>, std::size_t> lines_;
};

}  // namespace

bool ReadProximityWord(const CAlphabet& alphabet, std::string_view text, std::string& word,
                       std::string& error) {
    KeywordList pieces;
    if (!alphabet.ReadKeywords(text, pieces, error)) return false;
    word.clear();
    for (const std::string& piece : pieces)
        word += piece;
    if (alphabet.Name() == AlphabetName::Latin) {
        for (char& letter : word)
            letter = ToUpperAscii(letter);
    }
    return true;
}

std::vector<std::string> ForeignLetters(const CAlphabet& alphabet, std::string_view text) {
    std::vector<std::string> foreign;
    if (FindInvalidUtf8(text) != std::string_view::npos) return foreign;
    static const CAlphabet others[] = {CAlphabet(AlphabetName::Latin),
                                       CAlphabet(AlphabetName::Hebrew, true),
                                       CAlphabet(AlphabetName::Greek)};
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = at;
        // Read as UTF-8 even in the Latin alphabet, so that one letter is one character.
        if (alphabet.ReadCharacter(text, at, true, true) != 0) continue;
        bool letter = false;
        for (const CAlphabet& other : others) {
            if (other.Name() == alphabet.Name()) continue;
            std::size_t next = start;
            // The Latin alphabet reads bytes: only ASCII letters count as its letters here.
            if (other.Name() == AlphabetName::Latin &&
                static_cast<unsigned char>(text[start]) >= 0x80)
                continue;
            letter = letter || other.ReadCharacter(text, next, other.ReadsUtf8(), true) != 0;
        }
        const std::string character(text.substr(start, at - start));
        if (letter && std::find(foreign.begin(), foreign.end(), character) == foreign.end())
            foreign.push_back(character);
    }
    return foreign;
}

std::string UnpairedPersonsNote(const std::vector<ProximityPerson>& persons) {
    std::vector<std::string> noDate, noName;
    for (const ProximityPerson& person : persons) {
        if (person.dates.empty()) noDate.push_back(person.id);
        if (person.names.empty()) noName.push_back(person.id);
    }
    const auto join = [](const std::vector<std::string>& ids) {
        std::string text;
        for (std::size_t i = 0; i < ids.size(); ++i)
            text += (i == 0 ? "" : i + 1 == ids.size() ? " and " : ", ") + ids[i];
        return text;
    };
    std::string note;
    if (!noDate.empty())
        note = join(noDate) + (noDate.size() == 1 ? " has" : " have") + " names but no date";
    if (!noName.empty()) {
        note += (note.empty() ? "" : ", and ") + join(noName) +
                (noName.size() == 1 ? " has" : " have") + " dates but no name";
    }
    if (note.empty()) return note;
    return note +
           ": no pair of their own, but in the permutation test their words meet those "
           "of the other persons.";
}

std::vector<std::string> SelfPairNotes(const std::vector<ProximityPerson>& persons,
                                       const CAlphabet& alphabet) {
    std::vector<std::string> notes;
    for (const ProximityPerson& person : persons) {
        for (const std::string& name : person.names) {
            if (std::find(person.dates.begin(), person.dates.end(), name) == person.dates.end())
                continue;
            notes.push_back("\"" + alphabet.Spell(name) + "\" is both a name and a date" +
                            (person.id.empty() ? std::string() : " of " + person.id) +
                            ": the word is paired with itself.");
        }
    }
    return notes;
}

bool ReadPairList(std::string_view text, const CAlphabet& alphabet,
                  std::vector<ProximityPerson>& persons, PairListError& error,
                  std::vector<PairListNote>* notes) {
    text.remove_prefix(Utf8BomLength(text));
    CListReader reader(alphabet, notes);
    std::size_t number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string_view line = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        ++number;
        if (!reader.ReadLine(number, line, error)) return false;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return reader.Finish(persons, error);
}
