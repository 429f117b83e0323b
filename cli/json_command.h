// The search's results as one JSON document on standard output (--json).
#pragma once

#include <memory>
#include <string>

#include "cli/search_end.h"
#include "cli/tool_output.h"
#include "controls/statistics.h"
#include "frontend/json_result_sink.h"
#include "text/letter_places.h"
#include "text/search_request.h"

// The search, written as it runs; the document stays open after the results, so that a control
// run can add its "controls" object measured against this very search.
class CJsonSearch {
  public:
    // `documentName` as the document was named; `places`: each letter's line and column too
    // (the request must hold the document); `threads`: the search's (0: one per core).
    CJsonSearch(const SearchRequest& request, const std::string& documentName, bool places,
                ToolOutput& output, unsigned threads = 0);

    // Runs the search and writes its results. Answers kFound when it ran to its end or was
    // canceled, otherwise kFailed (the reason said on standard error).
    int Search();
    // The results and smallest span of what the search found.
    const SearchStatistics& Statistics() const { return measured_.Statistics(); }
    // The results that hold a keyword at |skip| = 1.
    std::int64_t PlainWordResults() const { return measured_.PlainWordResults(); }
    bool Canceled() const { return measured_.Canceled(); }

    // Ends the document, with the "controls" object when one is given. Exit status: 0 with
    // results, 1 without, 130 when the search was canceled, 2 when the output failed.
    int Finish(const std::string& controlsJson = "");

  private:
    // Passes every call on to the JSON, counts the results and remembers the end.
    class CMeasuringSink : public CSearchEndRecorder {
      public:
        using CSearchEndRecorder::CSearchEndRecorder;
        bool AddResult(const char* text, std::int32_t first, std::int32_t last,
                       std::int32_t columns, const ResultPositions& positions) override;
        const SearchStatistics& Statistics() const { return counter_.Statistics(); }
        std::int64_t PlainWordResults() const { return counter_.PlainWordResults(); }

      private:
        CCountingSink counter_;
    };

    const SearchRequest& request_;
    ToolOutput& output_;
    unsigned threads_;
    std::unique_ptr<CLetterPlaces> places_;
    CJsonResultSink sink_;
    CMeasuringSink measured_;
};

// --json: the search's JSON document. Exit status as CJsonSearch::Finish, or 2 on an error.
int RunJsonCommand(const SearchRequest& request, const std::string& documentName, bool places,
                   ToolOutput& output, unsigned threads = 0);
