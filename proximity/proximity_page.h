// A proximity run's outcome as a standalone HTML page: the pairs by c, the histogram of c against
// the uniform, the permutation distribution of P2 and letter grids of the close pairs. Inline
// SVG, no scripts, nothing fetched.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "proximity/proximity_grid.h"
#include "proximity/proximity_run.h"

// The most permutations whose P2 the page draws.
constexpr std::uint64_t kDrawnPermutations = 9999;

// What the page shows beyond the outcome itself.
struct ProximityPageExtras {
    // ln P2 of permutations 1, 2, ... (at most kDrawnPermutations of them).
    std::vector<double> permutationLogP2;
    // By the pair's place in ListedPairs: grids of the pairs with c <= 0.2.
    std::map<std::size_t, ProximityGrid> grids;
    // Why there are no grids, when `text` was not given.
    std::string gridNote;
};

// `text`: the letters the run measured (null when they are not at hand; then no grids).
// `wordLengths`: the lengths of the words of those letters in order (CAlphabet::WordLengths of
// the document), so that the grids show Hebrew final forms at the ends of words; null when
// unknown (a control text).
ProximityPageExtras PageExtras(const ProximityOutcome& outcome, const CProximityText* text,
                               const std::vector<std::int32_t>* wordLengths = nullptr);

std::string ProximityPageHtml(const ProximityOutcome& outcome, const ProximityPageExtras& extras);
