// The engine behind FindSequences, with the choices of how it splits its work.
#pragma once

#include <cstdint>
#include <string>

#include "search/result_sink.h"
#include "search/search_settings.h"
#include "search/text_input.h"
#include "search/tick_clock.h"

struct IndexedSearchPlan {
    // Keyword 0's first letters are searched in slices of this many text positions.
    std::int32_t sliceLength = 1 << 15;
    // A second thread searches every other slice ahead of the calling thread; the calling thread
    // still makes every sink call, in the same order. Used only when there are two slices or
    // more and the machine has a second core (or `alwaysUseWorker`).
    bool useWorker = true;
    bool alwaysUseWorker = false;
    // Results the worker may hold before it waits for the calling thread.
    std::size_t queuedResults = 1 << 14;
};

// FindSequences as the plan says; the sink sees exactly the calls that FindSequencesLiteral makes
// (Progress aside, which keeps its meaning: keyword 0's first-letter index now tried, rising, at
// most once per more than 20 ms of `clock`, then (textLength, textLength)).
bool FindSequencesIndexed(const char* text, std::int32_t textLength, const KeywordList& keywords,
                          const SearchSettings& settings, CResultSink& sink, std::string& errorText,
                          CTickClock& clock, const IndexedSearchPlan& plan);
