// Results as one JSON document on a stream, written as they arrive:
// {"document": PATH, "letters": N, "keywords": [...], "results": [
// {"first": F, "last": L, "columns": W, "positions": [[...], ...]},
// ...
// ], "count": K, "canceled": false}
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "results/progress_receiver.h"
#include "search/result_sink.h"
#include "search/text_input.h"

class CJsonResultSink : public CResultSink {
  public:
    // `keywords` in search order, as the search spells them. Progress goes to `receiver`.
    CJsonResultSink(std::FILE* out, std::string document, std::int32_t letters,
                    KeywordList keywords, CProgressReceiver& receiver);

    bool Begin(std::string& errorText) override;
    bool AddResult(const char* text, std::int32_t first, std::int32_t last, std::int32_t columns,
                   const ResultPositions& positions) override;
    bool End(bool canceled) override;
    bool Progress(std::int32_t position, std::int32_t total) override;

    // Members written after "canceled", before the closing brace (", \"name\": value...").
    void SetTrailingMembers(std::string members) { trailingMembers_ = std::move(members); }

    std::int32_t Count() const { return count_; }
    // True when the stream refused what was written.
    bool OutputFailed() const { return failed_; }

  private:
    bool Flush();

    std::FILE* out_;
    std::string document_;
    std::int32_t letters_;
    KeywordList keywords_;
    CProgressReceiver& receiver_;
    std::string trailingMembers_;
    std::int32_t count_ = 0;
    bool failed_ = false;
};

// `text` as a JSON string with its quotes. Valid UTF-8 passes through; every other byte, like
// a path in a legacy code page, stands as the character of that number (\u00XX).
std::string JsonString(const std::string& text);
