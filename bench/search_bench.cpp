// Google Benchmark timings of the workloads: the literal engine and the indexed one.
// The documents' paths come from STRANDIX_BIBLE and STRANDIX_SAMPLE, else from the build.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>

#include "bench/workloads.h"
#include "search/find_sequences.h"

namespace {

using SearchFunction = decltype(&FindSequences);

const std::string& Text(Document document) {
    static std::map<Document, std::string> texts;
    auto found = texts.find(document);
    if (found == texts.end()) {
        const char* variable = document == Document::Bible ? "STRANDIX_BIBLE" : "STRANDIX_SAMPLE";
        const char* path = std::getenv(variable);
        if (!path) path = document == Document::Bible ? STRANDIX_BIBLE_PATH : STRANDIX_SAMPLE_PATH;
        std::string text;
        if (!LoadNormalisedText(path, text)) std::fprintf(stderr, "cannot read %s\n", path);
        found = texts.emplace(document, std::move(text)).first;
    }
    return found->second;
}

void Search(benchmark::State& state, SearchFunction search, const Workload& workload) {
    const std::string& text = Text(workload.document);
    std::int64_t results = 0;
    for (auto _ : state) {
        CDigestSink sink;
        std::string errorText;
        search(text.data(), static_cast<std::int32_t>(text.size()), workload.keywords,
               workload.settings, sink, errorText, SystemTickClock());
        benchmark::DoNotOptimize(sink.digest);
        results = sink.results;
    }
    state.counters["results"] = static_cast<double>(results);
    state.counters["letters"] = static_cast<double>(text.size());
}

const bool registered = [] {
    for (const Workload& workload : Workloads()) {
        const bool bible = workload.document == Document::Bible;
        // The literal engine takes seconds to minutes on the whole Bible: one run each.
        auto* literal =
            benchmark::RegisterBenchmark((std::string("Literal/") + workload.name).c_str(), Search,
                                         &FindSequencesLiteral, workload);
        literal->Unit(benchmark::kMillisecond)->UseRealTime();
        if (bible) literal->Iterations(1);
        benchmark::RegisterBenchmark((std::string("Indexed/") + workload.name).c_str(), Search,
                                     &FindSequences, workload)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
