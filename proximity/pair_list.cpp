#include "proximity/pair_list.h"

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
    explicit CListReader(const CAlphabet& alphabet) : alphabet_(alphabet) {}

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
        if (word.empty()) {
            error.message = "the word \"" + std::string(text) + "\" has no letters of the " +
                            std::string(AlphabetNameText(alphabet_.Name())) + " alphabet.";
            return false;
        }
        const bool isDate = kind == "date";
        const auto [seen, added] =
            lines_.emplace(std::make_tuple(std::string(id), isDate, word), number);
        if (!added) {
            error.message = "it gives the " + std::string(kind) + " \"" + std::string(text) +
                            "\" of " + std::string(id) + " again (line " +
                            std::to_string(seen->second) + ").";
            return false;
        }
        PersonLines& person = PersonOf(std::string(id), number);
        (isDate ? person.person.dates : person.person.names).push_back(std::move(word));
        return true;
    }

    bool Finish(std::vector<ProximityPerson>& persons, PairListError& error) {
        if (order_.empty()) {
            error = {0, "the list names no one: every line is blank or a comment."};
            return false;
        }
        for (const std::string& id : order_) {
            PersonLines& lines = persons_[id];
            const bool noNames = lines.person.names.empty();
            if (noNames || lines.person.dates.empty()) {
                error = {lines.firstLine,
                         id + " has " + (noNames ? "dates but no name" : "names but no date") +
                             ", so no pair."};
                return false;
            }
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

bool ReadPairList(std::string_view text, const CAlphabet& alphabet,
                  std::vector<ProximityPerson>& persons, PairListError& error) {
    text.remove_prefix(Utf8BomLength(text));
    CListReader reader(alphabet);
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
