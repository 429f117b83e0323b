// `strandix proximity`: the corrected distance of a word pair or of a list of persons' names and
// dates, their statistics and the permutation test; and the merge of its shards' partials.
#pragma once

#include <string>
#include <vector>

// The arguments after "proximity". Exit status: 0 when some pair has c defined, 1 when none
// has, 2 on an error, 130 after Ctrl-C; a shard answers 0 once its partial is written.
int RunProximityCommand(const std::vector<std::string>& arguments);

// True when the first partial named among the merge's arguments is a proximity partial.
bool NamesProximityPartials(const std::vector<std::string>& mergeArguments);

// `strandix merge [--json] [--triples] [--report FILE.html] [--threads T] PARTIAL...` for
// proximity partials: the single run's output. Exit status as the single run's.
int RunProximityMerge(const std::vector<std::string>& arguments);
