// Lists the finds of one keyword inside a range of the text, in search order, by way of an index
// of where the letters stand.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "search/keyword_cursor.h"
#include "search/positions.h"
#include "search/search_settings.h"
#include "search/text_input.h"

// Letters after the first that a scanner tests through bitmaps; later ones are compared in the
// text. Each costs a bit per letter of the text.
inline constexpr std::size_t kBitmapLetters = 4;

// Bit k of phase r of the strided bitmap (letter, stride) is set when text[stride * k + r] is
// that letter. For a first letter at p = stride * a + r, letter number `stride` of a keyword at
// skip s lies at stride * (a + s) + r: the skips s, s + 1, ... s + 63 are 64 adjacent bits.
class StridedBitmap {
  public:
    StridedBitmap(const char* text, std::int32_t textLength, char letter, std::int32_t stride);

    // The 64 bits from bit `bit` on of phase `phase`. Valid for every bit below the phase's
    // length; bits past the end read as zero.
    // How many times the letter occurs in the text.
    std::size_t Count() const { return count_; }

    // The words of one phase, bit k at bit k % 64 of word k / 64, followed by two zero words so
    // that a 64-bit read may start at any bit of the phase.
    const std::uint64_t* Phase(std::int32_t phase) const { return phases_[phase].data(); }

  private:
    std::vector<std::vector<std::uint64_t>> phases_;
    std::size_t count_;
};

// Where the letters of a run's keywords stand: the ascending indexes of every first letter, and
// a strided bitmap for each of the next kBitmapLetters letters of every keyword.
class LetterIndex {
  public:
    // `order` holds upper-case, non-empty keywords.
    LetterIndex(const char* text, std::int32_t textLength, const KeywordList& order);

    const std::vector<std::int32_t>& Occurrences(char letter) const {
        return occurrences_[static_cast<unsigned char>(letter)];
    }
    const StridedBitmap& Bitmap(char letter, std::int32_t stride) const {
        return bitmaps_.at({static_cast<unsigned char>(letter), stride});
    }

  private:
    std::vector<std::vector<std::int32_t>> occurrences_;
    std::map<std::pair<unsigned char, std::int32_t>, StridedBitmap> bitmaps_;
};

enum class ScanStep {
    Found,      // a find was stored; the scanner stands on it
    Exhausted,  // no find is left in the range
    Paused,     // a share of work was done without a find; call Next again to go on
};

// One keyword's finds in start..end: first-letter index ascending, then skip ascending, exactly
// the finds that a KeywordCursor on the same range walks through. The positions come from the
// first letter's index; at each, the valid skips are tested 64 at a time against the bitmaps.
class FindScanner {
  public:
    // `keyword` is upper case and not empty, and `index` was made for it. The text, the index
    // and the settings must outlive the scanner.
    FindScanner(const char* text, const std::string& keyword, const LetterIndex& index,
                const SearchSettings& settings);

    // Takes the range when it can hold the keyword, as KeywordCursor::Reset does; false leaves the
    // scanner unchanged. 0 <= start and end < the text's length.
    bool Reset(std::int32_t start, std::int32_t end);

    // After Reset: only first letters at from..to are tried (the skips stay those of the whole
    // range), so that a range can be searched in slices.
    void KeepPositions(std::int32_t from, std::int32_t to);

    // Moves on to the next find and stores its letters' indexes, ascending, into `letters` (which
    // has one entry per letter). Pauses after about `workLimit` steps without a find.
    ScanStep Next(LetterPositions& letters, std::int32_t workLimit);

    // The first-letter index now tried: that of the current find, or the range's start before
    // the first.
    std::int32_t Position() const { return position_; }

  private:
    struct TestedLetter {
        const StridedBitmap* bitmap;
        std::int32_t stride;  // the letter's number in the keyword
    };

    void EnterNextPosition();
    std::uint64_t ChunkMatches() const;
    std::size_t NextCandidateChunk(std::size_t from, std::size_t to) const;
    bool LaterLettersMatch(std::int32_t skip) const;
    void StoreFind(std::int32_t skip, LetterPositions& letters) const;

    const char* text_;
    std::string keyword_;
    std::int32_t length_;
    bool excludePlainWords_;
    bool allowReverse_;
    const std::vector<std::int32_t>& firsts_;  // where the first letter stands
    std::vector<TestedLetter> tested_;         // letters 1.. tested by bitmap, rarest first
    std::int32_t compareFrom_;                 // the first letter compared in the text
    KeywordCursor limits_;                     // the skip limits at a position of the range

    std::int32_t position_ = 0;
    std::size_t nextFirst_ = 0;  // the next first-letter occurrence to enter
    std::size_t endFirst_ = 0;   // one past the last first-letter occurrence in the range
    std::int64_t chunk_ = 0;     // the skip of bit 0 of `matches_`
    std::int64_t lastSkip_ = -1;
    std::uint64_t matches_ = 0;  // skips of the chunk still to try
    // Per tested letter, for the current position: the word holding the first skip's bit and
    // that bit's place in it. The chunks that follow are the words after it, at the same place.
    std::size_t chunkIndex_ = 0;
    std::array<const std::uint64_t*, kBitmapLetters> words_{};
    std::array<unsigned, kBitmapLetters> shifts_{};
};
