#include "cli/proximity_command.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/alphabet_note.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/input_files.h"
#include "cli/output_files.h"
#include "cli/progress_line.h"
#include "cli/shard_command.h"
#include "cli/standard_output.h"
#include "common/sha256.h"
#include "frontend/messages.h"
#include "platform/document_file.h"
#include "platform/file_identity.h"
#include "platform/physical_memory.h"
#include "proximity/pair_list.h"
#include "proximity/proximity_page.h"
#include "proximity/proximity_partial.h"
#include "proximity/proximity_report.h"
#include "text/document_alphabet.h"

namespace {

// Writes `text` to the file at `path`, or to standard output when `path` is empty. False with
// `problem` set to a sentence; `what` names the text in it ("The partial").
bool WriteText(const std::string& path, const std::string& text, const char* what,
               std::string& problem) {
    if (!path.empty()) return WriteOutputFile(path, text, problem);
    if (StandardOutput().Write(text) && StandardOutput().Flush()) return true;
    problem = std::string(what) + " could not be written to standard output.";
    return false;
}

// The document's letters as the run measures them: the document, or its control text.
bool ReadLetters(const ToolOptions& options, const std::string& document, AlphabetName alphabetName,
                 std::string& letters, std::string& error) {
    const bool ignoreNumbers = options.fields.IgnoreNumbers != 0;
    const std::optional<ControlTextKind>& controlText = options.proximity.controlText;
    const CAlphabet alphabet(alphabetName, options.keepFinals);
    if (!alphabet.MapDocument(document, ignoreNumbers, letters, error)) {
        error = options.document + ": " + error;
        return false;
    }
    if (controlText) {
        const TextPieces pieces = FindTextPieces(document, alphabet, ignoreNumbers);
        MakeControlText(*controlText, pieces, options.run.seed, letters);
    }
    return true;
}

bool ReadPersons(const ToolOptions& toolOptions, AlphabetName alphabetName,
                 std::vector<ProximityPerson>& persons, std::string& error) {
    const ProximityOptions& options = toolOptions.proximity;
    const CAlphabet alphabet(alphabetName, toolOptions.keepFinals);
    if (options.listPath.empty()) {
        ProximityPerson pair;
        for (const std::string* text : {&options.word1, &options.word2}) {
            std::string word;
            if (!ReadProximityWord(alphabet, *text, word, error)) return false;
            if (word.empty()) {
                error = "The word \"" + *text + "\" has no letters of the document's alphabet.";
                return false;
            }
            (text == &options.word1 ? pair.names : pair.dates).push_back(word);
        }
        persons.push_back(std::move(pair));
        return true;
    }
    std::string list;
    if (!ReadInputFile(options.listPath, "list", list, error)) return false;
    PairListError listError;
    std::vector<PairListNote> notes;
    const auto where = [&](std::size_t line) {
        return options.listPath + (line > 0 ? ", line " + std::to_string(line) : "") + ": ";
    };
    if (!ReadPairList(list, alphabet, persons, listError, &notes)) {
        error = where(listError.line) + listError.message;
        return false;
    }
    if (toolOptions.quiet) return true;
    for (const PairListNote& note : notes)
        std::fprintf(stderr, "strandix: Note: %s%s\n", where(note.line).c_str(),
                     note.message.c_str());
    if (const std::string note = UnpairedPersonsNote(persons); !note.empty())
        std::fprintf(stderr, "strandix: Note: %s%s\n", where(0).c_str(), note.c_str());
    return true;
}

// After Ctrl-C in the c matrix: what was finished, and that no output was written (a partial
// holds its whole shard, so an interrupted shard is run again).
int StoppedInMatrix(const CProximityMatrix& matrix, const ToolOptions& options) {
    const std::size_t steps = matrix.Words() + matrix.Pairs();
    const std::size_t done = matrix.WordsDone() + matrix.PairsDone();
    std::string said = std::to_string(done) + " of its " + std::to_string(steps) +
                       " steps were done (the families of " + std::to_string(matrix.WordsDone()) +
                       " of the " + std::to_string(matrix.Words()) + " words, then " +
                       std::to_string(matrix.PairsDone()) + " of the " +
                       std::to_string(matrix.Pairs()) + " pairs)";
    if (!options.proximity.listPath.empty()) {
        said += ", which finish the rows of " + std::to_string(matrix.FinishedRows()) + " of the " +
                (options.shard ? "shard's " : "") +
                std::to_string(matrix.LastRow() - matrix.FirstRow()) + " persons";
    }
    said += "; nothing was written";
    if (!options.outputPath.empty()) said += " (" + options.outputPath + " is as it was)";
    if (options.shard) {
        said += ", and shard " + std::to_string(options.shard->index) + "/" +
                std::to_string(options.shard->count) +
                " must be run again: a partial holds the whole of its shard";
    }
    std::fprintf(stderr, "strandix: Stopped while computing the c matrix: %s.\n", said.c_str());
    return kInterrupted;
}

// The list's statistics, its permutation test (none without a defined pair or with no
// permutations) and with --influence the tests with one person or word left out; false after
// Ctrl-C (said on standard error).
bool Summarise(ProximityOutcome& outcome, unsigned threads, bool influence,
               CProgressLine& progress) {
    if (!outcome.request.fromList) return true;
    const ProximityRequest& request = outcome.request;
    const CellMatrix cells = CellMatrixOfRows(request, outcome.rows);
    outcome.statistics = ListStatistics(cells);
    if (outcome.statistics->pairs == 0 || request.permutations == 0) return true;
    progress.Start("Permutation test");
    outcome.permutations = RunPermutationTest(cells, request.seed, request.permutations, threads,
                                              &progress, &progress.stop);
    progress.Clear();
    if (!outcome.permutations) {
        std::fprintf(stderr,
                     "strandix: Stopped during the permutation test: the c matrix was complete "
                     "and %lld of %llu permutations were counted; nothing was written.\n",
                     static_cast<long long>(progress.Done()),
                     static_cast<unsigned long long>(request.permutations + 1));
        return false;
    }
    if (!influence) return true;
    progress.Start("Influence");
    outcome.influence = RunInfluence(request, outcome.rows, *outcome.permutations, threads,
                                     &progress, &progress.stop);
    progress.Clear();
    if (outcome.influence) return true;
    std::fprintf(stderr,
                 "strandix: Stopped during the permutation tests of --influence: the c matrix and "
                 "the list's own test were complete; nothing was written.\n");
    return false;
}

// Writes the page (when asked) and the outcome. Every output that can be written is written: when
// one fails, the others are still written and the failure says where each one is.
int Deliver(const ProximityOutcome& outcome, bool json, const std::string& outputPath,
            const std::string& reportPath, const ProximityPageExtras& extras) {
    std::string reportProblem, outputProblem;
    const bool reportWritten =
        reportPath.empty() ||
        WriteOutputFile(reportPath, ProximityPageHtml(outcome, extras), reportProblem);
    const std::string text = json ? ProximityJson(outcome) : ProximityText(outcome);
    const bool outputWritten = WriteText(outputPath, text, "The output", outputProblem);
    if (!reportWritten || !outputWritten) {
        std::string said = reportWritten ? outputProblem : reportProblem;
        if (!reportWritten && !outputWritten) {
            said += "\nstrandix: " + outputProblem;
        } else if (!reportWritten) {
            said += outputPath.empty() ? "  The outcome went to standard output."
                                       : "  The outcome was written to " + outputPath + ".";
        } else if (!reportPath.empty()) {
            said += "  The page was written to " + reportPath + ".";
        }
        return Fail(said);
    }
    for (const ListedPair& pair : ListedPairs(outcome.request, outcome.rows)) {
        if (pair.summary->defined) return kFound;
    }
    return kNothingFound;
}

// The version and the day (UTC) the outputs name, as a control run's report names them.
void StampOutcome(ProximityOutcome& outcome) {
    ControlRun stamp;
    StampControlRun(stamp);
    outcome.version = std::move(stamp.version);
    outcome.date = std::move(stamp.date);
}

// The lengths of the document's words, which the page's grids need for the Hebrew final forms;
// empty for a control text, whose letters are the document's no more.
std::vector<std::int32_t> GridWordLengths(const ProximityRequest& request,
                                          const std::string& document) {
    if (request.controlText) return {};
    return CAlphabet(request.alphabet, request.keepFinals)
        .WordLengths(document, request.ignoreNumbers);
}

// The document and the list (or the pair) read into `outcome.request` with the measure and the
// test the options ask for; the letters the run measures, and the lengths of the document's
// words when the page is asked for. kFound, or kFailed with the reason said.
int MakeProximityRequest(const ToolOptions& options, ProximityOutcome& outcome,
                         std::string& letters, std::vector<std::int32_t>& wordLengths) {
    const ProximityOptions& proximity = options.proximity;
    ProximityRequest& request = outcome.request;
    request.document = options.document;
    request.alphabet = options.alphabet;
    request.keepFinals = options.keepFinals;
    request.ignoreNumbers = options.fields.IgnoreNumbers != 0;
    request.settings = proximity.settings;
    request.controlText = proximity.controlText;
    request.seed = options.run.seed;
    request.fromList = !proximity.listPath.empty();
    request.permutations = proximity.permutations;
    request.triples = proximity.triples;
    // Every output is checked before the work: none replaces an input, each can be written.
    std::vector<RunInput> inputs;
    if (options.document != "-") inputs.push_back({options.document, "the document"});
    if (!proximity.listPath.empty() && proximity.listPath != "-")
        inputs.push_back({proximity.listPath, "the list"});
    if (const std::string problem = CheckOutputs(
            {{options.outputPath, "-o"}, {options.run.reportPath, "--report"}}, inputs);
        !problem.empty())
        return Fail(problem);
    // With --alphabet auto the words and the list are read in the document's alphabet.
    std::string document, error;
    if (!ReadInputFile(options.document, "document", document, error)) return Fail(error);
    if (options.autoAlphabet)
        request.alphabet = DocumentAlphabet(document);
    else if (!options.quiet)
        NoteOtherAlphabet(document, CAlphabet(request.alphabet, request.keepFinals));
    if (!ReadPersons(options, request.alphabet, request.persons, error)) return Fail(error);
    if (!options.quiet) {
        for (const std::string& note :
             SelfPairNotes(request.persons, CAlphabet(request.alphabet, request.keepFinals)))
            std::fprintf(stderr, "strandix: Note: %s\n", note.c_str());
    }
    if (options.shard && options.shard->count > static_cast<std::int64_t>(request.persons.size()))
        return Fail("--shard: " + std::to_string(options.shard->count) +
                    " shards are more than the " + std::to_string(request.persons.size()) +
                    " persons of the list.");
    request.documentDigest = Sha256Hex(document);
    if (!ReadLetters(options, document, request.alphabet, letters, error)) return Fail(error);
    request.letters = static_cast<std::int32_t>(letters.size());
    if (!options.run.reportPath.empty()) wordLengths = GridWordLengths(request, document);
    StampOutcome(outcome);
    outcome.leftOut = LeftOutWords(request.persons, request.settings);
    return kFound;
}

// "43 MB", "9.3 GB".
std::string MemoryText(double bytes) {
    char text[32];
    if (bytes < 1e9)
        std::snprintf(text, sizeof text, "%.0f MB", std::max(1.0, bytes / 1e6));
    else
        std::snprintf(text, sizeof text, "%.1f GB", bytes / 1e9);
    return text;
}

// Before the c matrix of a list: one line with its size and an estimate of its time and memory
// (unless -q); a refusal (exit status 2) when the estimate passes an hour or half the machine's
// memory, unless --yes. kFound when the run goes on.
int CheckMatrixSize(const ToolOptions& options, const ProximityRequest& request,
                    const ProximityMatrixOptions& matrixOptions) {
    if (!request.fromList) return kFound;
    const MatrixEstimate estimate =
        EstimateMatrix(request.letters, request.persons, request.settings, matrixOptions.firstRow,
                       matrixOptions.lastRow);
    const unsigned threads =
        WorkThreads(matrixOptions.threads,
                    static_cast<std::size_t>(std::max<std::uint64_t>(estimate.cells, 1)));
    const double seconds = estimate.processorSeconds / double(threads);
    const std::string said =
        std::to_string(estimate.persons) + " persons, " + std::to_string(estimate.cells) +
        " cells (name x date), " + std::to_string(estimate.words) + " words: about " +
        ProgressDuration(seconds) + " on " + std::to_string(threads) +
        (threads == 1 ? " thread" : " threads") + " and " + MemoryText(estimate.bytes);
    const double memory = static_cast<double>(PhysicalMemoryBytes());
    const bool tooLong = seconds > 3600;
    const bool tooBig = memory > 0 && estimate.bytes > memory / 2;
    if ((tooLong || tooBig) && !options.yes) {
        return Fail(
            "The c matrix of " + said +
            (tooBig ? ", more than half of this machine's " + MemoryText(memory) : std::string()) +
            ".  Split it into shards with --shard K/N (and strandix merge), or run "
            "again with --yes to go on.");
    }
    if (!options.quiet) std::fprintf(stderr, "strandix: c matrix: %s.\n", said.c_str());
    return kFound;
}

}  // namespace

int RunProximityCommand(const ToolOptions& options) {
    const ProximityOptions& proximity = options.proximity;
    ProximityOutcome outcome;
    std::string letters;
    std::vector<std::int32_t> wordLengths;
    if (const int status = MakeProximityRequest(options, outcome, letters, wordLengths);
        status != kFound)
        return status;
    const ProximityRequest& request = outcome.request;
    const std::string& reportPath = options.run.reportPath;

    InstallInterruptHandler();
    // The line is cleared before the outcome is written, so it shows on a terminal shared with
    // the outcome too.
    CProgressLine progress(!options.quiet && IsErrorTerminal());
    const CProximityText text(std::move(letters));
    ProximityMatrixOptions matrixOptions;
    if (options.shard) {
        matrixOptions.firstRow = ShardFirstRow(request.persons.size(), *options.shard);
        matrixOptions.lastRow =
            ShardFirstRow(request.persons.size(), {options.shard->index + 1, options.shard->count});
    }
    matrixOptions.threads = options.run.threads;
    matrixOptions.receiver = &progress;
    matrixOptions.stop = &progress.stop;
    matrixOptions.keepDiagonalTriples = proximity.triples;
    if (const int status = CheckMatrixSize(options, request, matrixOptions); status != kFound)
        return status;
    CProximityMatrix matrix;
    progress.Start("c matrix");
    matrix.Compute(text, request.persons, request.settings, matrixOptions);
    progress.Clear();
    if (!matrix.Complete()) return StoppedInMatrix(matrix, options);
    outcome.rows = RowsOf(matrix, proximity.triples);

    if (options.shard) {
        const ProximityPartial partial{request, *options.shard, outcome.rows};
        std::string problem;
        if (!WriteText(options.outputPath, WriteProximityPartial(partial), "The partial", problem))
            return Fail(problem);
        return kFound;
    }
    if (!Summarise(outcome, options.run.threads, options.proximity.influence, progress))
        return kInterrupted;
    ProximityPageExtras extras;
    if (!reportPath.empty())
        extras = PageExtras(outcome, &text, wordLengths.empty() ? nullptr : &wordLengths);
    return Deliver(outcome, options.json, options.outputPath, reportPath, extras);
}

namespace {

// The letters the shards measured, from their document: the file `named` by --document, or the
// one at the path the shards read. False with `error` set when --document names a file that
// cannot be read or is another document; true otherwise, with no text and `note` set when the
// shards' document is not at hand.
bool RebuildLetters(const ProximityRequest& request, const std::string& named,
                    std::unique_ptr<CProximityText>& text, std::vector<std::int32_t>& wordLengths,
                    std::string& note, std::string& error) {
    const std::string& path = named.empty() ? request.document : named;
    std::string document, letters, problem;
    if (named.empty() && path == "-") {
        note =
            "the report has no letter grids, which need the document the shards read: they "
            "read it from standard input. Name the document with --document FILE.";
        return true;
    }
    if (!ReadInputFile(path, "document", document, problem)) {
        if (!named.empty()) {
            error = problem;
            return false;
        }
        std::string reason = problem.substr(std::min(problem.size(), path.size() + 2));
        if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z') reason[0] += 'a' - 'A';
        note = "the report has no letter grids, which need the document the shards read: " + path +
               " was tried, and " + reason + " Name the document with --document FILE.";
        return true;
    }
    if (const std::string digest = Sha256Hex(document); digest != request.documentDigest) {
        const std::string differs = path + " is not the document the shards read: its SHA-256 is " +
                                    digest + ", theirs " + request.documentDigest + ".";
        if (!named.empty()) {
            error = differs;
            return false;
        }
        note =
            "the report has no letter grids, which need the document the shards read: " + differs +
            " Name the document with --document FILE.";
        return true;
    }
    const CAlphabet alphabet(request.alphabet, request.keepFinals);
    if (!alphabet.MapDocument(document, request.ignoreNumbers, letters, problem)) {
        error = path + ": " + problem;
        return false;
    }
    wordLengths = GridWordLengths(request, document);
    if (request.controlText) {
        const TextPieces pieces = FindTextPieces(document, alphabet, request.ignoreNumbers);
        MakeControlText(*request.controlText, pieces, request.seed, letters);
    }
    text = std::make_unique<CProximityText>(std::move(letters));
    return true;
}

}  // namespace

int FinishProximityMerge(const ToolOptions& options, CProximityMerger& merger) {
    std::string message;
    ProximityOutcome outcome;
    if (!merger.Finish(outcome.request, outcome.rows, message)) return Fail(message);
    const ProximityRequest& request = outcome.request;
    std::vector<RunInput> inputs;
    for (const std::string& file : options.operands)
        inputs.push_back({file, "a partial being merged"});
    inputs.push_back(
        {options.document.empty() ? request.document : options.document, "the document"});
    if (const std::string problem = CheckOutputs({options.run.reportPath}, inputs);
        !problem.empty())
        return Fail(problem);
    // The grids need the letters: those of the document the shards read.
    std::unique_ptr<CProximityText> text;
    std::vector<std::int32_t> wordLengths;
    std::string gridNote, error;
    if (!options.run.reportPath.empty() &&
        !RebuildLetters(request, options.document, text, wordLengths, gridNote, error))
        return Fail(error);
    if (!gridNote.empty()) std::fprintf(stderr, "strandix: Note: %s\n", gridNote.c_str());
    outcome.leftOut = LeftOutWords(request.persons, request.settings);
    StampOutcome(outcome);
    InstallInterruptHandler();
    CProgressLine progress(!options.quiet && IsErrorTerminal());
    if (!Summarise(outcome, 0, options.proximity.influence, progress)) return kInterrupted;
    const std::string& reportPath = options.run.reportPath;
    ProximityPageExtras extras;
    if (!reportPath.empty()) {
        extras = PageExtras(outcome, text.get(), wordLengths.empty() ? nullptr : &wordLengths);
        if (!gridNote.empty()) {
            extras.gridNote = gridNote;
            extras.gridNote[0] = 'T';
        }
    }
    return Deliver(outcome, options.json, "", reportPath, extras);
}

int RunAnyMergeCommand(const ToolOptions& options) {
    return RunMergeCommand(options);
}
