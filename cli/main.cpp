// strandix: the dialog's Find for people who work in a terminal or a script.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/console_receiver.h"
#include "cli/controls_command.h"
#include "cli/exit_status.h"
#include "cli/json_result_sink.h"
#include "cli/search_end.h"
#include "cli/shard_command.h"
#include "cli/tool_options.h"
#include "controls/sha256.h"
#include "frontend/messages.h"
#include "frontend/page_script.h"
#include "frontend/settings_fields.h"
#include "platform/document_file.h"
#include "platform/file.h"
#include "platform/shell.h"
#include "results/html_result_writer.h"
#include "search/find_sequences.h"
#include "search/text_input.h"
#include "text/alphabet.h"
#include "text/document_alphabet.h"
#include "text/letter_places.h"

#ifndef STRANDIX_VERSION
#define STRANDIX_VERSION "unknown"
#endif

namespace {

// The system's reason for a write error, on one line.
std::string WriteErrorSentence(std::string reason) {
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
        reason.pop_back();
    return "Encountered an error when saving the results: " + reason;
}

// The system's words for `error` as the end of a sentence.
std::string ReasonSentence(SystemErrorCode error) {
    std::string reason = SystemFileSystem().DescribeError(error);
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    if (!reason.empty() && reason.back() != '.') reason.push_back('.');
    return reason;
}

// Writes all of `text` to standard output. False when the stream refused it (closed, full).
bool WriteOutput(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

int ReportCanceled() {
    std::fprintf(stderr, "strandix: The search was canceled.\n");
    return kInterrupted;
}

int RunJson(const ToolOptions& options, const CAlphabet& alphabet, const std::string& document,
            const std::string& text, const KeywordList& keywords, const SearchSettings& settings,
            CConsoleReceiver& receiver, const std::string& trailingMembers = "") {
    CLetterPlaces places(alphabet, document, options.fields.IgnoreNumbers != 0);
    CLetterPlaces* const asked = options.places ? &places : nullptr;
    CJsonResultSink sink(stdout, options.document, static_cast<std::int32_t>(text.size()),
                         MakeSearchOrder(keywords), alphabet, asked, receiver);
    CSearchEndRecorder end(sink);
    sink.SetTrailingMembers(trailingMembers);
    std::string errorText;
    const bool done = FindSequences(text.c_str(), static_cast<std::int32_t>(text.size()), keywords,
                                    settings, end, errorText);
    receiver.ClearProgress();
    if (sink.OutputFailed()) return Fail("The results could not be written to standard output.");
    if (!done) return Fail(errorText.empty() ? "The search stopped." : errorText);
    if (end.Canceled()) return ReportCanceled();
    return sink.Count() > 0 ? kFound : kNothingFound;
}

int RunPage(const ToolOptions& options, const CAlphabet& alphabet, const std::string& text,
            const KeywordList& keywords, const SearchSettings& settings,
            CConsoleReceiver& receiver) {
    CHtmlResultWriter writer(receiver);
    if (alphabet.ReadsUtf8()) writer.SetScript(MakePageScript(alphabet));
    CSearchEndRecorder end(writer);
    std::string errorText;
    bool done = FindSequences(text.c_str(), static_cast<std::int32_t>(text.size()), keywords,
                              settings, end, errorText);
    // A Ctrl-C at a question stopped the search where it stood; it still ends as any cancel does,
    // with the page's canceled note and footer.
    if (!end.Ended() && receiver.QuestionInterrupted() && !writer.GetFilePath().empty())
        done = end.End(true);
    receiver.ClearProgress();
    const std::string page = writer.GetFilePath();
    const std::int64_t count = writer.GetResultsWritten();
    if (!done) {
        if (!errorText.empty()) return Fail(errorText);
        if (!page.empty())
            std::fprintf(stderr, "strandix: The unfinished page is %s\n", page.c_str());
        if (!writer.GetCloseError().empty()) {
            Fail(WriteErrorSentence(writer.GetCloseError()));
        } else if (!receiver.CanceledWriteError().empty()) {
            Fail(WriteErrorSentence(receiver.CanceledWriteError()));
        } else if (receiver.SizeQuestionDeclined()) {
            Fail(
                "The results page passed 5 MB and the search stopped there.  Run again "
                "with --yes to go on past 5 MB, or narrow the search.");
        } else if (!end.Canceled() && !receiver.QuestionInterrupted()) {
            Fail("The search stopped before its end.");
        }
        return end.Canceled() || receiver.QuestionInterrupted() ? ReportCanceled() : kFailed;
    }

    std::string shown = page;
    std::string outputPath;
    if (!options.outputPath.empty() && ToSystemPath(options.outputPath, outputPath)) {
        SystemErrorCode error = 0;
        if (!CopyFileReplacing(page, outputPath, error)) {
            return Fail("The results page could not be copied to " + options.outputPath + ": " +
                        SystemFileSystem().DescribeError(error) + "  It is still at " + page + ".");
        }
        DeleteFileAt(page);
        shown = options.outputPath;
    }
    if (!WriteOutput(FormatResultCount(count) + "\n" + shown + "\n")) {
        return Fail("The results could not be written to standard output.  The page is " + shown +
                    ".");
    }
    if (end.Canceled()) ReportCanceled();
    if (options.open && !OpenWithShell(shown))
        return Fail("The page could not be opened in a viewer: " + shown);
    if (end.Canceled()) return kInterrupted;
    return count > 0 ? kFound : kNothingFound;
}

struct JsonRun {
    const ToolOptions& options;
    const CAlphabet& alphabet;
    const std::string& document;
    const std::string& text;
    const KeywordList& keywords;
    const SearchSettings& settings;
    CConsoleReceiver& receiver;
};

int RunJsonWithMembers(const std::string& trailingMembers, void* context) {
    const JsonRun& run = *static_cast<const JsonRun*>(context);
    return RunJson(run.options, run.alphabet, run.document, run.text, run.keywords, run.settings,
                   run.receiver, trailingMembers);
}

int RunTool(const std::vector<std::string>& arguments) {
    if (!arguments.empty() && arguments.front() == "merge")
        return RunMergeCommand(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    ToolOptions options;
    std::string error;
    switch (ParseToolArguments(arguments, options, error)) {
        case ParseOutcome::Help:
            if (!WriteOutput(ToolUsage())) return Fail("The help could not be written.");
            return kFound;
        case ParseOutcome::Version:
            if (!WriteOutput(std::string("strandix ") + STRANDIX_VERSION + "\n"))
                return Fail("The version could not be written.");
            return kFound;
        case ParseOutcome::Error:
            Fail(error);
            std::fprintf(stderr, "Try 'strandix --help' for more information.\n");
            return kFailed;
        case ParseOutcome::Run:
            break;
    }

    CAlphabet alphabet(options.alphabet, options.keepFinals);
    KeywordList keywords;
    std::string keywordError;
    // With --alphabet auto the keywords wait for the document, whose alphabet they are read in.
    const auto readKeywords = [&] {
        if (!alphabet.ReadKeywords(options.keywordText, keywords, keywordError)) return false;
        keywordError = kNoKeywordsMessage;
        return !keywords.empty();
    };
    if (!options.autoAlphabet && !readKeywords()) return Fail(keywordError);
    const SearchSettings settings = MakeSearchSettings(options.fields);
    std::string outputPath;
    if (!options.outputPath.empty() && !ToSystemPath(options.outputPath, outputPath)) {
        return Fail(options.outputPath +
                    ": The system's code page has no characters for this name; please choose "
                    "another output file name.");
    }

    // "-" is standard input, as for most tools; a file of that name is ./-.
    const bool fromInput = options.document == "-";
    std::string document;
    SystemErrorCode reason = 0;
    const DocumentReadStatus status =
        fromInput ? ReadStandardInput(document, reason)
                  : ReadDocumentExplained(options.document, document, reason, true);
    if (status != DocumentReadStatus::Ok) {
        std::string sentence = (fromInput ? std::string("standard input") : options.document) +
                               ": " + DocumentStatusMessage(status);
        if (reason != 0) sentence += "  " + ReasonSentence(reason);
        return Fail(sentence);
    }
    if (options.autoAlphabet) {
        alphabet = CAlphabet(DocumentAlphabet(document));
        if (!readKeywords()) return Fail(keywordError);
    }
    // Without places latin letters are made in place, as the program always has.
    const bool ignoreNumbers = options.fields.IgnoreNumbers != 0;
    // Shards of one run must have read the same bytes, whatever their copy of it is called.
    const std::string documentDigest = options.shard ? Sha256Hex(document) : std::string();
    std::vector<std::int32_t> wordLengths;
    if (options.controls.count > 0 && options.controls.kind == ControlKind::Words) {
        if (alphabet.ReadsUtf8())
            return Fail("--control-kind words: Word controls read latin documents only.");
        wordLengths = WordLengths(document, ignoreNumbers);
    }
    std::string text;
    if (options.places || alphabet.ReadsUtf8()) {
        std::string documentError;
        if (!alphabet.MapDocument(document, ignoreNumbers, text, documentError))
            return Fail(options.document + ": " + documentError);
        if (!options.places) std::string().swap(document);
    } else {
        text.swap(document);
        NormaliseText(text, ignoreNumbers);
    }

    InstallInterruptHandler();
    CConsoleReceiver::Settings receiverSettings;
    // On a terminal shared with the JSON the bar would land between its lines.
    receiverSettings.showProgress =
        !options.quiet && IsErrorTerminal() && !(options.json && OutputSharesErrorTerminal());
    receiverSettings.canAsk = IsInputTerminal() && IsErrorTerminal();
    receiverSettings.alwaysYes = options.yes;
    CConsoleReceiver receiver(receiverSettings, stderr);

    if (options.controls.count > 0 || options.controls.expected) {
        const ControlCommand command{options.controls,
                                     text,
                                     wordLengths,
                                     keywords,
                                     settings,
                                     options.json,
                                     receiverSettings.showProgress,
                                     &alphabet};
        if (options.controls.count == 0) return PrintExpectedCount(command);
        if (options.shard) {
            return RunShardCommand(
                {command, *options.shard, documentDigest, ignoreNumbers, options.outputPath});
        }
        JsonRun json{options, alphabet, document, text, keywords, settings, receiver};
        return RunControlCommand(command, &RunJsonWithMembers, &json);
    }
    if (options.json)
        return RunJson(options, alphabet, document, text, keywords, settings, receiver);
    return RunPage(options, alphabet, text, keywords, settings, receiver);
}

}  // namespace

int main(int argc, char** argv) {
    const CUtf8Console console;
    try {
        return RunTool(ToolArguments(argc, argv));
    } catch (const std::bad_alloc&) {
        return Fail(kOutOfMemoryMessage);
    } catch (const std::exception& failure) {
        return Fail(std::string("The search failed: ") + failure.what());
    }
}
