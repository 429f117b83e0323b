// Calibration, seeded: where nothing is planted, c is uniform and the permutation rank is not
// small; where two words are planted crossing each other, c is 1/m.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/random.h"
#include "proximity/proximity.h"
#include "proximity/proximity_matrix.h"
#include "proximity/proximity_statistics.h"
#include "tests/proximity/proximity_support.h"

namespace {

std::string Shuffled(std::string letters, std::uint64_t seed) {
    CXoshiro256StarStar random = CXoshiro256StarStar::FromSeed(seed);
    for (std::size_t i = letters.size() - 1; i >= 1; --i)
        std::swap(letters[i], letters[UniformBelow(random, static_cast<std::uint32_t>(i + 1))]);
    return letters;
}

// `count` distinct words of Genesis with 5 or 6 letters, drawn with `seed`.
std::vector<std::string> DrawWords(std::size_t count, std::uint64_t seed) {
    std::vector<std::string> pool;
    for (const std::string& word : KorenGenesisWords()) {
        if (word.size() == 5 || word.size() == 6) pool.push_back(word);
    }
    std::sort(pool.begin(), pool.end());
    pool.erase(std::unique(pool.begin(), pool.end()), pool.end());
    CXoshiro256StarStar random = CXoshiro256StarStar::FromSeed(seed);
    std::vector<std::string> words;
    while (words.size() < count) {
        const std::string& word =
            pool[UniformBelow(random, static_cast<std::uint32_t>(pool.size()))];
        if (std::find(words.begin(), words.end(), word) == words.end()) words.push_back(word);
    }
    return words;
}

TEST(ProximityCalibration, CorrectedDistancesOnAShuffledTextAreUniform) {
    const CProximityText text(Shuffled(std::string(KorenGenesis().Letters()), 31));
    const ProximitySettings settings;
    const std::vector<std::string> words = DrawWords(24, 32);
    std::vector<WordFamilies> families;
    for (const std::string& word : words)
        families.push_back(FindFamilies(text, word, settings));
    // Each of the first twelve words with each of the last twelve: 144 pairs.
    std::array<int, 5> bins{};
    int defined = 0;
    for (std::size_t i = 0; i < 12; ++i) {
        for (std::size_t j = 12; j < 24; ++j) {
            const PairResult pair = CorrectedDistance(text, families[i], families[j], settings);
            if (!pair.defined) continue;
            ++defined;
            // c in (0, 0.2], (0.2, 0.4], ... decided exactly: bin b holds 5v <= (b + 1) m.
            int bin = 0;
            while (5 * pair.rank > (bin + 1) * pair.validTriples)
                ++bin;
            ++bins[bin];
        }
    }
    ASSERT_GE(defined, 120);
    const double expected = defined / 5.0;
    double chiSquare = 0;
    for (const int count : bins)
        chiSquare += (count - expected) * (count - expected) / expected;
    // 4 degrees of freedom: 13.28 is the 1% point.
    EXPECT_LT(chiSquare, 13.28) << bins[0] << " " << bins[1] << " " << bins[2] << " " << bins[3]
                                << " " << bins[4];
}

TEST(ProximityCalibration, APermutationTestOfARandomListRanksNowhereSpecial) {
    const CProximityText text(Shuffled(std::string(KorenGenesis().Letters()), 41));
    const std::vector<std::string> words = DrawWords(24, 42);
    std::vector<ProximityPerson> persons(6);
    for (std::size_t p = 0; p < persons.size(); ++p) {
        persons[p].id = std::to_string(p);
        persons[p].names = {words[4 * p], words[4 * p + 1]};
        persons[p].dates = {words[4 * p + 2], words[4 * p + 3]};
    }
    ProximityMatrixOptions options;
    options.threads = 2;
    CProximityMatrix matrix;
    matrix.Compute(text, persons, ProximitySettings(), options);
    ASSERT_TRUE(matrix.Complete());
    const PermutationCounts counts = PermutationTest(CellsOfMatrix(matrix, persons), 43, 999, 2);
    EXPECT_GT(double(counts.atMostP2) / double(counts.permutations), 0.01);
}

// A random text over "abcdefghijkl" with two words of seven letters planted as sequences of
// small skips that cross at a shared letter. The places a perturbation could read instead of the
// planted last three letters get a letter of neither word ('l'), so the planted sequences belong
// to (0,0,0) alone.
void Plant(std::string& letters, const std::string& word, std::int64_t start, std::int64_t skip,
           std::vector<bool>& planted) {
    for (std::size_t i = 0; i < word.size(); ++i) {
        const auto at = static_cast<std::size_t>(start + static_cast<std::int64_t>(i) * skip);
        letters[at] = word[i];
        planted[at] = true;
    }
}

void ClearPerturbedPlaces(std::string& letters, const std::string& word, std::int64_t start,
                          std::int64_t skip, const std::vector<bool>& planted) {
    const auto k = static_cast<std::int64_t>(word.size());
    for (std::int64_t i = k - 3; i < k; ++i) {
        const std::int64_t reach = 2 * (i - (k - 4));  // 2, 4, 6
        for (std::int64_t shift = -reach; shift <= reach; ++shift) {
            const auto at = static_cast<std::size_t>(start + i * skip + shift);
            if (shift != 0 && !planted[at] && letters[at] == word[static_cast<std::size_t>(i)])
                letters[at] = 'l';
        }
    }
}

TEST(ProximityCalibration, APlantedCrossingPairIsClosest) {
    const std::string word1 = "abcdefg", word2 = "hijdkih";  // both read d at their fourth
    for (std::uint64_t seed = 1; seed <= 10; ++seed) {
        SCOPED_TRACE(seed);
        std::string letters = RandomLetters("abcdefghijkl", 30000, seed);
        std::vector<bool> planted(letters.size(), false);
        // word1 from 3000 at skip 2: d at 3006; word2 at skip -5 reads d at 3006 too.
        Plant(letters, word1, 3000, 2, planted);
        Plant(letters, word2, 3021, -5, planted);
        ClearPerturbedPlaces(letters, word1, 3000, 2, planted);
        ClearPerturbedPlaces(letters, word2, 3021, -5, planted);
        const CProximityText text(letters);
        const ProximitySettings settings;
        const WordFamilies first = FindFamilies(text, word1, settings);
        const WordFamilies second = FindFamilies(text, word2, settings);
        const PairResult pair = CorrectedDistance(text, first, second, settings);
        ASSERT_TRUE(pair.defined);
        EXPECT_EQ(pair.rank, 1) << pair.validTriples;
        EXPECT_EQ(pair.c, 1.0 / pair.validTriples);
    }
}

}  // namespace
