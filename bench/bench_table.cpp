// Runs every workload once with the literal engine and a few times with the indexed engine,
// checks that both produce the same result stream, and prints one table: times, their ratio,
// result count and the peak heap of each search. Then the memory rows: searches with long or
// many keywords or a very long text, each in a process of its own so that its peak resident
// size is its own, against the bound of the text, 4 bytes per letter and 64 MB. Then, when
// given, the command-line tool end to end and the HTML writer's throughput.
//
//   strandix_bench_table --bible FILE --sample FILE [--hebrew FILE] [--cli PROGRAM] [--runs N]
//                        [--only W1,M3]

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "bench/load_average.h"
#include "bench/peak_heap.h"
#include "bench/workloads.h"
#include "platform/physical_memory.h"
#include "results/html_result_writer.h"
#include "search/find_sequences.h"
#include "search/indexed_search.h"
#include "search/letter_index.h"
#include "search/scan_kernel.h"
#include "text/alphabet.h"
#include "text/letter_places.h"

namespace {

using Clock = std::chrono::steady_clock;
using SearchFunction = decltype(&FindSequences);

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Measurement {
    double seconds = 0;
    std::int64_t results = 0;
    std::uint64_t digest = 0;
    bool complete = false;
    std::int64_t peakHeap = 0;  // bytes allocated by the search at its peak
};

Measurement Measure(SearchFunction search, const std::string& text, const Workload& workload) {
    CDigestSink sink;
    std::string errorText;
    const std::int64_t before = heapNow.load();
    heapPeak = before;
    const auto start = Clock::now();
    search(text.data(), static_cast<std::int32_t>(text.size()), workload.keywords,
           workload.settings, sink, errorText, SystemTickClock());
    Measurement m;
    m.seconds = SecondsSince(start);
    m.peakHeap = heapPeak.load() - before;
    m.results = sink.results;
    m.digest = sink.digest;
    m.complete = sink.ended && !sink.canceled;
    return m;
}

std::string Megabytes(std::int64_t bytes) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return buffer;
}

// Runs a program with its output thrown away (to /dev/null, or `toPipe` through a pipe that this
// process reads and drops, as `| cat` would); wall time, processor time and peak resident size.
bool RunTool(const std::vector<std::string>& arguments, double& seconds, long& peakKilobytes,
             int& status, bool toPipe = false, double* processorSeconds = nullptr) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int ends[2] = {-1, -1};
    if (toPipe && pipe(ends) != 0) return false;
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(toPipe ? ends[1] : null, 1);
        dup2(null, 2);
        if (toPipe) {
            close(ends[0]);
            close(ends[1]);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (toPipe) {
        close(ends[1]);
        static char drain[1 << 16];
        while (read(ends[0], drain, sizeof drain) > 0) {
        }
        close(ends[0]);
    }
    rusage usage{};
    int waitStatus = 0;
    if (wait4(child, &waitStatus, 0, &usage) != child) return false;
    seconds = SecondsSince(start);
    peakKilobytes = usage.ru_maxrss;
    if (processorSeconds)
        *processorSeconds =
            static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    return status != 127;
}

// The median of `runs` runs of the tool: wall and processor seconds.
bool MedianRun(const std::vector<std::string>& arguments, int runs, bool toPipe, double& wall,
               double& processor, long& peakKilobytes, int& status) {
    std::vector<double> walls, processors;
    for (int run = 0; run < runs; ++run) {
        double seconds = 0, used = 0;
        if (!RunTool(arguments, seconds, peakKilobytes, status, toPipe, &used)) return false;
        walls.push_back(seconds);
        processors.push_back(used);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(processors.begin(), processors.end());
    wall = walls[walls.size() / 2];
    processor = processors[processors.size() / 2];
    return true;
}

// The indexed engine on one thread and on two, for the thread rows.
bool SearchOnOneThread(const char* text, std::int32_t length, const KeywordList& keywords,
                       const SearchSettings& settings, CResultSink& sink, std::string& errorText,
                       CTickClock& clock) {
    return FindSequencesOnThreads(text, length, keywords, settings, 1, sink, errorText, clock);
}

bool SearchOnTwoThreads(const char* text, std::int32_t length, const KeywordList& keywords,
                        const SearchSettings& settings, CResultSink& sink, std::string& errorText,
                        CTickClock& clock) {
    return FindSequencesOnThreads(text, length, keywords, settings, 2, sink, errorText, clock);
}

class CAgreeingReceiver : public CProgressReceiver {
  public:
    bool ReportProgress(std::int32_t, std::int32_t, std::int64_t) override { return true; }
    bool AskRetry(const std::string&) override { return false; }
    bool AskYesNo(const std::string&) override { return true; }
};

struct Options {
    std::string bible, sample, hebrew, cli, only, memoryRow;
    int runs = 3;
};

bool ReadOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--bible")
            options.bible = value;
        else if (name == "--sample")
            options.sample = value;
        else if (name == "--hebrew")
            options.hebrew = value;
        else if (name == "--cli")
            options.cli = value;
        else if (name == "--only")
            options.only = value;
        else if (name == "--memory-row")
            options.memoryRow = value;
        else if (name == "--runs")
            options.runs = std::max(1, std::atoi(value.c_str()));
        else
            return false;
    }
    return argc % 2 == 1 && !options.bible.empty() && !options.sample.empty();
}

// The memory rows. Each runs in a child process (this program with --memory-row NAME), which
// prints one line of figures; its peak resident size comes from wait4.
enum class MemoryText { Bible, Generated };

struct MemoryRow {
    const char* name;
    const char* description;
    MemoryText document;
    KeywordList keywords;
    SearchSettings settings;
};

constexpr std::int32_t kGeneratedLetters = 200000000;

std::vector<MemoryRow> MemoryRows(const std::string& bible) {
    // The Bible's own letters from index 1000 at skip 3: one keyword of 50,000 letters that is
    // found there, and drawn at width 3.
    std::string longKeyword;
    for (std::size_t i = 0; i < 50000 && 1000 + 3 * i < bible.size(); ++i)
        longKeyword.push_back(bible[1000 + 3 * i]);
    const KeywordList thirty = {"AGAINST", "BECAUSE", "THEREOF", "NEITHER", "BROUGHT", "HUNDRED",
                                "FATHERS", "HIMSELF", "SERVANT", "THROUGH", "ANOTHER", "WITHOUT",
                                "BROTHER", "PRIESTS", "KINGDOM", "NATIONS", "SOLOMON", "BLESSED",
                                "DELIVER", "BABYLON", "WRITTEN", "PRINCES", "PHARAOH", "ENEMIES",
                                "LEVITES", "DESTROY", "ABRAHAM", "PROPHET", "BETWEEN", "THEREIN"};
    SearchSettings wide;
    wide.MaxResultLength = 500000;
    wide.MinColumnWidth = 1;
    wide.MaxColumnWidth = 500;
    SearchSettings far = wide;
    far.MaxDistanceBetweenLetters = 10000;
    far.MaxResultLength = 40000;
    return {
        {"M1",
         "one 50,000-letter keyword, whole Bible, span 500000, widths 1-500",
         MemoryText::Bible,
         {longKeyword},
         wide},
        {"M2",
         "30 distinct seven-letter keywords, whole Bible, default settings",
         MemoryText::Bible,
         thirty,
         {}},
        {"M3",
         "MOSES, 200 MB generated text, default settings",
         MemoryText::Generated,
         {"MOSES"},
         {}},
        {"M4",
         "MOSES, 200 MB generated text, skips to 10000, span 40000, widths 1-500",
         MemoryText::Generated,
         {"MOSES"},
         far},
        {"M5",
         "the 30 keywords of M2, 200 MB generated text, default settings",
         MemoryText::Generated,
         thirty,
         {}},
    };
}

// Seeded letters with the frequencies of English text.
std::string GeneratedText(std::int32_t letters) {
    static const int kPerMille[26] = {82, 15, 28, 43, 127, 22, 20, 61, 70, 2,  8, 40, 24,
                                      67, 75, 19, 1,  60,  63, 91, 28, 10, 24, 2, 20, 1};
    std::string table;
    for (int c = 0; c < 26; ++c)
        table.append(static_cast<std::size_t>(kPerMille[c]), static_cast<char>('A' + c));
    std::string text(static_cast<std::size_t>(letters), 'A');
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (char& c : text) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        c = table[static_cast<std::size_t>((state >> 32) % table.size())];
    }
    return text;
}

class CNeverStop : public IndexBuildReceiver {
  public:
    bool GoOn() override { return true; }
};

// The child's side: one search, one line of figures on standard output.
int RunMemoryRow(const Options& options) {
    std::string text;
    if (!LoadNormalisedText(options.bible, text)) return 2;
    for (const MemoryRow& row : MemoryRows(text)) {
        if (options.memoryRow != row.name) continue;
        if (row.document == MemoryText::Generated) {
            std::string().swap(text);
            text = GeneratedText(kGeneratedLetters);
        }
        const auto length = static_cast<std::int32_t>(text.size());
        LetterCounts counts;
        CNeverStop goOn;
        CountLetters(text.data(), length, counts, goOn, 1 << 20);
        const std::int32_t bitmapLetters =
            ChooseBitmapLetters(counts, length, MakeSearchOrder(row.keywords),
                                DefaultIndexBudget(length, PhysicalMemoryBytes()));
        Workload workload{row.name, row.description, Document::Bible, row.keywords, row.settings};
        const Measurement m = Measure(&FindSequences, text, workload);
        std::printf("%d %d %lld %llu %lld %.3f %d\n", length, bitmapLetters,
                    static_cast<long long>(m.results), static_cast<unsigned long long>(m.digest),
                    static_cast<long long>(m.peakHeap), m.seconds, m.complete ? 1 : 0);
        return 0;
    }
    return 2;
}

// The parent's side: runs a row in a child process and prints its table line. False when the
// row broke its bound or could not run.
bool PrintMemoryRow(const Options& options, const MemoryRow& row) {
    int out[2];
    if (pipe(out) != 0) return false;
    const std::vector<std::string> arguments = {"/proc/self/exe", "--memory-row", row.name,
                                                "--bible",        options.bible,  "--sample",
                                                options.sample};
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string line;
    char buffer[256];
    for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;)
        line.append(buffer, static_cast<std::size_t>(got));
    close(out[0]);
    rusage usage{};
    int status = 0;
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::printf("| %s %s | failed | | | | | | | |\n", row.name, row.description);
        return false;
    }
    long long letters = 0, results = 0, peakHeap = 0;
    unsigned long long digest = 0;
    int bitmapLetters = 0, complete = 0;
    double seconds = 0;
    if (std::sscanf(line.c_str(), "%lld %d %lld %llu %lld %lf %d", &letters, &bitmapLetters,
                    &results, &digest, &peakHeap, &seconds, &complete) != 7)
        return false;
    const std::int64_t resident = static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
    const std::int64_t bound = letters + 4 * letters + 64000000;
    const char* index = bitmapLetters == kFullBitmapLetters ? "full"
                        : bitmapLetters > 0                 ? "smaller"
                                                            : "none (literal)";
    std::printf("| %s %s | %lld | %s (%d) | %lld | %.3f s | %s | %s | %s | %s |\n", row.name,
                row.description, letters, index, bitmapLetters, results, seconds,
                Megabytes(peakHeap).c_str(), Megabytes(resident).c_str(), Megabytes(bound).c_str(),
                complete && resident <= bound ? "yes" : "NO");
    std::fflush(stdout);
    return complete && resident <= bound;
}

std::string ReadRaw(const std::string& path) {
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[1 << 16];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

// The digest sink that also asks where every letter of every result stood in the document, as
// the tool's JSON does.
class CPlacesSink : public CDigestSink {
  public:
    explicit CPlacesSink(CLetterPlaces& places) : places_(places) {}
    bool AddResult(const char* text, std::int32_t first, std::int32_t last, std::int32_t columns,
                   const ResultPositions& positions) override {
        for (const LetterPositions& letters : positions) {
            for (const std::int64_t position : letters)
                lines += places_.Find(position).line;
        }
        return CDigestSink::AddResult(text, first, last, columns, positions);
    }
    std::int64_t lines = 0;

  private:
    CLetterPlaces& places_;
};

template <typename Work>
double BestSeconds(int runs, Work work) {
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        work();
        best = std::min(best, SecondsSince(start));
    }
    return best;
}

// A four-letter Hebrew keyword over the whole Torah at W1's settings, and what mapping the
// document costs beside it; then W1 with the place of every letter of every result looked up.
void AlphabetRows(const Options& options) {
    const std::string torah = ReadRaw(options.hebrew);
    const CAlphabet hebrew(AlphabetName::Hebrew);
    std::string text, errorText;
    KeywordList keywords;
    hebrew.ReadKeywords("\xD7\xAA\xD7\x95\xD7\xA8\xD7\x94", keywords, errorText);  // TORAH
    const std::vector<Workload> workloads = Workloads();
    const Workload& w1 = workloads.front();
    const double map =
        BestSeconds(options.runs, [&] { hebrew.MapDocument(torah, false, text, errorText); });
    CDigestSink sink;
    const double search = BestSeconds(options.runs, [&] {
        sink = CDigestSink();
        FindSequences(text.data(), static_cast<std::int32_t>(text.size()), keywords, w1.settings,
                      sink, errorText);
    });
    std::printf(
        "\nAlphabets (best of %d runs):\n\n| Row | Mapping | Search | Mapping / search | "
        "Results |\n|---|---|---|---|---|\n"
        "| H1 TORAH in Hebrew, the whole Torah (%zu letters), W1's settings | %.4f s | %.4f s | "
        "%.1f %% | %lld |\n",
        options.runs, text.size(), map, search, 100.0 * map / search,
        static_cast<long long>(sink.results));

    const std::string bible = ReadRaw(options.bible);
    const CAlphabet latin;
    latin.MapDocument(bible, false, text, errorText);
    const double plain = BestSeconds(options.runs, [&] {
        CDigestSink digest;
        FindSequences(text.data(), static_cast<std::int32_t>(text.size()), w1.keywords, w1.settings,
                      digest, errorText);
    });
    std::int64_t results = 0;
    const double placed = BestSeconds(options.runs, [&] {
        CLetterPlaces places(latin, bible, false);
        CPlacesSink digest(places);
        FindSequences(text.data(), static_cast<std::int32_t>(text.size()), w1.keywords, w1.settings,
                      digest, errorText);
        results = digest.results;
    });
    std::printf(
        "| W1 with every letter's line and column | | %.4f s (%.4f s without) | "
        "+%.1f %% | %lld |\n",
        placed, plain, 100.0 * (placed - plain) / plain, static_cast<long long>(results));
}

}  // namespace

// W1 through the tool the ways users wait for it: --json through a pipe, the page written with -o
// (against cat writing the same bytes), and 1,000 letters controls. The page goes into TMPDIR
// (the bench cache) and is removed afterwards.
void ToolW1Rows(const Options& options) {
    const char* folder = std::getenv("TMPDIR");
    const std::string cache = folder != nullptr ? folder : "/tmp";
    const std::vector<std::string> w1 = {"-q",    "--max-skip",  "10000", "--span",
                                         "40000", "--min-width", "1",     "--max-width",
                                         "500",   options.bible, "moses"};
    const auto with = [&](std::vector<std::string> head) {
        head.insert(head.begin(), options.cli);
        head.insert(head.end(), w1.begin(), w1.end());
        return head;
    };
    std::printf(
        "\nW1 through the tool (median of 5 runs, wall and processor time; load average %s):\n\n"
        "| Row | Wall time | Processor time | Peak resident | Exit status "
        "|\n|---|---|---|---|---|\n",
        LoadAverage().c_str());
    const auto row = [&](const char* name, const std::vector<std::string>& arguments, int runs,
                         bool toPipe) {
        double wall = 0, processor = 0;
        long peak = 0;
        int status = 0;
        if (MedianRun(arguments, runs, toPipe, wall, processor, peak, status)) {
            std::printf("| %s | %.3f s | %.3f s | %.1f MB | %d |\n", name, wall, processor,
                        static_cast<double>(peak) / 1024.0, status);
        } else {
            std::printf("| %s | could not run | | | |\n", name);
        }
        std::fflush(stdout);
    };
    row("W1 --json to a pipe", with({"--json"}), 5, true);
    row("W1 --json to a pipe, 1 thread", with({"--json", "--threads", "1"}), 5, true);
    row("W1 --json to /dev/null", with({"--json"}), 5, false);
    const std::string page = cache + "/bench-w1-page.htm";
    row("W1 page (--yes -o FILE)", with({"--yes", "-o", page}), 3, false);
    struct stat pageStatus {};
    if (stat(page.c_str(), &pageStatus) == 0) {
        const std::string copy = cache + "/bench-w1-copy.htm";
        row(("cat of the same " + Megabytes(pageStatus.st_size) + " page").c_str(),
            {"/bin/sh", "-c", "cat \"$0\" > \"$1\"", page, copy}, 3, false);
        std::remove(copy.c_str());
        std::remove(page.c_str());
    }
    row("W1, 1,000 letters controls", with({"--controls", "1000"}), 1, false);
}

int main(int argc, char** argv) {
    Options options;
    if (!ReadOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s --bible FILE --sample FILE [--hebrew FILE] [--cli PROGRAM] "
                     "[--runs N] "
                     "[--only W1,W2]\n",
                     argv[0]);
        return 2;
    }
    if (!options.memoryRow.empty()) return RunMemoryRow(options);
    std::string bible, sample;
    if (!LoadNormalisedText(options.bible, bible) || !LoadNormalisedText(options.sample, sample)) {
        std::fprintf(stderr, "cannot read %s or %s\n", options.bible.c_str(),
                     options.sample.c_str());
        return 2;
    }
    std::printf(
        "Bible: %zu letters; sample: %zu letters; indexed engine: best of %d runs; "
        "%u cores; load average %s\n\n",
        bible.size(), sample.size(), options.runs, std::thread::hardware_concurrency(),
        LoadAverage().c_str());
    std::printf(
        "| Workload | Literal | Indexed | Ratio | Results | Same stream | Peak heap literal |"
        " Peak heap indexed |\n|---|---|---|---|---|---|---|---|\n");
    bool allSame = true;
    for (const Workload& workload : Workloads()) {
        if (!options.only.empty() && options.only.find(workload.name) == std::string::npos)
            continue;
        const std::string& text = workload.document == Document::Bible ? bible : sample;
        const Measurement literal = Measure(&FindSequencesLiteral, text, workload);
        Measurement indexed = Measure(&FindSequences, text, workload);
        for (int run = 1; run < options.runs; ++run) {
            const Measurement again = Measure(&FindSequences, text, workload);
            if (again.seconds < indexed.seconds) indexed = again;
        }
        const bool same = literal.complete && indexed.complete &&
                          literal.results == indexed.results && literal.digest == indexed.digest;
        allSame = allSame && same;
        std::printf("| %s %s | %.3f s | %.4f s | %.0fx | %lld | %s | %s | %s |\n", workload.name,
                    workload.description, literal.seconds, indexed.seconds,
                    literal.seconds / indexed.seconds, static_cast<long long>(indexed.results),
                    same ? "yes" : "NO", Megabytes(literal.peakHeap).c_str(),
                    Megabytes(indexed.peakHeap).c_str());
        std::fflush(stdout);
    }
    std::printf("\nLoad average afterwards: %s\n", LoadAverage().c_str());

    // The indexed engine on W1 by thread count and candidate-scan kernel: the median of the runs.
    std::printf(
        "\nIndexed engine on W1 by threads and kernel (median of %d runs; load average %s):\n\n"
        "| Kernel | 1 thread | 2 threads | Same stream |\n|---|---|---|---|\n",
        std::max(options.runs, 5), LoadAverage().c_str());
    for (const Workload& workload : Workloads()) {
        if (std::string(workload.name) != "W1") continue;
        if (!options.only.empty() && options.only.find("W1") == std::string::npos) continue;
        const Measurement reference = Measure(&FindSequencesLiteral, bible, workload);
        const std::pair<ScanKernel, const char*> kernels[] = {{ScanKernel::Scalar, "plain 64-bit"},
                                                              {ScanKernel::Sse2, "SSE2"},
                                                              {ScanKernel::Avx2, "AVX2"}};
        for (const auto& [kernel, name] : kernels) {
            if (!ScanKernelAvailable(kernel)) {
                std::printf("| %s | not on this processor | | |\n", name);
                continue;
            }
            ForceScanKernel(kernel);
            double medians[2] = {0, 0};
            bool same = true;
            const SearchFunction searches[2] = {&SearchOnOneThread, &SearchOnTwoThreads};
            for (int t = 0; t < 2; ++t) {
                std::vector<double> seconds;
                for (int run = 0; run < std::max(options.runs, 5); ++run) {
                    const Measurement m = Measure(searches[t], bible, workload);
                    same = same && m.complete && m.results == reference.results &&
                           m.digest == reference.digest;
                    seconds.push_back(m.seconds);
                }
                std::sort(seconds.begin(), seconds.end());
                medians[t] = seconds[seconds.size() / 2];
            }
            allSame = allSame && same;
            std::printf("| %s | %.4f s | %.4f s | %s |\n", name, medians[0], medians[1],
                        same ? "yes" : "NO");
            std::fflush(stdout);
        }
        ResetScanKernel();
    }
    std::printf(
        "\n(Peak heap: bytes the search allocates beyond the loaded text. Same stream: "
        "equal result counts and equal 64-bit digests of every AddResult's arguments.)\n");

    std::printf(
        "\nMemory: each search in a process of its own, the indexed engine with this machine's "
        "index budget (%.1f GB physical memory)\n\n"
        "| Row | Letters | Index (bitmap letters) | Results | Time | Peak heap | Peak resident |"
        " Bound: text + 4 B/letter + 64 MB | Within |\n|---|---|---|---|---|---|---|---|---|\n",
        static_cast<double>(PhysicalMemoryBytes()) / 1e9);
    for (const MemoryRow& row : MemoryRows(bible)) {
        if (!options.only.empty() && options.only.find(row.name) == std::string::npos) continue;
        allSame = PrintMemoryRow(options, row) && allSame;
    }
    std::printf(
        "\n(Peak heap: bytes the search allocates beyond its text. Peak resident: the child "
        "process's ru_maxrss, its text and program included.)\n");

    if (!options.cli.empty()) {
        std::printf(
            "\nCommand-line tool, end to end (--json to /dev/null):\n\n"
            "| Workload | Wall time | Peak resident | Exit status |\n|---|---|---|---|\n");
        for (const Workload& workload : Workloads()) {
            if (workload.document != Document::Bible) continue;
            const SearchSettings& s = workload.settings;
            std::vector<std::string> arguments = {options.cli,
                                                  "--json",
                                                  "-q",
                                                  "--max-skip",
                                                  std::to_string(s.MaxDistanceBetweenLetters),
                                                  "--span",
                                                  std::to_string(s.MaxResultLength),
                                                  "--min-width",
                                                  std::to_string(s.MinColumnWidth),
                                                  "--max-width",
                                                  std::to_string(s.MaxColumnWidth),
                                                  options.bible};
            arguments.insert(arguments.end(), workload.keywords.begin(), workload.keywords.end());
            double seconds = 0;
            long peak = 0;
            int status = 0;
            if (RunTool(arguments, seconds, peak, status)) {
                std::printf("| %s | %.3f s | %.1f MB | %d |\n", workload.name, seconds,
                            static_cast<double>(peak) / 1024.0, status);
            } else {
                std::printf("| %s | could not run %s | | |\n", workload.name, options.cli.c_str());
            }
        }
    }

    if (!options.cli.empty()) ToolW1Rows(options);

    if (!options.hebrew.empty()) AlphabetRows(options);

    // The HTML writer on the workload with the most results: bytes written per second of the
    // whole run, and per second of the run's time beyond the search itself.
    for (const Workload& workload : Workloads()) {
        if (std::string(workload.name) != "W3") continue;
        const Measurement search = Measure(&FindSequences, sample, workload);
        CAgreeingReceiver receiver;
        CHtmlResultWriter writer(receiver);
        std::string errorText;
        const auto start = Clock::now();
        const bool written = FindSequences(sample.data(), static_cast<std::int32_t>(sample.size()),
                                           workload.keywords, workload.settings, writer, errorText);
        const double seconds = SecondsSince(start);
        const std::string path = writer.GetFilePath();
        FILE* page = std::fopen(path.c_str(), "rb");
        long bytes = 0;
        if (page) {
            std::fseek(page, 0, SEEK_END);
            bytes = std::ftell(page);
            std::fclose(page);
        }
        std::remove(path.c_str());
        std::printf(
            "\nHTML writer on %s: %s %lld results, %.1f MB in %.3f s: %.0f MB/s for the "
            "whole run, %.0f MB/s beyond the search's %.3f s\n",
            workload.name, written ? "wrote" : "FAILED after",
            static_cast<long long>(writer.GetResultsWritten()), static_cast<double>(bytes) / 1e6,
            seconds, static_cast<double>(bytes) / 1e6 / seconds,
            static_cast<double>(bytes) / 1e6 / (seconds - search.seconds), search.seconds);
    }
    return allSame ? 0 : 1;
}
