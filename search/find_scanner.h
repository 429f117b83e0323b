// Lists the finds of one keyword inside a range of the text, in search order, by way of an index
// of where the letters stand.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "search/keyword_cursor.h"
#include "search/letter_index.h"
#include "search/positions.h"
#include "search/scan_kernel.h"
#include "search/search_settings.h"
#include "search/text_input.h"

enum class ScanStep {
    Found,      // a find was stored; the scanner stands on it
    Exhausted,  // no find is left in the range
    Paused,     // a share of work was done without a find; call Next again to go on
};

// One keyword's finds in start..end: first-letter index ascending, then skip ascending, exactly
// the finds that a KeywordCursor on the same range walks through. The positions come from the
// first letter's index; at each, the valid skips are tested 64 at a time against the bitmaps the
// index holds for the next letters, and the letters after those are compared in the text.
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
    // The skips never tried, |skip| below the smallest allowed and +1 when plain words are
    // excluded: one stretch around 0.
    std::int64_t leftOutFrom_;
    std::int64_t leftOutTo_;
    bool allowReverse_;
    const std::vector<std::int32_t>& firsts_;  // where the first letter stands
    std::vector<TestedLetter> tested_;         // letters 1.. tested by bitmap, rarest first
    std::int32_t compareFrom_;                 // the first letter compared in the text
    KeywordCursor limits_;                     // the skip limits at a position of the range
    CandidateScan scan_;                       // the kernel of NextCandidateChunk

    std::int32_t position_ = 0;
    std::size_t nextFirst_ = 0;  // the next first-letter occurrence to enter
    std::size_t endFirst_ = 0;   // one past the last first-letter occurrence in the range
    std::int64_t chunk_ = 0;     // the skip of bit 0 of `matches_`
    std::int64_t lastSkip_ = -1;
    std::uint64_t matches_ = 0;  // skips of the chunk still to try
    // Per tested letter, for the current position: the word holding the first skip's bit and
    // that bit's place in it. The chunks that follow are the words after it, at the same place.
    std::size_t chunkIndex_ = 0;
    std::array<const std::uint64_t*, kFullBitmapLetters> words_{};
    std::array<unsigned, kFullBitmapLetters> shifts_{};
};
