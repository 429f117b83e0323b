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

// What is wrong with a list, and where: line counts from 1, 0 for the list as a whole.
struct PairListError {
    std::size_t line = 0;
    std::string message;
};

// Reads a list: UTF-8 text (a leading byte-order mark is skipped), one word a line as
// ID<TAB>name<TAB>WORD or ID<TAB>date<TAB>WORD; `#` starts a comment that runs to the end of the
// line; blank lines are ignored; blanks around a field do not count. Persons come in the order
// of their first line, their names and dates in the order of their lines. A person must have at
// least one name and one date, no line may be given twice, and the list must name someone.
// False with `error` set on the first line that is wrong.
bool ReadPairList(std::string_view text, const CAlphabet& alphabet,
                  std::vector<ProximityPerson>& persons, PairListError& error);
