#include "search/letter_index.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

namespace {

// Texts at least this long have their bitmaps filled by two threads.
constexpr std::int32_t kTwoThreadIndexLetters = 1 << 16;

// What a map entry costs beside its value: the tree node's links and colour, rounded up.
constexpr std::uint64_t kMapNodeBytes = 48;

using BitmapKey = std::pair<unsigned char, std::int32_t>;

// The letters of a phase: text indexes phase, phase + stride, ... below textLength.
std::int64_t PhaseBits(std::int32_t textLength, std::int32_t stride, std::int32_t phase) {
    return phase < textLength ? (std::int64_t{textLength} - phase + stride - 1) / stride : 0;
}

std::array<bool, 256> FirstLetters(const KeywordList& order) {
    std::array<bool, 256> first{};
    for (const std::string& keyword : order)
        first[static_cast<unsigned char>(keyword[0])] = true;
    return first;
}

// Every (letter, letter number) that some keyword has within its first bitmapLetters letters
// after the first, once each, in the order the keywords name them.
std::vector<BitmapKey> BitmapKeys(const KeywordList& order, std::int32_t bitmapLetters) {
    std::vector<BitmapKey> keys;
    for (const std::string& keyword : order) {
        const auto last = std::min<std::size_t>(keyword.size() - 1, bitmapLetters);
        for (std::size_t i = 1; i <= last; ++i) {
            const BitmapKey key{static_cast<unsigned char>(keyword[i]), static_cast<int>(i)};
            if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
        }
    }
    return keys;
}

}  // namespace

bool CountLetters(const char* text, std::int32_t textLength, LetterCounts& counts,
                  IndexBuildReceiver& receiver, std::int64_t stepLetters) {
    counts.fill(0);
    const std::int64_t step = std::max<std::int64_t>(stepLetters, 1);
    // Four tallies, so that a run of one letter does not wait on its own last increment; 32-bit
    // ones, added up after every piece of at most 2^30 letters.
    const std::int64_t piece = std::min<std::int64_t>(step, std::int64_t{1} << 30);
    std::array<std::array<std::uint32_t, 256>, 4> tallies;
    const auto* letters = reinterpret_cast<const unsigned char*>(text);
    for (std::int64_t from = 0; from < textLength; from += piece) {
        if (from > 0 && !receiver.GoOn()) return false;
        const std::int64_t to = std::min<std::int64_t>(from + piece, textLength);
        for (auto& tally : tallies)
            tally.fill(0);
        std::int64_t i = from;
        for (; i + 4 <= to; i += 4) {
            ++tallies[0][letters[i]];
            ++tallies[1][letters[i + 1]];
            ++tallies[2][letters[i + 2]];
            ++tallies[3][letters[i + 3]];
        }
        for (; i < to; ++i)
            ++tallies[0][letters[i]];
        for (std::size_t c = 0; c < 256; ++c)
            counts[c] +=
                std::uint64_t{tallies[0][c]} + tallies[1][c] + tallies[2][c] + tallies[3][c];
    }
    return true;
}

StridedBitmap::StridedBitmap(std::int32_t textLength, std::int32_t stride, std::uint64_t count)
    : phases_(static_cast<std::size_t>(stride)),
      words_((PhaseBits(textLength, stride, 0) + 63) / 64),
      count_(count) {
    // Two spare words: a 64-bit read may start at the last bit.
    for (std::int32_t phase = 0; phase < stride; ++phase)
        phases_[phase].assign(
            static_cast<std::size_t>(PhaseBits(textLength, stride, phase) / 64 + 2), 0);
}

std::uint64_t StridedBitmap::Bytes(std::int32_t textLength, std::int32_t stride) {
    std::uint64_t bytes = sizeof(StridedBitmap);
    for (std::int32_t phase = 0; phase < stride; ++phase) {
        bytes += sizeof(std::vector<std::uint64_t>) +
                 static_cast<std::uint64_t>(PhaseBits(textLength, stride, phase) / 64 + 2) * 8;
    }
    return bytes;
}

// Word w of every phase comes from the same 64 * stride letters, so the text is read once, and
// each word is put together in a register. Indexes, not a stepped pointer, walk the text: a
// pointer stepped on past the last letter could leave the buffer.
void StridedBitmap::Fill(const char* text, std::int32_t textLength, char letter,
                         std::int64_t fromWord, std::int64_t toWord) {
    const auto stride = static_cast<std::int32_t>(phases_.size());
    for (std::int64_t w = fromWord; w < std::min(toWord, words_); ++w) {
        const std::int64_t k = w * 64;
        for (std::int32_t phase = 0; phase < stride; ++phase) {
            const std::int64_t bits = PhaseBits(textLength, stride, phase);
            if (k >= bits) break;  // later phases are no longer
            const std::int64_t count = std::min<std::int64_t>(64, bits - k);
            const std::int64_t at = k * stride + phase;
            std::uint64_t word = 0;
            for (std::int64_t b = 0; b < count; ++b)
                word |= std::uint64_t{text[at + b * stride] == letter} << b;
            phases_[phase][static_cast<std::size_t>(w)] = word;
        }
    }
}

std::uint64_t LetterIndex::Bytes(const LetterCounts& counts, std::int32_t textLength,
                                 const KeywordList& order, std::int32_t bitmapLetters) {
    std::uint64_t bytes = sizeof(LetterIndex) + 256 * sizeof(std::vector<std::int32_t>);
    const std::array<bool, 256> first = FirstLetters(order);
    for (std::size_t c = 0; c < 256; ++c) {
        if (first[c]) bytes += counts[c] * sizeof(std::int32_t);
    }
    const std::vector<BitmapKey> keys = BitmapKeys(order, bitmapLetters);
    for (const BitmapKey& key : keys) {
        bytes += StridedBitmap::Bytes(textLength, key.second) + kMapNodeBytes +
                 sizeof(std::pair<const BitmapKey, StridedBitmap>);
    }
    // The build's own lists: the keys, and per key its bitmap, letter and pieces.
    return bytes + keys.size() * (sizeof(BitmapKey) + 40);
}

LetterIndex::LetterIndex(const char* text, std::int32_t textLength, const KeywordList& order,
                         std::int32_t bitmapLetters, const LetterCounts& counts)
    : text_(text),
      textLength_(textLength),
      bitmapLetters_(bitmapLetters),
      first_(FirstLetters(order)),
      occurrences_(256) {
    // The lists at their final size, the bitmaps zeroed: filling allocates nothing more.
    for (std::size_t c = 0; c < 256; ++c) {
        if (first_[c]) occurrences_[c].reserve(static_cast<std::size_t>(counts[c]));
    }
    for (const BitmapKey& key : BitmapKeys(order, bitmapLetters))
        bitmaps_.emplace(key, StridedBitmap(textLength, key.second, counts[key.first]));
}

bool LetterIndex::Fill(IndexBuildReceiver& receiver, std::int64_t stepLetters) {
    const std::int64_t step = std::max<std::int64_t>(stepLetters, 1);
    // The bitmaps are most of the work: both threads take pieces of them in turn until none is
    // left. A piece reads about `step` letters of the text.
    struct Piece {
        StridedBitmap* bitmap;
        char letter;
        std::int64_t words;  // per piece
    };
    std::vector<Piece> bitmaps;
    std::vector<std::int64_t> firstPiece{0};
    bitmaps.reserve(bitmaps_.size());
    firstPiece.reserve(bitmaps_.size() + 1);
    for (auto& [key, bitmap] : bitmaps_) {
        const std::int64_t words = std::max<std::int64_t>(step / (64 * key.second), 1);
        bitmaps.push_back({&bitmap, static_cast<char>(key.first), words});
        firstPiece.push_back(firstPiece.back() + (bitmap.Words() + words - 1) / words);
    }
    const std::int64_t pieces = firstPiece.back();
    std::atomic<std::int64_t> nextPiece{0};
    std::atomic<bool> stop{false};
    auto fillPieces = [&](bool askReceiver) {
        for (;;) {
            if (askReceiver && !receiver.GoOn()) return false;
            if (stop.load(std::memory_order_relaxed)) return false;
            const std::int64_t piece = nextPiece++;
            if (piece >= pieces) return true;
            const auto k = static_cast<std::size_t>(
                std::upper_bound(firstPiece.begin(), firstPiece.end(), piece) - firstPiece.begin() -
                1);
            const std::int64_t from = (piece - firstPiece[k]) * bitmaps[k].words;
            bitmaps[k].bitmap->Fill(text_, textLength_, bitmaps[k].letter, from,
                                    from + bitmaps[k].words);
        }
    };

    std::thread helper;
    if (pieces > 1 && textLength_ >= kTwoThreadIndexLetters) {
        try {
            helper = std::thread([&] { fillPieces(false); });
        } catch (const std::system_error&) {
        }
    }
    // However this thread leaves (a receiver may throw), the helper stops and is joined first.
    struct HelperStop {
        std::atomic<bool>& stop;
        std::thread& helper;
        ~HelperStop() {
            stop = true;
            if (helper.joinable()) helper.join();
        }
    } helperStop{stop, helper};

    // The first-letter lists are this thread's alone, since they are filled in text order.
    for (std::int64_t from = 0; from < textLength_; from += step) {
        if (!receiver.GoOn()) return false;
        const std::int64_t to = std::min<std::int64_t>(from + step, textLength_);
        for (std::int64_t i = from; i < to; ++i) {
            const auto c = static_cast<unsigned char>(text_[i]);
            if (first_[c]) occurrences_[c].push_back(static_cast<std::int32_t>(i));
        }
    }
    if (!fillPieces(true)) return false;
    // The helper is at most one piece from its end.
    if (helper.joinable()) helper.join();
    return true;
}
