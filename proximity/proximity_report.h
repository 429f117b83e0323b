// A proximity run's outcome as text and as JSON.
#pragma once

#include <string>

#include "proximity/proximity_run.h"
#include "results/json_writer.h"

// A probability with `significant` digits: the value itself, or, when it is too small for a
// double (0 or subnormal), the value of `logValue` (its natural logarithm) written as a mantissa
// and a decimal exponent. With 17 digits it reads back as the same double (the JSON's form);
// with 4 it is what the text and the page show.
std::string FormatProbability(double value, double logValue, int significant = 17);

// The document as the title of a report names it: its file name without the folders.
std::string DocumentFileName(const std::string& document);

// The measure's settings as the JSON output and the partial write them: these members, in this
// order, into the object being written.
inline constexpr const char* kProximitySettingsKeys[] = {"expectedEls", "minLetters", "maxLetters",
                                                         "deltaConstant", "minTriples"};
void WriteProximitySettings(CJsonWriter& json, const ProximitySettings& settings);

// The outcome as the tool prints it: an optional control-text line, one line a pair (for a list
// the person first, then word1, word2, D1, D2, m, v and c as v/m = c, separated by tabs, with a
// heading line), the words left out and why, and for a list N, P1, P2, T and the permutation
// ranks. Numbers have four significant digits; words show Hebrew final forms.
std::string ProximityText(const ProximityOutcome& outcome);

// The outcome as one JSON document (ends with a newline); words in UTF-8 as the measure reads
// them, numbers at full precision.
std::string ProximityJson(const ProximityOutcome& outcome);
