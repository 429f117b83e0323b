#include "controls/control_cases.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <utility>

const char* ControlKindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Letters:
            return "letters";
        case ControlKind::Words:
            return "words";
        case ControlKind::Keywords:
            return "keywords";
    }
    return "letters";
}

bool ParseControlKind(std::string_view name, ControlKind& kind) {
    for (const ControlKind candidate :
         {ControlKind::Letters, ControlKind::Words, ControlKind::Keywords}) {
        if (name == ControlKindName(candidate)) {
            kind = candidate;
            return true;
        }
    }
    return false;
}

CLetterDrawer::CLetterDrawer(const std::string& text) {
    std::array<std::uint32_t, 256> counts{};
    for (const char c : text)
        ++counts[static_cast<unsigned char>(c)];
    std::uint32_t total = 0;
    for (std::size_t byte = 0; byte < counts.size(); ++byte) {
        // Digits stay digits in every alphabet; a keyword is made of letters.
        if (counts[byte] == 0 || IsAsciiDigit(static_cast<unsigned char>(byte))) continue;
        total += counts[byte];
        letters_.push_back(static_cast<char>(byte));
        ceiling_.push_back(total);
    }
}

std::string CLetterDrawer::Draw(std::size_t length, CXoshiro256StarStar& generator) const {
    if (letters_.empty()) return std::string(length, 'A');
    std::string word(length, ' ');
    const std::uint32_t total = ceiling_.back();
    for (char& letter : word) {
        const std::uint32_t draw = UniformBelow(generator, total);
        const auto slot = std::upper_bound(ceiling_.begin(), ceiling_.end(), draw);
        letter = letters_[static_cast<std::size_t>(slot - ceiling_.begin())];
    }
    return word;
}

KeywordList DrawKeywords(const KeywordList& keywords, const CLetterDrawer& drawer,
                         CXoshiro256StarStar& generator) {
    KeywordList drawn;
    drawn.reserve(keywords.size());
    for (const std::string& keyword : keywords)
        drawn.push_back(drawer.Draw(keyword.size(), generator));
    return drawn;
}
