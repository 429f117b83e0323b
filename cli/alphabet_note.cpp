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
