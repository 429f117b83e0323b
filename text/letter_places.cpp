#include "text/letter_places.h"

#include <algorithm>

#include "text/utf8.h"

namespace {

// A mark at most this far behind any letter bounds the work of one answer.
constexpr std::int64_t kMarkLetters = 64;
constexpr std::size_t kMarkBytes = 512;

}  // namespace

CLetterPlaces::CLetterPlaces(const CAlphabet& alphabet, std::string_view document,
                             bool ignoreNumbers)
    : alphabet_(alphabet), document_(document), ignoreNumbers_(ignoreNumbers) {}

bool CLetterPlaces::Step(Cursor& cursor) const {
    const char byte = document_[cursor.byte];
    if (byte == '\n' || (byte == '\r' && (cursor.byte + 1 == document_.size() ||
                                          document_[cursor.byte + 1] != '\n'))) {
        ++cursor.byte;
        ++cursor.place.line;
        cursor.place.column = 1;
        return false;
    }
    const bool letter = alphabet_.ReadCharacter(document_, cursor.byte, utf8_, ignoreNumbers_) != 0;
    ++cursor.place.column;
    if (letter) ++cursor.letter;
    return letter;
}

void CLetterPlaces::Build() {
    built_ = true;
    // A latin document is read as UTF-8 when it is UTF-8 throughout, so that its columns count
    // what an editor shows; any other is a code-page text of one byte per character.
    utf8_ = alphabet_.ReadsUtf8() || FindInvalidUtf8(document_) == std::string_view::npos;
    Cursor cursor;
    if (utf8_) cursor.byte = Utf8BomLength(document_);
    Cursor last;
    while (cursor.byte < document_.size()) {
        const Cursor before = cursor;
        if (Step(cursor) && (marks_.empty() || before.letter - last.letter >= kMarkLetters ||
                             before.byte - last.byte >= kMarkBytes)) {
            marks_.push_back(before);
            last = before;
        }
    }
    letterCount_ = cursor.letter;
}

LetterPlace CLetterPlaces::Find(std::int64_t index) {
    if (!built_) Build();
    if (index < 0 || index >= letterCount_) return {0, 0};
    auto mark =
        std::upper_bound(marks_.begin(), marks_.end(), index,
                         [](std::int64_t value, const Cursor& c) { return value < c.letter; });
    Cursor cursor = *(mark - 1);
    for (;;) {
        const Cursor before = cursor;
        if (Step(cursor) && before.letter == index) return before.place;
    }
}
