// The search workloads that the benchmarks time, and a sink that sums up a result stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "search/result_sink.h"
#include "search/search_settings.h"
#include "search/text_input.h"
#include "text/latin_text.h"

enum class Document { Bible, Sample };

struct Workload {
    const char* name;
    const char* description;
    Document document;
    KeywordList keywords;
    SearchSettings settings;
};

// W1 to W4, in order.
std::vector<Workload> Workloads();

// The normalised letters of the file at `path` (digits kept); false when it cannot be read.
bool LoadNormalisedText(const std::string& path, std::string& text);

// Counts the results and folds every argument of every AddResult, in order, into a 64-bit
// FNV-1a digest, so that two engines' whole result streams compare as two numbers.
class CDigestSink : public CResultSink {
  public:
    bool AddResult(const char* text, std::int32_t first, std::int32_t last, std::int32_t columns,
                   const ResultPositions& positions) override;
    bool End(bool canceled) override;

    std::int64_t results = 0;
    std::uint64_t digest = 14695981039346656037ull;
    bool ended = false;
    bool canceled = false;

  private:
    void Mix(std::int64_t value);
};
