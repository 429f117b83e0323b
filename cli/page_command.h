// The search's results as an HTML page: the tool's default output.
#pragma once

#include <string>

#include "cli/tool_output.h"
#include "text/search_request.h"

struct PageOptions {
    std::string outputPath;  // -o: where the page goes when the search ends; empty: it stays
    bool open = false;       // --open: show it in the desktop's viewer
    bool legend = false;     // --legend: the keywords' colours and each grid's caption (the
                             // request then keeps its document, for the letters' places)
    unsigned threads = 0;    // --threads: the search's threads; 0: one per core
};

// Writes the page in the temporary folder (then to -o), prints the result count and the page's
// path. Exit status: 0 with results, 1 without, 130 when canceled, 2 on an error.
int RunPageCommand(const SearchRequest& request, const PageOptions& page, ToolOutput& output);
