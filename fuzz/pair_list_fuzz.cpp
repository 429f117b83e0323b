// libFuzzer target: random bytes go through the proximity list reader. Never a crash; a list it
// accepts has persons with IDs, words that are not empty, no word twice for one person (name or
// date), and someone with both a name and a date; a refusal names a line of the input (or 0).
//
// Input: byte 0 picks the alphabet (bits 0-1) and keeping finals (bit 2); the rest is the list.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "proximity/pair_list.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool Distinct(std::vector<std::string> words) {
    std::sort(words.begin(), words.end());
    return std::adjacent_find(words.begin(), words.end()) == words.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const AlphabetName names[] = {AlphabetName::Latin, AlphabetName::Hebrew, AlphabetName::Greek,
                                  AlphabetName::Hebrew};
    const CAlphabet alphabet(names[data[0] & 3], (data[0] & 4) != 0);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<ProximityPerson> persons;
    PairListError error;
    std::vector<PairListNote> notes;
    if (!ReadPairList(text, alphabet, persons, error, &notes)) {
        Check(!error.message.empty());
        Check(error.line <=
              static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        return 0;
    }
    bool somePair = false;
    for (const ProximityPerson& person : persons) {
        Check(!person.id.empty());
        Check(!person.names.empty() || !person.dates.empty());
        for (const std::vector<std::string>* words : {&person.names, &person.dates}) {
            for (const std::string& word : *words)
                Check(!word.empty());
            Check(Distinct(*words));
        }
        somePair = somePair || (!person.names.empty() && !person.dates.empty());
    }
    Check(somePair);
    for (const PairListNote& note : notes)
        Check(note.line >= 1 && !note.message.empty());
    // The notes about persons and about words paired with themselves are sentences, or nothing.
    const std::string unpaired = UnpairedPersonsNote(persons);
    Check(unpaired.empty() || unpaired.back() == '.');
    for (const std::string& note : SelfPairNotes(persons, alphabet))
        Check(!note.empty());
    return 0;
}
