// Word-pair proximity timed on the Koren Genesis: X1 (two published pairs, cold), X2 (the c
// matrix of a 32-person list drawn from the text's own words), X3 (999,999 permutations of X2's
// matrix), X5 (--influence on X2's list: the permutation test with each person and each word
// left out) and the peak heap of X2.
//
//   strandix_proximity_bench --genesis FILE [--threads T] [--permutations N] [--persons P]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/load_average.h"
#include "bench/peak_heap.h"
#include "common/random.h"
#include "proximity/proximity.h"
#include "proximity/proximity_matrix.h"
#include "proximity/proximity_run.h"
#include "proximity/proximity_statistics.h"
#include "text/alphabet.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

std::string Codes(const CAlphabet& alphabet, const std::string& word) {
    KeywordList keywords;
    std::string error;
    if (!alphabet.ReadKeywords(word, keywords, error) || keywords.size() != 1) std::abort();
    return keywords.front();
}

// X1: the best of `runs` cold computations of one pair, families included, in wall and
// processor milliseconds.
double PairMilliseconds(const CProximityText& text, const std::string& word1,
                        const std::string& word2, int runs, PairResult& result,
                        double& cpuMilliseconds) {
    const ProximitySettings settings;
    double best = 1e300;
    cpuMilliseconds = 1e300;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        const double cpuStart = CpuSeconds();
        const WordFamilies first = FindFamilies(text, word1, settings);
        const WordFamilies second = FindFamilies(text, word2, settings);
        result = CorrectedDistance(text, first, second, settings);
        best = std::min(best, SecondsSince(start));
        cpuMilliseconds = std::min(cpuMilliseconds, (CpuSeconds() - cpuStart) * 1e3);
    }
    return best * 1e3;
}

// X2's list: 32 persons of three names and three dates, each a word of 5 to 8 letters of the
// text, drawn with a fixed seed.
std::vector<ProximityPerson> DrawList(const KeywordList& documentWords, std::size_t count) {
    std::vector<std::string> pool;
    for (const std::string& word : documentWords) {
        if (word.size() >= 5 && word.size() <= 8) pool.push_back(word);
    }
    std::sort(pool.begin(), pool.end());
    pool.erase(std::unique(pool.begin(), pool.end()), pool.end());
    CXoshiro256StarStar random = CXoshiro256StarStar::FromSeed(18);
    const auto draw = [&] {
        return pool[UniformBelow(random, static_cast<std::uint32_t>(pool.size()))];
    };
    std::vector<ProximityPerson> persons(count);
    for (std::size_t p = 0; p < persons.size(); ++p) {
        persons[p].id = std::to_string(p + 1);
        for (int i = 0; i < 3; ++i)
            persons[p].names.push_back(draw());
        for (int i = 0; i < 3; ++i)
            persons[p].dates.push_back(draw());
    }
    return persons;
}

}  // namespace

int main(int argc, char** argv) {
    std::string genesisPath;
    unsigned threads = 2;
    std::uint64_t permutations = 999999;
    std::size_t personCount = 32;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--genesis")
            genesisPath = value;
        else if (name == "--threads")
            threads = static_cast<unsigned>(std::max(1, std::atoi(value.c_str())));
        else if (name == "--persons")
            personCount = static_cast<std::size_t>(std::max(2, std::atoi(value.c_str())));
        else if (name == "--permutations")
            permutations = std::strtoull(value.c_str(), nullptr, 10);
    }
    std::ifstream file(genesisPath, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "usage: %s --genesis FILE [--threads T] [--permutations N]\n",
                     argv[0]);
        return 2;
    }
    const std::string document((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    const CAlphabet hebrew(AlphabetName::Hebrew, false);
    std::string letters, error;
    KeywordList documentWords;
    if (!hebrew.MapDocument(document, true, letters, error) ||
        !hebrew.ReadKeywords(document, documentWords, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const std::int64_t textBytes = static_cast<std::int64_t>(letters.size());
    const std::int64_t heapBeforeText = heapNow.load();
    const CProximityText text(std::move(letters));
    const std::int64_t textHeap = heapNow.load() - heapBeforeText;
    std::printf("%u cores, %u threads; %d letters; load average %s\n\n",
                std::thread::hardware_concurrency(), threads, text.Length(), LoadAverage().c_str());

    std::printf("| Row | Figure | Target | Notes |\n|---|---|---|---|\n");
    const char* pairs[][2] = {{"צדקיהו", "מתניה"}, {"בנבנשת", "הורוויץ"}};
    for (const auto& pair : pairs) {
        PairResult result;
        double cpu = 0;
        const double ms =
            PairMilliseconds(text, Codes(hebrew, pair[0]), Codes(hebrew, pair[1]), 9, result, cpu);
        std::printf(
            "| X1 c(%s, %s) | %.1f ms wall, %.1f ms processor | 20 ms | best of 9, "
            "cold; c = %d/%d |\n",
            pair[0], pair[1], ms, cpu, result.rank, result.validTriples);
        std::fflush(stdout);
    }

    const std::vector<ProximityPerson> persons = DrawList(documentWords, personCount);
    ProximityMatrixOptions options;
    options.threads = threads;
    const std::int64_t before = heapNow.load();
    heapPeak = before;
    const auto start = Clock::now();
    const double cpuStart = CpuSeconds();
    CProximityMatrix matrix;
    matrix.Compute(text, persons, ProximitySettings(), options);
    const double seconds = SecondsSince(start), cpu = CpuSeconds() - cpuStart;
    const std::int64_t peak = heapPeak.load() - before;
    std::int64_t pairCount = 0, defined = 0;
    for (std::size_t i = 0; i < persons.size(); ++i) {
        for (std::size_t j = 0; j < persons.size(); ++j) {
            const PairSummary* cell = matrix.Cell(i, j);
            for (std::size_t k = 0; k < matrix.CellSize(i, j); ++k) {
                ++pairCount;
                defined += cell[k].defined;
            }
        }
    }
    const std::int64_t matrixBytes = pairCount * static_cast<std::int64_t>(sizeof(PairSummary));
    std::printf(
        "| X2 matrix of %zu persons | %.1f s wall, %.1f s processor | 60 s on 2 cores | "
        "%lld pairs (%lld defined), %.0f pairs/s |\n",
        persons.size(), seconds, cpu, static_cast<long long>(pairCount),
        static_cast<long long>(defined), double(pairCount) / seconds);
    std::fflush(stdout);

    ProximityRequest request;
    request.persons = persons;
    const CellMatrix cells = CellMatrixOfRows(request, RowsOf(matrix, false));
    const auto permutationStart = Clock::now();
    const double permutationCpuStart = CpuSeconds();
    const PermutationCounts counts =
        *RunPermutationTest(cells, 18, permutations, threads, nullptr, nullptr);
    const double permutationSeconds = SecondsSince(permutationStart);
    const double permutationCpu = CpuSeconds() - permutationCpuStart;
    std::vector<const CellSums*> diagonal;
    for (std::size_t i = 0; i < cells.persons; ++i)
        diagonal.push_back(&cells.At(i, i));
    const ProximityStatistics statistics = StatisticsOfCells(diagonal);
    std::printf(
        "| X3 %llu permutations | %.2f s wall, %.2f s processor | 2 s | ranks P1 %lld, P2 %lld, T "
        "%lld; "
        "N %lld, P1 %.3g, P2 %.3g, T %.3f |\n",
        static_cast<unsigned long long>(permutations), permutationSeconds, permutationCpu,
        static_cast<long long>(counts.atMostP1), static_cast<long long>(counts.atMostP2),
        static_cast<long long>(counts.atMostT), static_cast<long long>(statistics.pairs),
        statistics.p1, statistics.p2, statistics.t);
    // X5: --influence on X2's list, 99,999 permutations: the plain test, then every person and
    // every word left out once. The c matrix is not computed again, so only permutations cost.
    request.permutations = 99999;
    const auto plainStart = Clock::now();
    const PermutationCounts plain =
        *RunPermutationTest(cells, request.seed, request.permutations, threads, nullptr, nullptr);
    const double plainSeconds = SecondsSince(plainStart);
    const auto influenceStart = Clock::now();
    const double influenceCpuStart = CpuSeconds();
    const std::optional<ProximityInfluence> influence =
        RunInfluence(request, RowsOf(matrix, false), plain, threads, nullptr, nullptr);
    const double influenceSeconds = SecondsSince(influenceStart) + plainSeconds;
    const double influenceCpu = CpuSeconds() - influenceCpuStart;
    // The target compares whole runs: the X2 matrix and the test, with and without --influence.
    std::printf(
        "| X5 --influence, 99999 permutations | %.2f s wall, %.2f s processor (plain test "
        "%.2f s) | a whole run within 2x the plain run | %zu persons and %zu words left out; "
        "matrix and test %.2fx the plain run |\n",
        influenceSeconds, influenceCpu, plainSeconds, influence ? influence->persons.size() : 0,
        influence ? influence->words.size() : 0,
        (seconds + influenceSeconds) / (seconds + plainSeconds));
    std::fflush(stdout);
    std::printf(
        "| Peak heap of X2 | %.2f MB | text %.2f MB + 64 MB + matrix %.2f MB | "
        "text as letters and letter lists %.2f MB |\n",
        double(peak) / 1e6, double(textBytes) / 1e6, double(matrixBytes) / 1e6,
        double(textHeap) / 1e6);
    std::printf("\nLoad average afterwards: %s\n", LoadAverage().c_str());
    return 0;
}
