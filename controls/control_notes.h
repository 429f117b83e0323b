// The sentences a control report adds below its figures: what the figures do not say by
// themselves about the run they come from.
#pragma once

#include <string>
#include <vector>

#include "controls/control_report.h"

// One sentence each, in the order the report shows them, without a line break:
// - the run's notes on typed words left out of the keywords;
// - how many real results hold a keyword at |skip| 1 (plain text) and that --min-skip 2 leaves
//   them out, when there are such results;
// - for each keyword whose skip the span caps below the letters' limit, the cap;
// - for each keyword that reads the same both ways (when right to left is allowed), that each
//   of its finds is counted once in each direction;
// - that several keywords or settings need a correction for multiple tests;
// - that runs with the same seed share their control texts.
std::vector<std::string> ControlReportNotes(const ControlRun& run);

// The keyword's letters as code points, ASCII letters folded to capitals: the spelled keywords
// of a report hold one code point per letter.
std::u32string KeywordLetters(const std::string& spelled);
