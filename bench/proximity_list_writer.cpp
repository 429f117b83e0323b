// Writes the X2 list of the proximity bench as a list file for strandix proximity: 32 persons of
// three names and three dates, each a word of 5 to 8 letters of the Koren Genesis, drawn as
// strandix_proximity_bench draws them (the text's distinct words in code order, seed 18).
//
//   strandix_proximity_list_writer GENESIS > list.txt

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/random.h"
#include "text/alphabet.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s GENESIS\n", argv[0]);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::string document((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    const CAlphabet hebrew(AlphabetName::Hebrew, false);
    KeywordList words;
    std::string error;
    if (!file || !hebrew.ReadKeywords(document, words, error)) {
        std::fprintf(stderr, "%s: cannot be read. %s\n", argv[1], error.c_str());
        return 2;
    }
    std::vector<std::string> pool;
    for (const std::string& word : words) {
        if (word.size() >= 5 && word.size() <= 8) pool.push_back(word);
    }
    std::sort(pool.begin(), pool.end());
    pool.erase(std::unique(pool.begin(), pool.end()), pool.end());
    CXoshiro256StarStar random = CXoshiro256StarStar::FromSeed(18);
    const auto draw = [&] {
        return hebrew.Spell(pool[UniformBelow(random, static_cast<std::uint32_t>(pool.size()))]);
    };
    std::printf("# The X2 list of the proximity bench: 32 persons drawn from the Koren Genesis.\n");
    for (int person = 1; person <= 32; ++person) {
        for (const char* kind : {"name", "name", "name", "date", "date", "date"})
            std::printf("%d\t%s\t%s\n", person, kind, draw().c_str());
    }
    return 0;
}
