// The list file of a proximity run: people's names and the forms of a date that belongs to each,
// one word a line, and the words' letters in the document's alphabet.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "proximity/proximity_matrix.h"
#include "text/alphabet.h"

// A word as the proximity measure reads it: the letters (and digits) of `text` in the alphabet's
// codes, everything else dropped (marks such as geresh and gershayim, blanks, hyphens). Latin
// letters are upper-case. False with `error` set when `text` is not UTF-8 in a UTF-8 alphabet.
bool ReadProximityWord(const CAlphabet& alphabet, std::string_view text, std::string& word,
                       std::string& error);

// The characters of `text` that are letters of another alphabet than `alphabet` (Latin A-Z in a
// Hebrew word, Hebrew or Greek letters in a Latin one...), each once, in the order met, in UTF-8.
// Empty when there are none or when `text` is not UTF-8.
std::vector<std::string> ForeignLetters(const CAlphabet& alphabet, std::string_view text);

// What is wrong with a list, or worth a note, and where: line counts from 1, 0 for the list as
// a whole.
struct PairListError {
    std::size_t line = 0;
    std::string message;
};
using PairListNote = PairListError;

// Reads a list: UTF-8 text (a leading byte-order mark is skipped), one word a line as
// ID<TAB>name<TAB>WORD or ID<TAB>date<TAB>WORD; `#` starts a comment that runs to the end of the
// line; blank lines are ignored; blanks around a field do not count. Persons come in the order
// of their first line, their names and dates in the order of their lines. A word is refused
// when it has no letter of the alphabet or a letter of another alphabet. A person may lack
// names or dates (then it makes no pair of its own, but its words still meet the others' in the
// permutation test); a word that a person gives twice as a name (or twice as a date) is kept
// once, with a note; and some person must have both a name and a date. False with `error` set
// on the first line that is wrong; `notes` (when given) receives the notes in the order of the
// lines.
bool ReadPairList(std::string_view text, const CAlphabet& alphabet,
                  std::vector<ProximityPerson>& persons, PairListError& error,
                  std::vector<PairListNote>* notes = nullptr);

// The persons without a name or without a date, as one sentence ("4 and 8 have names but no
// date: ..."), or empty when every person has both.
std::string UnpairedPersonsNote(const std::vector<ProximityPerson>& persons);
// A sentence for each word that a person gives both as a name and as a date (a pair of the word
// with itself), in the order of the persons.
std::vector<std::string> SelfPairNotes(const std::vector<ProximityPerson>& persons,
                                       const CAlphabet& alphabet);
