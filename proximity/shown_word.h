// A word as the displays show it: spelled in its script, a Hebrew word with the final form of
// its last letter (what the measure and the JSON read as the ordinary letter).
#pragma once

#include <string>
#include <string_view>

#include "text/alphabet.h"

// `codes` spelled in `alphabet`; in Hebrew without kept finals (22 letters) its last letter, when
// it has a final form (כ מ נ פ צ), in that form.
std::string ShownWord(const CAlphabet& alphabet, std::string_view codes);

// `word` (UTF-8) with its last letter in its final form when it is one of כ מ נ פ צ.
std::string WithFinalForm(std::string word);
