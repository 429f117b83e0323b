#include "search/find_sequences.h"

#include "search/indexed_search.h"

bool FindSequences(const char* text, std::int32_t textLength, const KeywordList& keywords,
                   const SearchSettings& settings, CResultSink& sink, std::string& errorText,
                   CTickClock& clock) {
    return FindSequencesIndexed(text, textLength, keywords, settings, sink, errorText, clock,
                                IndexedSearchPlan{});
}

bool FindSequencesOnThreads(const char* text, std::int32_t textLength, const KeywordList& keywords,
                            const SearchSettings& settings, std::int32_t threads, CResultSink& sink,
                            std::string& errorText, CTickClock& clock) {
    IndexedSearchPlan plan;
    plan.threads = threads;
    return FindSequencesIndexed(text, textLength, keywords, settings, sink, errorText, clock, plan);
}

bool FindSequencesOnThisThread(const char* text, std::int32_t textLength,
                               const KeywordList& keywords, const SearchSettings& settings,
                               CResultSink& sink, std::string& errorText, CTickClock& clock) {
    IndexedSearchPlan plan;
    plan.threads = 1;
    return FindSequencesIndexed(text, textLength, keywords, settings, sink, errorText, clock, plan);
}
