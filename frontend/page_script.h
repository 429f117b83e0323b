// How a results page shows the letters of an alphabet beside A-Z.
#pragma once

#include "results/html_result_writer.h"
#include "text/alphabet.h"

// Each code's letter as the script writes it (Hebrew letters, Greek capitals), rows right to
// left in Hebrew. Only for the UTF-8 alphabets: a latin page holds the search text's own bytes.
PageScript MakePageScript(const CAlphabet& alphabet);
