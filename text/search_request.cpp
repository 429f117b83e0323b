#include "text/search_request.h"

#include <utility>

#include "search/find_sequences.h"
#include "text/keyword_splits.h"
#include "text/latin_text.h"

bool ReadRequestKeywords(SearchRequest& request, std::string_view keywordText, std::string& error) {
    if (!request.alphabet.ReadKeywords(keywordText, request.keywords, error)) return false;
    request.searchOrder = MakeSearchOrder(request.keywords);
    request.leftOut = FindLeftOutWords(request.alphabet, keywordText);
    return true;
}

bool MapRequestDocument(SearchRequest& request, std::string document, RequestKeeps keeps,
                        std::string& error) {
    if (keeps.wordLengths)
        request.wordLengths = request.alphabet.WordLengths(document, request.ignoreNumbers);
    if (keeps.document || request.alphabet.ReadsUtf8()) {
        if (!request.alphabet.MapDocument(document, request.ignoreNumbers, request.text, error))
            return false;
        if (keeps.document) request.document = std::move(document);
    } else {
        request.text = std::move(document);
        NormaliseText(request.text, request.ignoreNumbers);
    }
    return true;
}
