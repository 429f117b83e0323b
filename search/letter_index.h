// Where the letters of a run's keywords stand: the ascending indexes of every first letter, and
// strided bitmaps of the next few letters of every keyword. Its size is known before it is built,
// so that a search can choose an index that fits its memory.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "search/text_input.h"

// The letters after the first that the full index holds bitmaps for; a smaller index holds fewer.
// Each costs a bit per letter of the text.
inline constexpr std::int32_t kFullBitmapLetters = 4;

// How many times each byte value occurs in a text.
using LetterCounts = std::array<std::uint64_t, 256>;

// What an index build reports to between pieces of its work, always on the thread that started
// the build.
class IndexBuildReceiver {
  public:
    virtual ~IndexBuildReceiver() = default;
    // False stops the build.
    virtual bool GoOn() = 0;
};

// Counts every letter of the text, asking `receiver` between pieces of `stepLetters` letters.
// False when it said stop.
bool CountLetters(const char* text, std::int32_t textLength, LetterCounts& counts,
                  IndexBuildReceiver& receiver, std::int64_t stepLetters);

// Bit k of phase r of the strided bitmap (letter, stride) is set when text[stride * k + r] is
// that letter. For a first letter at p = stride * a + r, letter number `stride` of a keyword at
// skip s lies at stride * (a + s) + r: the skips s, s + 1, ... s + 63 are 64 adjacent bits.
class StridedBitmap {
  public:
    // All bits clear; `count` is how many times the letter occurs in the text.
    StridedBitmap(std::int32_t textLength, std::int32_t stride, std::uint64_t count);

    // The bytes one takes, its bookkeeping included.
    static std::uint64_t Bytes(std::int32_t textLength, std::int32_t stride);

    // Sets the bits of words fromWord..toWord-1 of every phase (the text is read once for all
    // phases, 64 * stride letters per word).
    void Fill(const char* text, std::int32_t textLength, char letter, std::int64_t fromWord,
              std::int64_t toWord);

    // Words of phase 0, the longest phase, that hold bits.
    std::int64_t Words() const { return words_; }

    // How many times the letter occurs in the text.
    std::uint64_t Count() const { return count_; }

    // The words of one phase, bit k at bit k % 64 of word k / 64, followed by two zero words so
    // that a 64-bit read may start at any bit of the phase.
    const std::uint64_t* Phase(std::int32_t phase) const { return phases_[phase].data(); }

  private:
    std::vector<std::vector<std::uint64_t>> phases_;
    std::int64_t words_;
    std::uint64_t count_;
};

class LetterIndex {
  public:
    // The bytes an index with `bitmapLetters` (1..kFullBitmapLetters) letters per keyword takes,
    // for a text with these counts; `order` holds upper-case, non-empty keywords.
    static std::uint64_t Bytes(const LetterCounts& counts, std::int32_t textLength,
                               const KeywordList& order, std::int32_t bitmapLetters);

    // Takes all the memory the index needs (std::bad_alloc when the machine has not got it), for
    // `bitmapLetters` (1..kFullBitmapLetters) letters per keyword. The text must outlive it.
    LetterIndex(const char* text, std::int32_t textLength, const KeywordList& order,
                std::int32_t bitmapLetters, const LetterCounts& counts);
    LetterIndex(const LetterIndex&) = delete;  // the scanners keep references into it
    LetterIndex& operator=(const LetterIndex&) = delete;

    // Fills the index, on two threads for a long text. Between pieces of about `stepLetters`
    // letters of work `receiver` is asked whether to go on; false when it said stop, and the
    // index is then of no use.
    bool Fill(IndexBuildReceiver& receiver, std::int64_t stepLetters);

    std::int32_t BitmapLetters() const { return bitmapLetters_; }

    const std::vector<std::int32_t>& Occurrences(char letter) const {
        return occurrences_[static_cast<unsigned char>(letter)];
    }
    // Letter `stride` (1..BitmapLetters()) of a keyword of the build.
    const StridedBitmap& Bitmap(char letter, std::int32_t stride) const {
        return bitmaps_.at({static_cast<unsigned char>(letter), stride});
    }

  private:
    const char* text_;
    std::int32_t textLength_;
    std::int32_t bitmapLetters_;
    std::array<bool, 256> first_{};  // the keywords' first letters
    std::vector<std::vector<std::int32_t>> occurrences_;
    std::map<std::pair<unsigned char, std::int32_t>, StridedBitmap> bitmaps_;
};
