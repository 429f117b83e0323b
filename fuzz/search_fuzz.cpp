// libFuzzer target: random text, keywords and settings go to both the indexed engine and the
// literal one; any difference in their sink calls, answers or outcome is a crash.
//
// Input: byte 0 flags (reverse, exclude plain words, keyword count, alphabet, smallest skip),
// bytes 1-7 the letter distance, result length, the two column widths, the result at which the
// sink refuses, how the work is split and which letter index the memory budget allows (full,
// fewer bitmaps, none), then per keyword a length byte and its letters, then the text. Letters
// come from a small alphabet so that finds are many; sizes are capped so that the literal engine
// stays quick.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "search/find_sequences.h"
#include "search/indexed_search.h"
#include "search/letter_index.h"
#include "search/scan_kernel.h"

namespace {

class CStreamSink : public CResultSink {
  public:
    explicit CStreamSink(std::int64_t refuseAt) : refuseAt_(refuseAt) {}

    bool Begin(std::string& errorText) override {
        (void)errorText;
        calls.push_back(-1);
        return true;
    }
    bool AddResult(const char* text, std::int32_t first, std::int32_t last, std::int32_t columns,
                   const ResultPositions& positions) override {
        (void)text;
        calls.insert(calls.end(), {-2, first, last, columns});
        for (const LetterPositions& letters : positions) {
            calls.push_back(-3);
            calls.insert(calls.end(), letters.begin(), letters.end());
        }
        return ++results != refuseAt_;
    }
    bool End(bool canceled) override {
        calls.push_back(canceled ? -4 : -5);
        return true;
    }
    bool Progress(std::int32_t position, std::int32_t total) override {
        calls.insert(calls.end(), {-6, position, total});
        return true;
    }

    std::vector<std::int64_t> calls;

  private:
    std::int64_t refuseAt_;
    std::int64_t results = 0;
};

class CFrozenClock : public CTickClock {
  public:
    std::uint32_t Milliseconds() override { return 0; }
};

class CAlwaysGoOn : public IndexBuildReceiver {
  public:
    bool GoOn() override { return true; }
};

class CInput {
  public:
    CInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::size_t Left() const { return size_ - at_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CInput input(data, size);
    const std::uint8_t flags = input.Byte();
    SearchSettings settings;
    settings.AllowReverseKeywords = (flags & 1) == 0;
    settings.ExcludeWordsDirectlyFromText = (flags & 2) != 0;
    settings.MinSkip = flags >> 6;  // 0 and 1 both allow every skip
    const int keywordCount = 1 + (flags >> 2) % 3;
    const int alphabet = 1 + (flags >> 4) % 4;
    // Fewer letters to search as keywords are added, so every input runs in milliseconds.
    // Every combination of finds is a candidate whose widths are all tried, and with a one-letter
    // alphabet every position and skip is a find: the caps keep the product small.
    const std::size_t maxText = keywordCount == 1 ? 700 : keywordCount == 2 ? 40 : 16;
    const int maxDistance = keywordCount == 1 ? 255 : keywordCount == 2 ? 12 : 6;
    settings.MaxDistanceBetweenLetters = input.Byte() % (maxDistance + 1);
    settings.MaxResultLength = input.Byte() * 3 - 8;  // now and then below a keyword's length
    settings.MinColumnWidth = input.Byte() % 80;      // 0 included: widths below 1 never fit
    settings.MaxColumnWidth = settings.MinColumnWidth + input.Byte() % 120 - 10;
    // The sink refuses a result now and then, and always the 4000th, which keeps the memory and
    // time of a run with very many results in bounds: both engines must stop at the same call.
    const std::int64_t refuseAt = input.Byte() % 64 == 0 ? 1 + input.Byte() % 50 : 4000;
    // Now and then the text is cut into slices of a few letters for two or three threads, with
    // queues so short that the threads hand over nearly every result.
    const std::uint8_t split = input.Byte();
    IndexedSearchPlan plan;
    if (split % 4 == 0) {
        plan.sliceLength = 1 + split / 4 % 16;
        plan.threads = 2 + split / 64 % 2;
        plan.queueBytes = (1 + split / 64) * 48;  // one to four results of one keyword
    }
    // The budget holds the machine's default, or exactly an index with 1 to 4 bitmap letters,
    // or nothing, so that the literal loop does the work; the index is built in pieces of a few
    // letters now and then.
    const std::uint8_t memory = input.Byte();
    const int bitmapLetters = memory % 6 - 1;
    if (memory / 6 % 2) plan.indexStepLetters = 1 + memory / 12;

    auto letter = [&](std::uint8_t byte) {
        const char c = static_cast<char>('A' + byte % alphabet);
        return byte & 0x80 ? static_cast<char>(c - 'A' + 'a') : c;
    };
    KeywordList keywords(keywordCount);
    for (std::string& keyword : keywords) {
        const int length = 1 + input.Byte() % 6;
        for (int i = 0; i < length; ++i)
            keyword.push_back(letter(input.Byte()));
    }
    std::string text;
    while (input.Left() > 0 && text.size() < maxText)
        text.push_back(static_cast<char>('A' + input.Byte() % alphabet));

    if (bitmapLetters == 0) plan.indexBudget = 0;
    if (bitmapLetters > 0) {
        LetterCounts counts;
        CAlwaysGoOn goOn;
        const auto textLength = static_cast<std::int32_t>(text.size());
        CountLetters(text.c_str(), textLength, counts, goOn, 1 << 20);
        plan.indexBudget =
            LetterIndex::Bytes(counts, textLength, MakeSearchOrder(keywords), bitmapLetters);
    }

    // The candidate scan's kernels in turn (those this processor has), by the text's length.
    const ScanKernel kernels[] = {ScanKernel::Avx2, ScanKernel::Sse2, ScanKernel::Scalar};
    const ScanKernel kernel = kernels[text.size() % 3];
    if (ScanKernelAvailable(kernel)) {
        ForceScanKernel(kernel);
    } else {
        ResetScanKernel();
    }

    CFrozenClock clock;
    CStreamSink literal(refuseAt), indexed(refuseAt);
    std::string literalError, indexedError;
    const auto length = static_cast<std::int32_t>(text.size());
    const bool literalOutcome = FindSequencesLiteral(text.c_str(), length, keywords, settings,
                                                     literal, literalError, clock);
    const bool indexedOutcome = FindSequencesIndexed(text.c_str(), length, keywords, settings,
                                                     indexed, indexedError, clock, plan);
    if (literalOutcome != indexedOutcome || literal.calls != indexed.calls ||
        literalError != indexedError)
        std::abort();
    return 0;
}
