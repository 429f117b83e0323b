// The literal search's loop, for engines that must fall back on it.
#pragma once

#include <cstdint>

#include "search/result_sink.h"
#include "search/search_settings.h"
#include "search/text_input.h"
#include "search/tick_clock.h"

// Everything FindSequencesLiteral does after a successful Begin: the search, the final Progress
// and End (or the stop a sink's answer asks for). `keywords` is the caller's non-empty list.
bool SearchLiterallyAfterBegin(const char* text, std::int32_t textLength,
                               const KeywordList& keywords, const SearchSettings& settings,
                               CResultSink& sink, CTickClock& clock);
