// Where the letters of a search text stood in the document they were taken from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "text/alphabet.h"

// A line (from 1) and a column (from 1) of the original document. The column counts characters
// from the start of the line: Unicode code points (vowel points and accents are code points of
// their own) in a UTF-8 document, bytes in a latin document that is not UTF-8. LF, CR LF and a
// lone CR each end a line; a leading byte-order mark of a UTF-8 document is not counted.
struct LetterPlace {
    std::int64_t line = 0;
    std::int64_t column = 0;
};

// Answers places lazily: nothing is read until the first question, which walks the document
// once to leave a mark every few thousand bytes; each answer then reads from the mark before it.
class CLetterPlaces {
  public:
    // `document` must stay as it is while this object is used; alphabet and ignoreNumbers are
    // the ones the search text was made with (the alphabet is copied).
    CLetterPlaces(const CAlphabet& alphabet, std::string_view document, bool ignoreNumbers);

    // The place of letter `index` of the search text; line and column 0 when the text has no
    // such letter.
    LetterPlace Find(std::int64_t index);

  private:
    struct Cursor {
        std::size_t byte = 0;
        std::int64_t letter = 0;  // the index of the next letter
        LetterPlace place{1, 1};  // the place of the character at `byte`
    };

    void Build();
    // Moves past one character; true when it was a letter.
    bool Step(Cursor& cursor) const;

    CAlphabet alphabet_;
    std::string_view document_;
    bool ignoreNumbers_;
    bool built_ = false;
    bool utf8_ = false;
    std::int64_t letterCount_ = 0;
    std::vector<Cursor> marks_;
};
