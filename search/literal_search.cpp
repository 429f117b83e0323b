// The search exactly as its rules read: one cursor per keyword, every first-letter position,
// every valid skip, depth first. Kept as the reference that faster engines are checked against.

#include <algorithm>
#include <vector>

#include "search/column_width.h"
#include "search/find_sequences.h"
#include "search/keyword_cursor.h"
#include "search/literal_search.h"

namespace {

constexpr std::uint32_t kProgressIntervalMs = 20;

// Compares the keyword's letters 1..n-1 at the cursor's skip, storing each matching index.
bool MatchOtherLetters(const char* text, std::int32_t textLength, const std::string& keyword,
                       const KeywordCursor& cursor, LetterPositions& letters) {
    const std::int64_t n = cursor.length;
    const std::int64_t s = cursor.skip;
    for (std::int64_t i = 1; i < n; ++i) {
        const std::int64_t index = cursor.position + i * s;
        if (index < 0 || index >= textLength || text[index] != keyword[i]) return false;
        letters[s > 0 ? i : n - 1 - i] = index;
    }
    letters[s > 0 ? 0 : n - 1] = cursor.position;
    return true;
}

}  // namespace

bool FindSequencesLiteral(const char* text, std::int32_t textLength, const KeywordList& keywords,
                          const SearchSettings& settings, CResultSink& sink, std::string& errorText,
                          CTickClock& clock) {
    errorText.clear();
    if (keywords.empty()) return true;
    if (!sink.Begin(errorText)) return false;
    return SearchLiterallyAfterBegin(text, textLength, keywords, settings, sink, clock);
}

bool SearchLiterallyAfterBegin(const char* text, std::int32_t textLength,
                               const KeywordList& keywords, const SearchSettings& settings,
                               CResultSink& sink, CTickClock& clock) {
    const KeywordList order = MakeSearchOrder(keywords);
    const int count = static_cast<int>(order.size());
    std::vector<KeywordCursor> cursors(count);
    ResultPositions positions(count);
    std::vector<std::int64_t> lowest(count), highest(count);
    for (int k = 0; k < count; ++k) {
        cursors[k].settings = &settings;
        positions[k].assign(order[k].size(), 0);
    }
    // A keyword without letters (only a caller that skipped ReadKeywords can pass one) is
    // never found, so no result is possible.
    const bool searchable =
        std::none_of(order.begin(), order.end(), [](const auto& k) { return k.empty(); }) &&
        order[0].size() <= INT32_MAX;

    if (searchable &&
        cursors[0].Reset(0, textLength - 1, static_cast<std::int32_t>(order[0].size()))) {
        std::uint32_t lastTick = clock.Milliseconds();
        int v = 0;
        for (;;) {
            if (clock.Milliseconds() - lastTick > kProgressIntervalMs) {
                lastTick = clock.Milliseconds();
                if (!sink.Progress(cursors[0].position, textLength)) return sink.End(true);
            }

            KeywordCursor& cursor = cursors[v];
            const std::string& keyword = order[v];
            int backtrackFrom = -1;

            while (text[cursor.position] != keyword[0]) {
                if (cursor.position >= cursor.end) {
                    backtrackFrom = v;
                    break;
                }
                ++cursor.position;
                cursor.FirstSkip();
            }

            if (backtrackFrom < 0) {
                bool found = false;
                do {
                    found = cursor.HasValidSkip() &&
                            MatchOtherLetters(text, textLength, keyword, cursor, positions[v]);
                } while (!found && cursor.NextSkip());

                if (!found) {
                    if (cursor.position >= cursor.end) {
                        backtrackFrom = v;
                    } else {
                        ++cursor.position;
                        cursor.FirstSkip();
                        continue;
                    }
                } else {
                    lowest[v] = positions[v].front();
                    highest[v] = positions[v].back();
                    if (v > 0) {
                        lowest[v] = std::min(lowest[v], lowest[v - 1]);
                        highest[v] = std::max(highest[v], highest[v - 1]);
                    }
                    if (v + 1 < count) {
                        const std::int64_t start =
                            std::max<std::int64_t>(highest[v] - settings.MaxResultLength, 0);
                        const std::int64_t end = std::min<std::int64_t>(
                            lowest[v] + settings.MaxResultLength, textLength - 1);
                        if (start <= end &&
                            cursors[v + 1].Reset(static_cast<std::int32_t>(start),
                                                 static_cast<std::int32_t>(end),
                                                 static_cast<std::int32_t>(order[v + 1].size()))) {
                            ++v;
                            continue;
                        }
                        backtrackFrom = v + 1;
                    } else {
                        ResultGrid grid;
                        if (ChooseColumnWidth(positions, lowest[v], highest[v], textLength,
                                              settings, grid) &&
                            !sink.AddResult(text, grid.first, grid.last, grid.columns, positions)) {
                            return false;
                        }
                        if (cursor.NextSkip()) continue;
                        if (cursor.position < cursor.end) {
                            ++cursor.position;
                            cursor.FirstSkip();
                            continue;
                        }
                        backtrackFrom = v;
                    }
                }
            }

            // Backtracking: move the previous keyword on to its next skip or position.
            v = backtrackFrom;
            bool resumed = false;
            while (!resumed && --v >= 0) {
                KeywordCursor& previous = cursors[v];
                if (previous.NextSkip()) {
                    resumed = true;
                } else if (previous.position < previous.end) {
                    ++previous.position;
                    previous.FirstSkip();
                    resumed = true;
                }
            }
            if (!resumed) break;
        }
    }

    const bool goOn = sink.Progress(textLength, textLength);
    return sink.End(!goOn);
}
