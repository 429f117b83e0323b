#include "tests/proximity/proximity_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/random.h"
#include "tests/support/samples.h"
#include "text/alphabet.h"

namespace {

const CAlphabet& Hebrew() {
    static const CAlphabet alphabet(AlphabetName::Hebrew, false);
    return alphabet;
}

}  // namespace

const CProximityText& KorenGenesis() {
    static const CProximityText text = [] {
        std::string letters, error;
        EXPECT_TRUE(Hebrew().MapDocument(ReadSample("genesis-koren.txt"), true, letters, error))
            << error;
        return CProximityText(std::move(letters));
    }();
    return text;
}

const std::vector<std::string>& KorenGenesisWords() {
    static const std::vector<std::string> words = [] {
        KeywordList keywords;
        std::string error;
        EXPECT_TRUE(Hebrew().ReadKeywords(ReadSample("genesis-koren.txt"), keywords, error))
            << error;
        return keywords;
    }();
    return words;
}

std::string HebrewCodes(const std::string& word) {
    KeywordList keywords;
    std::string error;
    EXPECT_TRUE(Hebrew().ReadKeywords(word, keywords, error)) << error;
    EXPECT_EQ(keywords.size(), 1u) << word;
    return keywords.empty() ? std::string() : std::string(keywords.front());
}

std::string RandomLetters(const std::string& letters, std::size_t length, std::uint64_t seed) {
    CXoshiro256StarStar generator = CXoshiro256StarStar::FromSeed(seed);
    std::string text(length, ' ');
    for (char& c : text)
        c = letters[UniformBelow(generator, static_cast<std::uint32_t>(letters.size()))];
    return text;
}

CellMatrix CellsOfMatrix(const CProximityMatrix& matrix,
                         const std::vector<ProximityPerson>& persons) {
    ProximityRequest request;
    request.persons = persons;
    return CellMatrixOfRows(request, RowsOf(matrix, false));
}

PermutationCounts PermutationTest(const CellMatrix& cells, std::uint64_t seed, std::uint64_t count,
                                  unsigned threads, std::size_t leftOut) {
    const std::optional<PermutationCounts> counts =
        RunPermutationTest(cells, seed, count, threads, nullptr, nullptr, leftOut);
    EXPECT_TRUE(counts.has_value());
    return counts.value_or(PermutationCounts{});
}
