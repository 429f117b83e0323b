#include "results/find_reader.h"

#include <algorithm>
#include <numeric>

#include "search/find_sequences.h"

namespace {

constexpr unsigned kForward = 1;
constexpr unsigned kBackward = 2;

}  // namespace

std::vector<std::size_t> SearchOrderIndexes(const KeywordList& keywords) {
    // The same stable sort as the search's own order.
    std::vector<std::size_t> byOrder(keywords.size());
    std::iota(byOrder.begin(), byOrder.end(), std::size_t{0});
    std::stable_sort(byOrder.begin(), byOrder.end(), [&keywords](std::size_t a, std::size_t b) {
        return keywords[a].size() > keywords[b].size();
    });
    std::vector<std::size_t> indexes(keywords.size());
    for (std::size_t place = 0; place < byOrder.size(); ++place)
        indexes[byOrder[place]] = place;
    return indexes;
}

CFindReader::CFindReader(const KeywordList& keywords, bool plainWordsCount, bool reverseCounts)
    : order_(MakeSearchOrder(keywords)),
      plainWordsCount_(plainWordsCount),
      reverseCounts_(reverseCounts) {}

unsigned CFindReader::Ways(const char* text, std::size_t k,
                           const LetterPositions& positions) const {
    const std::string& keyword = order_[k];
    const std::size_t n = positions.size();
    if (n != keyword.size() || n < 2) return kForward;
    bool forward = true;
    bool backward = reverseCounts_;
    for (std::size_t i = 0; i < n; ++i) {
        forward = forward && text[positions[i]] == keyword[i];
        backward = backward && text[positions[n - 1 - i]] == keyword[i];
    }
    if (positions[1] - positions[0] == 1 && !plainWordsCount_) forward = false;
    const unsigned ways = (forward ? kForward : 0) | (backward ? kBackward : 0);
    return ways != 0 ? ways : kForward;
}

std::vector<KeywordFind> CFindReader::Read(const char* text, const ResultPositions& positions) {
    const std::size_t count = std::min(positions.size(), order_.size());
    std::vector<unsigned> ways(count);
    bool twoWay = false;
    for (std::size_t k = 0; k < count; ++k) {
        ways[k] = positions[k].empty() ? kForward : Ways(text, k, positions[k]);
        twoWay = twoWay || ways[k] == (kForward | kBackward);
    }
    // The copies of one result run through the two-way finds like a binary number, the first
    // keyword's digit the highest, left to right (0) before right to left (1).
    if (twoWay) {
        std::int64_t copy = copies_[positions]++;
        for (std::size_t k = count; k-- > 0;) {
            if (ways[k] != (kForward | kBackward)) continue;
            ways[k] = copy % 2 == 0 ? kForward : kBackward;
            copy /= 2;
        }
    }
    std::vector<KeywordFind> finds(count);
    for (std::size_t k = 0; k < count; ++k) {
        const LetterPositions& letters = positions[k];
        if (letters.empty()) continue;
        const std::int64_t step = letters.size() > 1 ? letters[1] - letters[0] : 0;
        finds[k] = ways[k] == kBackward ? KeywordFind{letters.back(), -step}
                                        : KeywordFind{letters.front(), step};
    }
    return finds;
}
