#include "results/page_legend.h"

#include <utility>

namespace {

constexpr std::string_view kPlacesNote =
    "Above each grid, every keyword's skip, its direction (forward: in the document's reading "
    "order, a positive skip; backward: against it, a negative skip) and where its first letter "
    "stands in the document: lines count from 1, columns count the characters of the line from 1 "
    "(a vowel point or accent is a character of its own).";

// The text of `name` with the characters that HTML reserves written as references.
void AppendEscaped(CTextBuffer& markup, std::string_view name) {
    for (const char c : name) {
        switch (c) {
            case '&':
                markup.Append("&amp;");
                break;
            case '<':
                markup.Append("&lt;");
                break;
            case '>':
                markup.Append("&gt;");
                break;
            case '"':
                markup.Append("&quot;");
                break;
            default:
                markup.Append(&c, 1);
        }
    }
}

}  // namespace

CPageLegend::CPageLegend(PageLegend legend)
    : legend_(std::move(legend)),
      searchIndexes_(SearchOrderIndexes(legend_.keywords)),
      reader_(legend_.keywords, legend_.plainWordsCount, legend_.reverseCounts) {}

void CPageLegend::AppendName(CTextBuffer& markup, std::size_t keyword) const {
    markup.Append("<bdi class=\"keyword");
    markup.AppendInteger(static_cast<std::int64_t>(searchIndexes_[keyword] % kPageKeywordClasses) +
                         1);
    markup.Append("\">");
    AppendEscaped(markup, keyword < legend_.names.size() ? legend_.names[keyword] : "");
    markup.Append("</bdi>");
}

void CPageLegend::AppendKey(CTextBuffer& markup) const {
    markup.Append("<p class=\"legend\">Keywords in the order typed, each in its colour: ");
    for (std::size_t i = 0; i < legend_.keywords.size(); ++i) {
        if (i > 0) markup.Append(", ");
        AppendName(markup, i);
    }
    markup.Append(".<br>\r\n");
    markup.Append(kPlacesNote);
    markup.Append("</p>\r\n<hr>\r\n");
}

void CPageLegend::AppendCaption(CTextBuffer& markup, const char* text,
                                const ResultPositions& positions) {
    const std::vector<KeywordFind> finds = reader_.Read(text, positions);
    markup.Append("<p class=\"caption\">");
    for (std::size_t i = 0; i < legend_.keywords.size(); ++i) {
        const std::size_t k = searchIndexes_[i];
        if (k >= finds.size()) continue;
        const KeywordFind& find = finds[k];
        if (i > 0) markup.Append("<br>\r\n");
        AppendName(markup, i);
        markup.Append(": skip ");
        if (find.skip > 0) markup.Append("+");
        markup.AppendInteger(find.skip);
        markup.Append(find.skip > 0 ? ", forward" : find.skip < 0 ? ", backward" : ", one letter");
        const PagePlace place = legend_.placeOf ? legend_.placeOf(find.firstLetter) : PagePlace{};
        markup.Append(", first letter at line ");
        markup.AppendInteger(place.line);
        markup.Append(", column ");
        markup.AppendInteger(place.column);
    }
    markup.Append("</p>\r\n");
}
