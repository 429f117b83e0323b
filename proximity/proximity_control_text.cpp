#include "proximity/proximity_control_text.h"

#include <algorithm>
#include <numeric>

#include "common/random.h"
#include "common/shuffles.h"
#include "text/unicode_tables.h"
#include "text/utf8.h"

namespace {

constexpr ControlTextKind kKinds[] = {ControlTextKind::Letters, ControlTextKind::Words,
                                      ControlTextKind::Lines, ControlTextKind::WordsInLines};

bool IsMark(char32_t codePoint) {
    const CodePointPair* end = kNonspacingMarks + kNonspacingMarksCount;
    const CodePointPair* range = std::upper_bound(
        kNonspacingMarks, end, codePoint,
        [](char32_t value, const CodePointPair& pair) { return value < pair.first; });
    return range != kNonspacingMarks && codePoint <= (range - 1)->second;
}

// Counts the letters of the words and lines while the document is read character by character.
class CPieceCounter {
  public:
    void Letter() { ++word_; }
    void EndWord() {
        if (word_ == 0) return;
        pieces_.wordLengths.push_back(word_);
        ++line_;
        word_ = 0;
    }
    void EndLine() {
        EndWord();
        if (line_ > 0) pieces_.lineWords.push_back(line_);
        line_ = 0;
    }
    TextPieces Take() {
        EndLine();
        return std::move(pieces_);
    }

  private:
    TextPieces pieces_;
    std::int32_t word_ = 0;
    std::int32_t line_ = 0;
};

// The words in the order `order`, written one after the other into `out`.
void WriteInOrder(const std::string& text, const std::vector<std::int32_t>& starts,
                  const std::vector<std::int32_t>& lengths, const std::vector<std::int32_t>& order,
                  std::string& out) {
    std::size_t at = 0;
    for (const std::int32_t word : order) {
        const auto length = static_cast<std::size_t>(lengths[static_cast<std::size_t>(word)]);
        out.replace(at, length, text,
                    static_cast<std::size_t>(starts[static_cast<std::size_t>(word)]), length);
        at += length;
    }
}

void Shuffle(std::int32_t* first, std::size_t count, CXoshiro256StarStar& generator) {
    for (std::size_t i = count; i > 1; --i) {
        const std::uint32_t j = UniformBelow(generator, static_cast<std::uint32_t>(i));
        std::swap(first[i - 1], first[j]);
    }
}

// The words of each line in a random order, the lines where they were.
void ShuffleWordsInLines(const TextPieces& pieces, CXoshiro256StarStar& generator,
                         std::string& text) {
    const std::vector<std::int32_t>& lengths = pieces.wordLengths;
    std::vector<std::int32_t> starts(lengths.size());
    std::exclusive_scan(lengths.begin(), lengths.end(), starts.begin(), 0);
    std::vector<std::int32_t> order(lengths.size());
    std::iota(order.begin(), order.end(), 0);
    std::size_t first = 0;
    for (const std::int32_t words : pieces.lineWords) {
        Shuffle(order.data() + first, static_cast<std::size_t>(words), generator);
        first += static_cast<std::size_t>(words);
    }
    const std::string original = text;
    WriteInOrder(original, starts, lengths, order, text);
}

}  // namespace

const char* ControlTextKindName(ControlTextKind kind) {
    switch (kind) {
        case ControlTextKind::Letters:
            return "letters";
        case ControlTextKind::Words:
            return "words";
        case ControlTextKind::Lines:
            return "lines";
        case ControlTextKind::WordsInLines:
            return "words-in-lines";
    }
    return "letters";
}

bool ParseControlTextKind(std::string_view name, ControlTextKind& kind) {
    for (const ControlTextKind candidate : kKinds) {
        if (name == ControlTextKindName(candidate)) {
            kind = candidate;
            return true;
        }
    }
    return false;
}

TextPieces FindTextPieces(std::string_view document, const CAlphabet& alphabet,
                          bool ignoreNumbers) {
    CPieceCounter counter;
    const bool utf8 = alphabet.ReadsUtf8();
    std::size_t at = utf8 ? Utf8BomLength(document) : 0;
    while (at < document.size()) {
        const char byte = document[at];
        if (byte == '\n' || byte == '\r') {
            // CR LF is one line end.
            at += byte == '\r' && at + 1 < document.size() && document[at + 1] == '\n' ? 2 : 1;
            counter.EndLine();
            continue;
        }
        std::size_t next = at;
        if (alphabet.ReadCharacter(document, next, utf8, ignoreNumbers) != 0) {
            counter.Letter();
        } else {
            std::size_t probe = at;
            char32_t codePoint = 0;
            const bool mark = utf8 && DecodeUtf8(document, probe, codePoint) && IsMark(codePoint);
            if (!mark) counter.EndWord();
        }
        at = next;
    }
    return counter.Take();
}

void MakeControlText(ControlTextKind kind, const TextPieces& pieces, std::uint64_t seed,
                     std::string& text) {
    CXoshiro256StarStar generator = ControlStream(seed, 0);
    switch (kind) {
        case ControlTextKind::Letters:
            ShuffleLetters(text, generator);
            return;
        case ControlTextKind::Words:
        case ControlTextKind::Lines: {
            std::vector<std::int32_t> lengths = pieces.wordLengths;
            if (kind == ControlTextKind::Lines) {
                // A line is one piece of the letters of its words.
                lengths.clear();
                std::size_t word = 0;
                for (const std::int32_t words : pieces.lineWords) {
                    std::int32_t letters = 0;
                    for (std::int32_t i = 0; i < words; ++i)
                        letters += pieces.wordLengths[word++];
                    lengths.push_back(letters);
                }
            }
            const std::string original = text;
            const CWordShuffler shuffler(original, lengths);
            std::vector<std::int32_t> order;
            shuffler.Shuffle(generator, order, text);
            return;
        }
        case ControlTextKind::WordsInLines:
            ShuffleWordsInLines(pieces, generator, text);
            return;
    }
}
