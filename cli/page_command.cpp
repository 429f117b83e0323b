#include "cli/page_command.h"

#include <cstdio>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/search_end.h"
#include "frontend/messages.h"
#include "frontend/page_script.h"
#include "platform/file.h"
#include "platform/file_identity.h"
#include "platform/shell.h"
#include "results/free_space_guard.h"
#include "results/html_result_writer.h"
#include "search/find_sequences.h"
#include "text/letter_places.h"

namespace {

// The system's reason for a write error, on one line.
std::string WriteErrorSentence(std::string reason) {
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
        reason.pop_back();
    return "Encountered an error when saving the results: " + reason;
}

// The legend of `request`'s keywords, with their places read from its document by `places`.
PageLegend MakeLegend(const SearchRequest& request, CLetterPlaces& places) {
    PageLegend legend;
    legend.keywords = request.keywords;
    for (const std::string& keyword : request.keywords)
        legend.names.push_back(request.alphabet.Spell(keyword));
    legend.plainWordsCount = !request.settings.ExcludeWordsDirectlyFromText;
    legend.reverseCounts = request.settings.AllowReverseKeywords;
    legend.placeOf = [&places](std::int64_t index) {
        const LetterPlace place = places.Find(index);
        return PagePlace{place.line, place.column};
    };
    return legend;
}

}  // namespace

int RunPageCommand(const SearchRequest& request, const PageOptions& options, ToolOutput& output) {
    const CAlphabet& alphabet = request.alphabet;
    CConsoleReceiver& receiver = output.receiver;
    CHtmlResultWriter writer(receiver);
    if (alphabet.ReadsUtf8()) writer.SetScript(MakePageScript(alphabet));
    std::optional<CLetterPlaces> places;
    if (options.legend) {
        places.emplace(alphabet, request.document, request.ignoreNumbers);
        writer.SetLegend(MakeLegend(request, *places));
    }
    // The page stops before its file system runs short of room; the question is asked of the
    // folder the page is in.
    CFreeSpaceGuard guard(writer, [&writer](std::uint64_t& available, std::uint64_t& size) {
        const std::string page = writer.GetFilePath();
        return !page.empty() && GetFileSystemSpace(page, available, size);
    });
    CSearchEndRecorder end(guard);
    std::string errorText;
    bool done = FindSequencesOnThreads(
        request.text.c_str(), static_cast<std::int32_t>(request.text.size()), request.keywords,
        request.settings, static_cast<std::int32_t>(options.threads), end, errorText);
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

    if (guard.Stopped()) {
        constexpr double kMegabyte = 1024.0 * 1024.0;
        char figures[160];
        std::snprintf(figures, sizeof figures,
                      "only %.0f MB are left free on the file system that holds the page, which "
                      "leaves at least %.0f MB there",
                      static_cast<double>(guard.Available()) / kMegabyte,
                      static_cast<double>(guard.Least()) / kMegabyte);
        return Fail("The search stopped before the page filled its disk: " + std::string(figures) +
                    " (1 GB or 5 % of the file system, whichever is larger; half of what was free "
                    "at the start when that was less).  The page, with " +
                    std::to_string(count) + " results and its canceled note, is " + page + ".");
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
    if (!output.Write(FormatResultCount(count) + "\n" + shown + "\n")) {
        return Fail("The results could not be written to standard output.  The page is " + shown +
                    ".");
    }
    if (end.Canceled()) ReportCanceled();
    if (options.open && !OpenWithShell(shown))
        return Fail("The page could not be opened in a viewer: " + shown);
    if (end.Canceled()) return kInterrupted;
    return count > 0 ? kFound : kNothingFound;
}
