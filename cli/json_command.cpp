#include "cli/json_command.h"

#include "cli/exit_status.h"
#include "search/find_sequences.h"

bool CJsonSearch::CMeasuringSink::AddResult(const char* text, std::int32_t first, std::int32_t last,
                                            std::int32_t columns,
                                            const ResultPositions& positions) {
    counter_.AddResult(text, first, last, columns, positions);
    return CSearchEndRecorder::AddResult(text, first, last, columns, positions);
}

CJsonSearch::CJsonSearch(const SearchRequest& request, const std::string& documentName, bool places,
                         ToolOutput& output, unsigned threads)
    : request_(request),
      output_(output),
      threads_(threads),
      places_(places ? std::make_unique<CLetterPlaces>(request.alphabet, request.document,
                                                       request.ignoreNumbers)
                     : nullptr),
      sink_(output.out.Stream(), documentName, static_cast<std::int32_t>(request.text.size()),
            request.searchOrder, request.alphabet, places_.get(), output.receiver),
      measured_(sink_) {
    sink_.HoldEnd();
    if (output.out.Buffered()) sink_.GatherResults();
}

int CJsonSearch::Search() {
    std::string errorText;
    const bool done = FindSequencesOnThreads(
        request_.text.c_str(), static_cast<std::int32_t>(request_.text.size()), request_.keywords,
        request_.settings, static_cast<std::int32_t>(threads_), measured_, errorText);
    output_.receiver.ClearProgress();
    if (sink_.OutputFailed()) return Fail("The results could not be written to standard output.");
    if (!done) return Fail(errorText.empty() ? "The search stopped." : errorText);
    return kFound;
}

int CJsonSearch::Finish(const std::string& controlsJson) {
    if (!controlsJson.empty()) sink_.AddTrailingMember("controls", controlsJson);
    if (!sink_.WriteEnd()) return Fail("The results could not be written to standard output.");
    if (measured_.Canceled()) return ReportCanceled();
    return sink_.Count() > 0 ? kFound : kNothingFound;
}

int RunJsonCommand(const SearchRequest& request, const std::string& documentName, bool places,
                   ToolOutput& output, unsigned threads) {
    CJsonSearch search(request, documentName, places, output, threads);
    const int status = search.Search();
    return status == kFound ? search.Finish() : status;
}
