#include "cli/alphabet_note.h"

#include <cstdio>
#include <optional>

#include "text/document_alphabet.h"

const char* AlphabetTitle(AlphabetName name) {
    constexpr const char* kTitles[] = {"Latin", "Hebrew", "Greek"};
    return kTitles[static_cast<int>(name)];
}

void NoteOtherAlphabet(const std::string& document, const CAlphabet& alphabet) {
    const std::optional<AlphabetName> suggested = SuggestedAlphabet(document, alphabet);
    if (!suggested) return;
    std::fprintf(stderr,
                 "strandix: Note: the document has no letter of the %s alphabet; it looks %s: "
                 "try --alphabet %s.\n",
                 AlphabetTitle(alphabet.Name()), AlphabetTitle(*suggested),
                 AlphabetNameText(*suggested));
}

std::string LeftOutKeywordSentence(const CAlphabet& alphabet, const std::string& word) {
    std::string sentence = "the keyword \"" + word + "\" has no letter of the " +
                           AlphabetTitle(alphabet.Name()) + " alphabet and is left out";
    for (const AlphabetName other :
         {AlphabetName::Latin, AlphabetName::Hebrew, AlphabetName::Greek}) {
        if (other == alphabet.Name()) continue;
        KeywordList keywords;
        std::string error;
        if (CAlphabet(other).ReadKeywords(word, keywords, error) && !keywords.empty())
            return sentence + "; try --alphabet " + AlphabetNameText(other);
    }
    return sentence;
}
