// strandix: the dialog's Find for people who work in a terminal or a script.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/console_receiver.h"
#include "cli/controls_command.h"
#include "cli/json_result_sink.h"
#include "cli/shard_command.h"
#include "cli/tool_options.h"
#include "controls/sha256.h"
#include "frontend/messages.h"
#include "frontend/settings_fields.h"
#include "platform/document_file.h"
#include "platform/file.h"
#include "platform/shell.h"
#include "results/html_result_writer.h"
#include "search/find_sequences.h"
#include "search/text_input.h"

#ifndef STRANDIX_VERSION
#define STRANDIX_VERSION "unknown"
#endif

namespace {

// Exit statuses, as grep has them, and the shell's for an interrupt.
constexpr int kFound = 0;
constexpr int kNothingFound = 1;
constexpr int kFailed = 2;
constexpr int kInterrupted = 130;

int Fail(const std::string& sentence) {
    std::fprintf(stderr, "strandix: %s\n", sentence.c_str());
    return kFailed;
}

// The system's reason for a write error, on one line.
std::string WriteErrorSentence(std::string reason) {
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
        reason.pop_back();
    return "Encountered an error when saving the results: " + reason;
}

int RunJson(const ToolOptions& options, const std::string& text, const KeywordList& keywords,
            const SearchSettings& settings, CConsoleReceiver& receiver,
            const std::string& trailingMembers = "") {
    CJsonResultSink sink(stdout, options.document, static_cast<std::int32_t>(text.size()),
                         MakeSearchOrder(keywords), receiver);
    sink.SetTrailingMembers(trailingMembers);
    std::string errorText;
    const bool done = FindSequences(text.c_str(), static_cast<std::int32_t>(text.size()), keywords,
                                    settings, sink, errorText);
    receiver.ClearProgress();
    if (sink.OutputFailed()) return Fail("The results could not be written to standard output.");
    if (!done) return Fail(errorText.empty() ? "The search stopped." : errorText);
    if (InterruptRequested()) {
        std::fprintf(stderr, "strandix: The search was canceled.\n");
        return kInterrupted;
    }
    return sink.Count() > 0 ? kFound : kNothingFound;
}

int RunPage(const ToolOptions& options, const std::string& text, const KeywordList& keywords,
            const SearchSettings& settings, CConsoleReceiver& receiver) {
    CHtmlResultWriter writer(receiver);
    std::string errorText;
    const bool done = FindSequences(text.c_str(), static_cast<std::int32_t>(text.size()), keywords,
                                    settings, writer, errorText);
    receiver.ClearProgress();
    const std::string page = writer.GetFilePath();
    const std::int32_t count = writer.GetResultsWritten();
    if (!done) {
        if (!errorText.empty()) return Fail(errorText);
        if (!page.empty())
            std::fprintf(stderr, "strandix: The unfinished page is %s\n", page.c_str());
        if (receiver.SizeQuestionDeclined()) {
            return Fail(
                "The results page passed 5 MB and the search stopped there.  Run again "
                "with --yes to go on past 5 MB, or narrow the search.");
        }
        if (!receiver.CanceledWriteError().empty())
            return Fail(WriteErrorSentence(receiver.CanceledWriteError()));
        return Fail("The search stopped before its end.");
    }

    std::string shown = page;
    if (!options.outputPath.empty()) {
        SystemErrorCode error = 0;
        if (!CopyFileReplacing(page, options.outputPath, error)) {
            return Fail("The results page could not be copied to " + options.outputPath + ": " +
                        SystemFileSystem().DescribeError(error) + "  It is still at " + page + ".");
        }
        DeleteFileAt(page);
        shown = options.outputPath;
    }
    std::printf("%s\n%s\n", FormatResultCount(count).c_str(), shown.c_str());
    std::fflush(stdout);
    const bool canceled = InterruptRequested();
    if (canceled) std::fprintf(stderr, "strandix: The search was canceled.\n");
    if (options.open && !OpenWithShell(shown))
        return Fail("The page could not be opened in a viewer: " + shown);
    if (canceled) return kInterrupted;
    return count > 0 ? kFound : kNothingFound;
}

struct JsonRun {
    const ToolOptions& options;
    const std::string& text;
    const KeywordList& keywords;
    const SearchSettings& settings;
    CConsoleReceiver& receiver;
};

int RunJsonWithMembers(const std::string& trailingMembers, void* context) {
    const JsonRun& run = *static_cast<const JsonRun*>(context);
    return RunJson(run.options, run.text, run.keywords, run.settings, run.receiver,
                   trailingMembers);
}

int RunTool(const std::vector<std::string>& arguments) {
    if (!arguments.empty() && arguments.front() == "merge")
        return RunMergeCommand(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    ToolOptions options;
    std::string error;
    switch (ParseToolArguments(arguments, options, error)) {
        case ParseOutcome::Help:
            std::fputs(ToolUsage().c_str(), stdout);
            return kFound;
        case ParseOutcome::Version:
            std::printf("strandix %s\n", STRANDIX_VERSION);
            return kFound;
        case ParseOutcome::Error:
            Fail(error);
            std::fprintf(stderr, "Try 'strandix --help' for more information.\n");
            return kFailed;
        case ParseOutcome::Run:
            break;
    }

    const KeywordList keywords = ReadKeywords(options.keywordText);
    if (keywords.empty()) return Fail(kNoKeywordsMessage);
    const SearchSettings settings = MakeSearchSettings(options.fields);

    std::string text;
    const DocumentReadStatus status = ReadDocument(options.document, text);
    if (status != DocumentReadStatus::Ok)
        return Fail(options.document + ": " + DocumentStatusMessage(status));
    const bool ignoreNumbers = options.fields.IgnoreNumbers != 0;
    // Shards of one run must have read the same bytes, whatever their copy of it is called.
    const std::string documentDigest = options.shard ? Sha256Hex(text) : std::string();
    std::vector<std::int32_t> wordLengths;
    if (options.controls.count > 0 && options.controls.kind == ControlKind::Words)
        wordLengths = WordLengths(text, ignoreNumbers);
    NormaliseText(text, ignoreNumbers);

    InstallInterruptHandler();
    CConsoleReceiver::Settings receiverSettings;
    receiverSettings.showProgress = !options.quiet && IsErrorTerminal();
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
                                     receiverSettings.showProgress};
        if (options.controls.count == 0) return PrintExpectedCount(command);
        if (options.shard) {
            return RunShardCommand(
                {command, *options.shard, documentDigest, ignoreNumbers, options.outputPath});
        }
        JsonRun json{options, text, keywords, settings, receiver};
        return RunControlCommand(command, &RunJsonWithMembers, &json);
    }
    if (options.json) return RunJson(options, text, keywords, settings, receiver);
    return RunPage(options, text, keywords, settings, receiver);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return RunTool(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        return Fail(kOutOfMemoryMessage);
    } catch (const std::exception& failure) {
        return Fail(std::string("The search failed: ") + failure.what());
    }
}
