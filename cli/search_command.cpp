#include "cli/search_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/console_receiver.h"
#include "cli/controls_command.h"
#include "cli/exit_status.h"
#include "cli/json_command.h"
#include "cli/page_command.h"
#include "cli/shard_command.h"
#include "cli/tool_options.h"
#include "cli/tool_output.h"
#include "controls/sha256.h"
#include "frontend/messages.h"
#include "frontend/settings_fields.h"
#include "platform/document_file.h"
#include "platform/file.h"
#include "text/alphabet.h"
#include "text/search_request.h"

namespace {

// The system's words for `error` as the end of a sentence.
std::string ReasonSentence(SystemErrorCode error) {
    std::string reason = SystemFileSystem().DescribeError(error);
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    if (!reason.empty() && reason.back() != '.') reason.push_back('.');
    return reason;
}

// The document read and mapped into `request` with the keywords and settings the options ask
// for; `documentDigest` only for a shard. kFound, or kFailed with the reason said.
int MakeRequest(const ToolOptions& options, SearchRequest& request, std::string& documentDigest) {
    request.alphabet = CAlphabet(options.alphabet, options.keepFinals);
    request.ignoreNumbers = options.fields.IgnoreNumbers != 0;
    request.settings = MakeSearchSettings(options.fields);
    std::string keywordError;
    if (!ReadRequestKeywords(request, options.keywordText, keywordError)) return Fail(keywordError);
    if (request.keywords.empty()) return Fail(kNoKeywordsMessage);
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
    // Shards of one run must have read the same bytes, whatever their copy of it is called.
    if (options.shard) documentDigest = Sha256Hex(document);
    RequestKeeps keeps;
    keeps.document = options.places;
    keeps.wordLengths = options.controls.count > 0 && options.controls.kind == ControlKind::Words;
    std::string documentError;
    if (!MapRequestDocument(request, std::move(document), keeps, documentError))
        return Fail(options.document + ": " + documentError);
    return kFound;
}

}  // namespace

int RunSearchCommand(const ToolOptions& options) {
    SearchRequest request;
    std::string documentDigest;
    if (const int status = MakeRequest(options, request, documentDigest); status != kFound)
        return status;

    InstallInterruptHandler();
    CConsoleReceiver::Settings receiverSettings;
    // On a terminal shared with the JSON the bar would land between its lines.
    receiverSettings.showProgress =
        !options.quiet && IsErrorTerminal() && !(options.json && OutputSharesErrorTerminal());
    receiverSettings.canAsk = IsInputTerminal() && IsErrorTerminal();
    receiverSettings.alwaysYes = options.yes;
    CConsoleReceiver receiver(receiverSettings, stderr);
    ToolOutput output{stdout, receiver, receiverSettings.showProgress};

    if (options.controls.count > 0 || options.controls.expected) {
        const ControlCommand command{request, options.controls};
        if (options.controls.count == 0) return PrintExpectedCount(command, options.json, output);
        if (options.shard)
            return RunShardCommand({command, *options.shard, documentDigest, options.outputPath},
                                   output);
        if (!options.json) return RunControlCommand(command, output, nullptr);
        CJsonSearch json(request, options.document, options.places, output);
        return RunControlCommand(command, output, &json);
    }
    if (options.json) return RunJsonCommand(request, options.document, options.places, output);
    return RunPageCommand(request, {options.outputPath, options.open}, output);
}
