#include "cli/search_command.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/alphabet_note.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/console_receiver.h"
#include "cli/controls_command.h"
#include "cli/exit_status.h"
#include "cli/input_files.h"
#include "cli/json_command.h"
#include "cli/output_files.h"
#include "cli/page_command.h"
#include "cli/shard_command.h"
#include "cli/standard_output.h"
#include "cli/tool_options.h"
#include "cli/tool_output.h"
#include "common/sha256.h"
#include "controls/control_notes.h"
#include "controls/statistics.h"
#include "frontend/messages.h"
#include "frontend/settings_fields.h"
#include "platform/document_file.h"
#include "platform/file.h"
#include "text/alphabet.h"
#include "text/document_alphabet.h"
#include "text/keyword_splits.h"
#include "text/search_request.h"

namespace {

// A word of the keyword text that became several keywords.
void NoteSplitKeywords(const SearchRequest& request, const std::string& keywordText) {
    const CAlphabet& alphabet = request.alphabet;
    for (const KeywordSplit& split : FindKeywordSplits(alphabet, keywordText)) {
        std::string keywords;
        // As the search reads them: Latin letters in capitals.
        for (std::string keyword : split.keywords) {
            std::transform(keyword.begin(), keyword.end(), keyword.begin(), ToUpperAscii);
            keywords += (keywords.empty() ? "" : " + ") + alphabet.Spell(keyword);
        }
        std::fprintf(stderr,
                     "strandix: Note: %s is read as %zu keywords, %s: %s is no letter of the %s "
                     "alphabet.\n",
                     split.word.c_str(), split.keywords.size(), keywords.c_str(),
                     split.separator.c_str(), AlphabetTitle(alphabet.Name()));
    }
}

// One line on standard error for each thing the search does that a user may not expect: a typed
// word read as several keywords, a keyword whose skip the span caps below --max-skip, a keyword
// found once in each direction.
void NoteSurprises(const SearchRequest& request, const std::string& keywordText) {
    for (const std::string& word : request.leftOut) {
        std::fprintf(stderr, "strandix: Note: %s\n",
                     LeftOutKeywordSentence(request.alphabet, word).c_str());
    }
    NoteSplitKeywords(request, keywordText);
    const SearchSettings& settings = request.settings;
    for (const std::string& keyword : request.keywords) {
        const std::string spelled = request.alphabet.Spell(keyword);
        const std::u32string folded = KeywordLetters(spelled);
        const auto letters = static_cast<std::int64_t>(folded.size());
        const std::int64_t cap = GreatestSkip(letters, settings);
        if (letters >= 2 && cap < settings.MaxDistanceBetweenLetters) {
            std::fprintf(stderr,
                         "strandix: Note: --span %d caps the skip of %s at %lld, below "
                         "--max-skip %d.\n",
                         settings.MaxResultLength, spelled.c_str(), static_cast<long long>(cap),
                         settings.MaxDistanceBetweenLetters);
        }
        if (letters >= 2 && settings.AllowReverseKeywords &&
            std::equal(folded.begin(), folded.end(), folded.rbegin())) {
            std::fprintf(stderr,
                         "strandix: Note: %s reads the same both ways, so each of its finds is "
                         "counted once in each direction.\n",
                         spelled.c_str());
        }
    }
}

// Whether some keyword has a skip from --min-skip on that --span and --max-skip allow: kFound,
// or kFailed with the reason said, as when --min-skip is above --max-skip.
int CheckSkipsLeft(const KeywordList& keywords, const SearchSettings& settings) {
    // Without --min-skip every skip the span allows is searched, however few.
    if (settings.MinSkip <= 1) return kFound;
    std::int64_t greatest = 0;
    for (const std::string& keyword : keywords) {
        const auto letters = static_cast<std::int64_t>(keyword.size());
        // A keyword of one letter has no skip to leave out.
        if (letters < 2) return kFound;
        greatest = std::max(greatest, GreatestSkip(letters, settings));
    }
    if (settings.MinSkip <= greatest) return kFound;
    return Fail("--min-skip: " + std::to_string(settings.MinSkip) + " is above " +
                std::to_string(greatest) + ", the greatest skip --span " +
                std::to_string(settings.MaxResultLength) +
                " allows the keywords, so no skip is left to search.");
}

// The document read and mapped into `request` with the keywords and settings the options ask
// for; `documentDigest` only for controls. kFound, or kFailed with the reason said.
int MakeSearchRequest(const ToolOptions& options, SearchRequest& request,
                      std::string& documentDigest) {
    request.alphabet = CAlphabet(options.alphabet, options.keepFinals);
    request.ignoreNumbers = options.fields.IgnoreNumbers != 0;
    request.settings = MakeSearchSettings(options.fields);
    request.settings.MinSkip = options.minSkip;
    // With --alphabet auto the keywords wait for the document, whose alphabet they are read in.
    const auto readKeywords = [&] {
        std::string keywordError;
        if (!ReadRequestKeywords(request, options.keywordText, keywordError))
            return Fail(keywordError);
        if (request.keywords.empty() && !request.leftOut.empty()) {
            for (const std::string& word : request.leftOut)
                Fail(LeftOutKeywordSentence(request.alphabet, word));
            return kFailed;
        }
        if (request.keywords.empty()) return Fail(kNoKeywordsMessage);
        return CheckSkipsLeft(request.keywords, request.settings);
    };
    if (!options.autoAlphabet) {
        if (const int status = readKeywords(); status != kFound) return status;
    }
    std::string outputPath;
    if (!options.outputPath.empty() && !ToSystemPath(options.outputPath, outputPath)) {
        return Fail(options.outputPath +
                    ": The system's code page has no characters for this name; please choose "
                    "another output file name.");
    }

    // "-" is standard input, as for most tools; a file of that name is ./-.
    const bool fromInput = options.document == "-";
    // Every output is checked before the work: none replaces the document, each can be written.
    std::vector<RunInput> inputs;
    if (!fromInput) inputs.push_back({options.document, "the document"});
    const std::string outputProblem =
        CheckOutputs({{options.outputPath, "-o"}, {options.run.reportPath, "--report"}}, inputs);
    if (!outputProblem.empty()) return Fail(outputProblem);
    std::string document, readError;
    if (!ReadInputFile(options.document, "document", document, readError)) return Fail(readError);
    if (!options.autoAlphabet && !options.quiet) NoteOtherAlphabet(document, request.alphabet);
    if (options.autoAlphabet) {
        request.alphabet = CAlphabet(DocumentAlphabet(document));
        if (const int keywordStatus = readKeywords(); keywordStatus != kFound) return keywordStatus;
    }
    // Shards of one run must have read the same bytes, whatever their copy of it is called.
    if (options.shard || options.controls.count > 0) documentDigest = Sha256Hex(document);
    RequestKeeps keeps;
    keeps.document = options.places || options.legend;
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
    if (const int status = MakeSearchRequest(options, request, documentDigest); status != kFound)
        return status;

    if (!options.quiet) NoteSurprises(request, options.keywordText);
    InstallInterruptHandler();
    CConsoleReceiver::Settings receiverSettings;
    // On a terminal shared with the JSON the bar would land between its lines.
    receiverSettings.showProgress =
        !options.quiet && IsErrorTerminal() && !(options.json && OutputSharesErrorTerminal());
    receiverSettings.canAsk = IsInputTerminal() && IsErrorTerminal();
    receiverSettings.alwaysYes = options.yes;
    CConsoleReceiver receiver(receiverSettings, stderr);
    ToolOutput output{StandardOutput(), receiver, receiverSettings.showProgress};

    if (options.controls.count > 0 || options.controls.expected) {
        const ControlCommand command{request, options.controls, options.run,
                                     options.document == "-" ? "standard input" : options.document,
                                     documentDigest};
        if (options.controls.count == 0) return PrintExpectedCount(command, options.json, output);
        if (options.shard)
            return RunShardCommand({command, *options.shard, documentDigest, options.outputPath},
                                   output);
        if (!options.json) return RunControlCommand(command, output, nullptr);
        CJsonSearch json(request, options.document, options.places, output, options.run.threads);
        return RunControlCommand(command, output, &json);
    }
    if (options.json)
        return RunJsonCommand(request, options.document, options.places, output,
                              options.run.threads);
    return RunPageCommand(
        request, {options.outputPath, options.open, options.legend, options.run.threads}, output);
}
