#include "proximity/shown_word.h"

std::string WithFinalForm(std::string word) {
    // כ U+05DB, מ U+05DE, נ U+05E0, פ U+05E4 and צ U+05E6 each follow their final form:
    // ך U+05DA, ם U+05DD, ן U+05DF, ף U+05E3, ץ U+05E5. In UTF-8 all are D7 and one byte.
    if (word.size() >= 2 && static_cast<unsigned char>(word[word.size() - 2]) == 0xD7) {
        char& last = word.back();
        switch (static_cast<unsigned char>(last)) {
            case 0x9B:
            case 0x9E:
            case 0xA0:
            case 0xA4:
            case 0xA6:
                last = static_cast<char>(static_cast<unsigned char>(last) - 1);
                break;
            default:
                break;
        }
    }
    return word;
}

std::string ShownWord(const CAlphabet& alphabet, std::string_view codes) {
    std::string word = alphabet.Spell(codes);
    if (alphabet.Name() == AlphabetName::Hebrew && alphabet.LetterCount() == 22)
        return WithFinalForm(std::move(word));
    return word;
}
