// The product's search. It visits the same finds in the same order as the literal search and so
// makes the same sink calls; what differs is how a keyword's finds are found. The literal search
// tries every skip at every position whose first letter matches; here an index of where each
// letter stands gives the positions of a keyword's first letter, and bitmaps of the text taken
// with strides 1, 2, 3 ... test 64 skips at a time for the next letters (FindScanner); the column
// width of a single-keyword result is remembered per skip (ColumnWidthChooser).

#include <algorithm>
#include <vector>

#include "search/column_width.h"
#include "search/find_scanner.h"
#include "search/find_sequences.h"
#include "search/search_order.h"

namespace {

constexpr std::uint32_t kProgressIntervalMs = 20;

// Positions and chunks of 64 skips that a scanner tries without a find before the loop looks at
// the clock again: a few hundred microseconds of work at most, so a cancel is noticed promptly.
constexpr std::int32_t kScanWorkLimit = 1 << 16;

}  // namespace

bool FindSequences(const char* text, std::int32_t textLength, const KeywordList& keywords,
                   const SearchSettings& settings, CResultSink& sink, std::string& errorText,
                   CTickClock& clock) {
    errorText.clear();
    if (keywords.empty()) return true;
    if (!sink.Begin(errorText)) return false;

    const KeywordList order = MakeSearchOrder(keywords);
    // A keyword without letters (only a caller that skipped ReadKeywords can pass one) is never
    // found, so no result is possible.
    const bool searchable =
        std::none_of(order.begin(), order.end(), [](const auto& k) { return k.empty(); }) &&
        order[0].size() <= INT32_MAX && textLength > 0;
    if (searchable) {
        const int count = static_cast<int>(order.size());
        const LetterIndex index(text, textLength, order);
        std::vector<FindScanner> scanners;
        scanners.reserve(order.size());
        ResultPositions positions(count);
        std::vector<std::int64_t> lowest(count), highest(count);
        for (int k = 0; k < count; ++k) {
            scanners.emplace_back(text, order[k], index, settings);
            positions[k].assign(order[k].size(), 0);
        }
        ColumnWidthChooser widths(order, textLength, settings);

        if (scanners[0].Reset(0, textLength - 1)) {
            std::uint32_t lastTick = clock.Milliseconds();
            int v = 0;
            while (v >= 0) {
                if (clock.Milliseconds() - lastTick > kProgressIntervalMs) {
                    lastTick = clock.Milliseconds();
                    if (!sink.Progress(scanners[0].Position(), textLength)) return sink.End(true);
                }
                const ScanStep step = scanners[v].Next(positions[v], kScanWorkLimit);
                if (step == ScanStep::Paused) continue;
                if (step == ScanStep::Exhausted) {
                    --v;  // the previous keyword moves on to its next find
                    continue;
                }
                lowest[v] = positions[v].front();
                highest[v] = positions[v].back();
                if (v > 0) {
                    lowest[v] = std::min(lowest[v], lowest[v - 1]);
                    highest[v] = std::max(highest[v], highest[v - 1]);
                }
                if (v + 1 < count) {
                    // Every later letter lies within MaxResultLength of every letter so far.
                    const std::int64_t start =
                        std::max<std::int64_t>(highest[v] - settings.MaxResultLength, 0);
                    const std::int64_t end = std::min<std::int64_t>(
                        lowest[v] + settings.MaxResultLength, textLength - 1);
                    if (start <= end && scanners[v + 1].Reset(static_cast<std::int32_t>(start),
                                                              static_cast<std::int32_t>(end)))
                        ++v;
                    continue;
                }
                ResultGrid grid;
                if (widths.Choose(positions, lowest[v], highest[v], grid) &&
                    !sink.AddResult(text, grid.first, grid.last, grid.columns, positions))
                    return false;
            }
        }
    }

    const bool goOn = sink.Progress(textLength, textLength);
    return sink.End(!goOn);
}
