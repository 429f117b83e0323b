// The outputs' view of the influence rows (--influence): which persons and words carry a list's
// result, as a text table and as JSON.
#pragma once

#include <string>

#include "proximity/proximity_run.h"

class CJsonWriter;

// The table of the rows, or empty without them: a heading line, then for each person (then each
// word) left out its name, N and the three ranks, tab-separated, in the rows' order.
std::string InfluenceText(const ProximityOutcome& outcome);

// The "influence" member of the JSON object being written, when the outcome has the rows:
// {"persons": [{"person", "pairs", "rankP1", "rankP2", "rankT"}], "words": [{"person", "word",
// "pairs", "rankP1", "rankP2", "rankT"}]}.
void WriteInfluenceJson(const ProximityOutcome& outcome, CJsonWriter& json);
