// The search for equidistant letter sequences.
#pragma once

#include <cstdint>
#include <string>

#include "search/result_sink.h"
#include "search/search_settings.h"
#include "search/text_input.h"
#include "search/tick_clock.h"

// The engine's own keyword list: longest first, equal lengths in the caller's order, upper case.
// Results report their keywords' positions in this order.
KeywordList MakeSearchOrder(const KeywordList& keywords);

// Enumerates every find of every keyword in `text` (normalised, textLength bytes followed by a
// zero byte), combines one find of each keyword into a result when all lie within
// MaxResultLength and fit a grid width, and hands each result to `sink` in search order.
//
// Sink calls: none for an empty keyword list (answer true). Otherwise Begin (false: answer
// false); AddResult per result (false: answer false, no End); Progress at most once per more
// than 20 ms of `clock` (false: End(true) and its answer); at the end Progress(textLength,
// textLength) and End(!that answer), whose answer is returned.
//
// Safe for any settings record: settings that leave nothing to find report nothing.
bool FindSequences(const char* text, std::int32_t textLength, const KeywordList& keywords,
                   const SearchSettings& settings, CResultSink& sink, std::string& errorText,
                   CTickClock& clock = SystemTickClock());

// The same search on `threads` threads, the calling thread among them (0: one per core). The sink
// sees the same calls in the same order, every one on the calling thread.
bool FindSequencesOnThreads(const char* text, std::int32_t textLength, const KeywordList& keywords,
                            const SearchSettings& settings, std::int32_t threads, CResultSink& sink,
                            std::string& errorText, CTickClock& clock = SystemTickClock());

// The same search done entirely on the calling thread, for callers that keep every core busy
// with searches of their own (control runs).
bool FindSequencesOnThisThread(const char* text, std::int32_t textLength,
                               const KeywordList& keywords, const SearchSettings& settings,
                               CResultSink& sink, std::string& errorText,
                               CTickClock& clock = SystemTickClock());

// The same search done literally, cursor by cursor, position by position, skip by skip.
bool FindSequencesLiteral(const char* text, std::int32_t textLength, const KeywordList& keywords,
                          const SearchSettings& settings, CResultSink& sink, std::string& errorText,
                          CTickClock& clock = SystemTickClock());
