#include "search/find_sequences.h"

bool FindSequences(const char* text, std::int32_t textLength, const KeywordList& keywords,
                   const SearchSettings& settings, CResultSink& sink, std::string& errorText,
                   CTickClock& clock) {
    return FindSequencesLiteral(text, textLength, keywords, settings, sink, errorText, clock);
}
