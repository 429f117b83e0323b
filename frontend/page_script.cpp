#include "frontend/page_script.h"

#include <string>

PageScript MakePageScript(const CAlphabet& alphabet) {
    PageScript script;
    for (std::size_t code = 0; code < script.letters.size(); ++code)
        script.letters[code] = std::string(alphabet.Spell(static_cast<char>(code)));
    script.rightToLeft = alphabet.Name() == AlphabetName::Hebrew;
    return script;
}
