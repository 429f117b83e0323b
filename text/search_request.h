// What one search is asked to do, in the letters of the document's script: the one way every
// alphabet turns the typed keywords and the document's bytes into the search's input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/search_settings.h"
#include "search/text_input.h"
#include "text/alphabet.h"

struct SearchRequest {
    CAlphabet alphabet;
    bool ignoreNumbers = false;  // the document's digits are not part of the text
    SearchSettings settings;
    KeywordList keywords;                   // in the alphabet's codes, as typed
    KeywordList searchOrder;                // the same in the order results report them
    std::vector<std::string> leftOut;       // typed words with no letter of the alphabet, as typed
    std::string text;                       // the document's letters (and digits) in codes
    std::string document;                   // the document's bytes, kept only when places are asked
    std::vector<std::int32_t> wordLengths;  // the document's words, kept only when asked
};

// What to keep beside the text.
struct RequestKeeps {
    bool document = false;     // for the letters' places
    bool wordLengths = false;  // for word controls
};

// Reads the typed keywords into request.keywords (and their search order, MakeSearchOrder, into
// request.searchOrder: what a result writer names the keywords of a result by), and the typed
// words that hold none (no letter of the alphabet) into request.leftOut. False with `error` set on
// text that the alphabet cannot read; an empty list is the caller's to refuse.
bool ReadRequestKeywords(SearchRequest& request, std::string_view keywordText, std::string& error);

// Maps the document's bytes into request.text (and what `keeps` asks for). The document is
// taken (move it in): a Latin document without places is made into the text in place, as the
// program always has. False with `error` set (naming the byte offset) when a UTF-8 alphabet meets
// bytes that are not UTF-8.
bool MapRequestDocument(SearchRequest& request, std::string document, RequestKeeps keeps,
                        std::string& error);
