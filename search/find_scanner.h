// Lists the finds of one keyword inside a range of the text, in search order, by way of an index
// of where each letter stands.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "search/keyword_cursor.h"
#include "search/positions.h"
#include "search/search_settings.h"

// The ascending text indexes of every byte value that some keyword needs indexed.
class LetterIndex {
  public:
    // Indexes the bytes for which wanted[byte] is set.
    LetterIndex(const char* text, std::int32_t textLength, const std::array<bool, 256>& wanted);

    const std::vector<std::int32_t>& Occurrences(char letter) const {
        return occurrences_[static_cast<unsigned char>(letter)];
    }

  private:
    std::array<std::vector<std::int32_t>, 256> occurrences_;
};

enum class ScanStep {
    Found,      // a find was stored; the scanner stands on it
    Exhausted,  // no find is left in the range
    Paused,     // a share of work was done without a find; call Next again to go on
};

// One keyword's finds in start..end: first-letter index ascending, then skip ascending, exactly
// the finds that a KeywordCursor on the same range walks through. Only skips whose second letter
// matches are ever looked at: they are read from the index of the keyword's second letter.
class FindScanner {
  public:
    // `keyword` is upper case and not empty; the index holds its first two letters. The text, the
    // index and the settings must outlive the scanner.
    FindScanner(const char* text, const std::string& keyword, const LetterIndex& index,
                const SearchSettings& settings);

    // Takes the range when it can hold the keyword, as KeywordCursor::Reset does; false leaves the
    // scanner unchanged. 0 <= start and end < the text's length.
    bool Reset(std::int32_t start, std::int32_t end);

    // Moves on to the next find and stores its letters' indexes, ascending, into `letters` (which
    // has one entry per letter). Pauses after about `workLimit` candidates without a find.
    ScanStep Next(LetterPositions& letters, std::int32_t workLimit);

    // The first-letter index now tried: that of the current find, or the range's start before
    // the first.
    std::int32_t Position() const { return position_; }

  private:
    void EnterNextPosition();
    bool OtherLettersMatch(std::int32_t skip) const;
    void StoreFind(std::int32_t skip, LetterPositions& letters) const;

    const char* text_;
    std::string keyword_;
    std::int32_t length_;
    bool excludePlainWords_;
    bool allowReverse_;
    const std::vector<std::int32_t>& firsts_;   // where the first letter stands
    const std::vector<std::int32_t>& seconds_;  // where the second letter stands
    KeywordCursor limits_;                      // the skip limits at a position of the range

    std::int32_t position_ = 0;
    std::size_t nextFirst_ = 0;  // the next first-letter occurrence to enter
    std::size_t endFirst_ = 0;   // one past the last first-letter occurrence in the range
    std::size_t windowLow_ = 0;  // the second-letter window of the current position
    std::size_t windowHigh_ = 0;
    std::size_t candidate_ = 0;  // the next second-letter occurrence to try
};
