// Results as one JSON document on a stream, written as they arrive:
// {"document": PATH, "letters": N, "keywords": [...], "results": [
// {"first": F, "last": L, "columns": W, "positions": [[...], ...],
//  "places": [[[LINE, COLUMN], ...], ...]},   (the places only when asked for)
// ...
// ], "count": K, "canceled": false}
// The tool writes it to standard output; the Python package collects it in a string.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "results/json_writer.h"
#include "results/progress_receiver.h"
#include "search/result_sink.h"
#include "search/text_input.h"
#include "text/alphabet.h"
#include "text/letter_places.h"

class CJsonResultSink : public CResultSink {
  public:
    // `keywords` in search order, as the search spells them; they are written in the letters of
    // `alphabet`. `places`, when given, tells where each letter stood in the document. Progress
    // goes to `receiver`. Neither `places` nor `receiver` is owned.
    CJsonResultSink(std::FILE* out, std::string document, std::int32_t letters,
                    KeywordList keywords, const CAlphabet& alphabet, CLetterPlaces* places,
                    CProgressReceiver& receiver);
    // The same document appended to `text` instead of a stream.
    CJsonResultSink(std::string& text, std::string document, std::int32_t letters,
                    KeywordList keywords, const CAlphabet& alphabet, CLetterPlaces* places,
                    CProgressReceiver& receiver);

    bool Begin(std::string& errorText) override;
    bool AddResult(const char* text, std::int32_t first, std::int32_t last, std::int32_t columns,
                   const ResultPositions& positions) override;
    bool End(bool canceled) override;
    bool Progress(std::int32_t position, std::int32_t total) override;

    // End then only remembers how the search ended and hands the results on; WriteEnd writes
    // the document's end.
    void HoldEnd() { holdEnd_ = true; }
    // The stream gathers blocks of its own (a file or a pipe): results go to it in batches and
    // unflushed, instead of each on its own as a terminal shows them.
    void GatherResults() { gather_ = true; }
    // Writes the count, "canceled", the trailing members and the closing brace.
    bool WriteEnd();

    // A member written after "canceled", before the closing brace: `value` is JSON already.
    void AddTrailingMember(std::string name, std::string value) {
        trailingMembers_.emplace_back(std::move(name), std::move(value));
    }

    std::int64_t Count() const { return count_; }
    // True when the stream refused what was written.
    bool OutputFailed() const { return failed_; }

  private:
    // Writes what the writer holds, then `after`; `flush` flushes the stream.
    bool Write(const char* after, bool flush);

    std::FILE* out_ = nullptr;
    std::string* text_ = nullptr;
    std::string document_;
    std::int32_t letters_;
    KeywordList keywords_;
    CAlphabet alphabet_;
    CLetterPlaces* places_;
    CProgressReceiver& receiver_;
    std::vector<std::pair<std::string, std::string>> trailingMembers_;
    CJsonWriter json_;
    std::int64_t count_ = 0;
    bool failed_ = false;
    bool holdEnd_ = false;
    bool gather_ = false;
    bool canceled_ = false;
};
