// The letters a search counts in a document of one script, and the bytes the search sees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/text_input.h"
#include "text/latin_text.h"

enum class AlphabetName { Latin, Hebrew, Greek };

// "latin", "hebrew" or "greek" (exactly so); false for any other name.
bool ParseAlphabetName(std::string_view text, AlphabetName& name);
// The name ParseAlphabetName reads: "latin", "hebrew" or "greek".
const char* AlphabetNameText(AlphabetName name);

// Whether `codePoint` is a nonspacing mark (such as a vowel point or an accent written apart),
// which a keyword of a UTF-8 alphabet may hold between its letters.
bool IsNonspacingMark(char32_t codePoint);

// Latin is the program's byte alphabet: A-Z after NormaliseText and ReadKeywords, documents in
// any single-byte code page. Hebrew and Greek read UTF-8 (a leading byte-order mark is skipped)
// and give each of their letters one byte code from 0x80 up, which the search compares like any
// other byte; ASCII digits stay digits in every alphabet.
class CAlphabet {
  public:
    // `keepFinals` keeps the five Hebrew final forms letters of their own (27 letters instead
    // of 22); the other alphabets ignore it.
    explicit CAlphabet(AlphabetName name = AlphabetName::Latin, bool keepFinals = false);

    AlphabetName Name() const { return name_; }
    bool ReadsUtf8() const { return name_ != AlphabetName::Latin; }
    // 26, 22 (27 keeping finals) or 24.
    std::size_t LetterCount() const { return letters_.size(); }
    // The code of letter `index` (0 <= index < LetterCount()).
    char LetterCode(std::size_t index) const;

    // The document's letters (and digits unless `ignoreNumbers`) as the search text, replacing
    // `text`. False, with errorText naming the byte offset from the file's start, when a UTF-8
    // alphabet meets bytes that are not UTF-8.
    bool MapDocument(std::string_view document, bool ignoreNumbers, std::string& text,
                     std::string& errorText) const;

    // The lengths of the document's words, in order: a word is a maximal run of the characters
    // MapDocument keeps (letters, and digits unless `ignoreNumbers`); in the UTF-8 alphabets a
    // mark such as a vowel point inside a word does not end it. Their sum is the length of the
    // text MapDocument makes.
    std::vector<std::int32_t> WordLengths(std::string_view document, bool ignoreNumbers) const;

    // Splits what the user typed into keywords in codes. A keyword is a run of letters and
    // digits (in the UTF-8 alphabets marks such as vowel points may stand between them); every
    // other character separates keywords. False on bytes that are not UTF-8.
    bool ReadKeywords(std::string_view keywordText, KeywordList& keywords,
                      std::string& errorText) const;

    // A code (or digit) as the script writes it, in UTF-8: Hebrew letters, Greek capitals,
    // Latin A-Z. A byte that is neither shows as itself below 0x80 and as U+FFFD above.
    std::string_view Spell(char code) const;
    std::string Spell(std::string_view codes) const;

    // Reads the character at text[at] and moves past it; answers its code, or 0 when it is no
    // letter (nor a kept digit). `utf8` reads UTF-8 (an invalid byte is one character that is
    // no letter); otherwise one byte is one character.
    char ReadCharacter(std::string_view text, std::size_t& at, bool utf8, bool ignoreNumbers) const;

  private:
    char CodeOf(char32_t codePoint) const;

    AlphabetName name_;
    // The script's letter of each code from 0x80 (or 'A' in Latin), in UTF-8.
    std::vector<std::string> letters_;
    // codes_[c - firstCodePoint_] is the code of character c, 0 for none.
    std::vector<unsigned char> codes_;
    char32_t firstCodePoint_ = 0;
    // The same for U+0000..U+07FF, the characters of two UTF-8 bytes, by their value.
    std::vector<unsigned char> twoByteCodes_;
};
