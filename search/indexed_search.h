// The engine behind FindSequences, with the choices of how it splits its work.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "search/letter_index.h"
#include "search/result_sink.h"
#include "search/search_settings.h"
#include "search/text_input.h"
#include "search/tick_clock.h"

struct IndexedSearchPlan {
    // Keyword 0's first letters are searched in slices of this many text positions.
    std::int32_t sliceLength = 1 << 15;
    // The threads that search, the calling thread among them; 0: one per core. Slice s goes to
    // thread s % threads, and the calling thread still makes every sink call, in the same order.
    // Never more threads than slices.
    std::int32_t threads = 0;
    // Bytes of results the workers may hold together before they wait for the calling thread
    // (each at least one result, however many keywords and letters it has).
    std::size_t queueBytes = 4 << 20;
    // Bytes the letter index may take: the full index when it fits, else one with bitmaps for
    // fewer letters, else none, and the literal loop does the work. Unset: DefaultIndexBudget
    // for this machine.
    std::optional<std::uint64_t> indexBudget;
    // Letters of the text that building the index works through between two looks at the
    // clock (and so at Progress).
    std::int64_t indexStepLetters = 1 << 20;
};

// What the letter index may take for a text of `textLength` letters on a machine with
// `physicalMemory` bytes (0: unknown): at most 4 bytes per letter and 40 MB, so that a search
// stays within its text, 4 bytes per letter and 64 MB; and at most half the machine's memory
// beside the text, so that it never drives the machine into swapping or the system's
// out-of-memory killer.
std::uint64_t DefaultIndexBudget(std::int64_t textLength, std::uint64_t physicalMemory);

// The bitmap letters of the largest index within `budget`: kFullBitmapLetters for the full index,
// fewer for a smaller one, 0 when even an index with one is too large. `order` is the search
// order of non-empty keywords.
std::int32_t ChooseBitmapLetters(const LetterCounts& counts, std::int32_t textLength,
                                 const KeywordList& order, std::uint64_t budget);

// FindSequences as the plan says; the sink sees exactly the calls that FindSequencesLiteral makes
// (Progress aside, which keeps its meaning: keyword 0's first-letter index now tried, rising, at
// most once per more than 20 ms of `clock`, then (textLength, textLength)).
bool FindSequencesIndexed(const char* text, std::int32_t textLength, const KeywordList& keywords,
                          const SearchSettings& settings, CResultSink& sink, std::string& errorText,
                          CTickClock& clock, const IndexedSearchPlan& plan);
