// A proximity run's outcome as text and as JSON.
#pragma once

#include <string>

#include "proximity/proximity_run.h"

// A probability with its digits: the shortest text of `value` that reads back as the same
// double, or, when it is too small for a double (0 or subnormal), the value of `logValue` (its
// natural logarithm) written as 17 significant digits and a decimal exponent.
std::string FormatProbability(double value, double logValue);

// The outcome as the tool prints it: an optional control-text line, one line a pair (word1,
// word2, D1, D2, m, v, c, separated by tabs, with a heading line), the words left out and why,
// and for a list N, P1, P2, T and the permutation ranks.
std::string ProximityText(const ProximityOutcome& outcome);

// The outcome as one JSON document (ends with a newline); words in UTF-8.
std::string ProximityJson(const ProximityOutcome& outcome);
