// The engine against a plain model of the definitions on small random texts: every (n, d) of
// every triple, every member against every other for the domains, every pair of members and
// every pair of their letters for Omega.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/random.h"
#include "proximity/proximity.h"
#include "tests/proximity/proximity_support.h"

namespace {

struct ModelMember {
    std::int64_t n, d;
    bool hasDomain = false;
    std::int64_t a = 0, b = 0;
};

struct ModelWord {
    std::string word;
    std::int64_t skipLimit = 0;
    std::vector<std::vector<ModelMember>> families;  // by triple index
};

std::int64_t ModelSkipLimit(const std::string& text, const std::string& word, double expected) {
    const auto length = static_cast<std::int64_t>(text.size());
    const auto k = static_cast<std::int64_t>(word.size());
    double product = 1;
    for (const char letter : word)
        product *= double(std::count(text.begin(), text.end(), letter)) / double(length);
    double sum = 0;
    for (std::int64_t d = 2; (k - 1) * d <= length - 1; ++d) {
        sum += 2.0 * double(length - (k - 1) * d) * product;
        if (sum >= expected) return d;
    }
    return (length - 1) / (k - 1);
}

// Letter i of the t-perturbed sequence (n, d): the unperturbed place, moved by x, x + y and
// x + y + z for the last three letters.
std::int64_t PerturbedPlace(std::int64_t n, std::int64_t d, std::int64_t k, std::int64_t i,
                            const Triple& t) {
    const std::int64_t place = n + i * d;
    if (i == k - 3) return place + t.x;
    if (i == k - 2) return place + t.x + t.y;
    if (i == k - 1) return place + t.x + t.y + t.z;
    return place;
}

bool IsMember(const std::string& text, const std::string& word, std::int64_t n, std::int64_t d,
              const Triple& t) {
    const auto length = static_cast<std::int64_t>(text.size());
    const auto k = static_cast<std::int64_t>(word.size());
    const std::int64_t unperturbedLast = n + (k - 1) * d;
    if (unperturbedLast < 0 || unperturbedLast >= length) return false;
    for (std::int64_t i = 0; i < k; ++i) {
        const std::int64_t p = PerturbedPlace(n, d, k, i, t);
        if (p < 0 || p >= length || text[static_cast<std::size_t>(p)] != word[i]) return false;
    }
    return true;
}

void ModelDomains(std::vector<ModelMember>& family, std::int64_t k, std::int64_t length) {
    for (ModelMember& e : family) {
        const std::int64_t s = std::min(e.n, e.n + (k - 1) * e.d);
        const std::int64_t t = std::max(e.n, e.n + (k - 1) * e.d);
        bool inside = false;
        std::int64_t a = 0, b = length;
        for (const ModelMember& other : family) {
            if (std::abs(other.d) >= std::abs(e.d)) continue;
            const std::int64_t s2 = std::min(other.n, other.n + (k - 1) * other.d);
            const std::int64_t t2 = std::max(other.n, other.n + (k - 1) * other.d);
            if (s <= s2 && t2 <= t) inside = true;
            if (s2 < s) a = std::max(a, s2);
            if (s2 >= s && t2 > t) b = std::min(b, t2);
        }
        e.hasDomain = !inside;
        if (e.hasDomain) {
            e.a = a;
            e.b = b;
        }
    }
}

ModelWord Model(const std::string& text, const std::string& word,
                const ProximitySettings& settings) {
    ModelWord model;
    model.word = word;
    model.skipLimit = ModelSkipLimit(text, word, settings.expectedEls);
    model.families.resize(kTripleCount);
    const auto length = static_cast<std::int64_t>(text.size());
    const auto k = static_cast<std::int64_t>(word.size());
    for (int t = 0; t < kTripleCount; ++t) {
        const Triple triple = TripleAt(t);
        auto& family = model.families[static_cast<std::size_t>(t)];
        for (std::int64_t magnitude = 2; magnitude <= model.skipLimit; ++magnitude) {
            for (const std::int64_t d : {-magnitude, magnitude}) {
                for (std::int64_t n = 0; n < length; ++n) {
                    if (IsMember(text, word, n, d, triple)) family.push_back({n, d});
                }
            }
        }
        // The engine's documented order: |d|, then the extension's low end, then d.
        std::sort(family.begin(), family.end(), [k](const ModelMember& l, const ModelMember& r) {
            const auto low = [k](const ModelMember& m) {
                return std::min(m.n, m.n + (k - 1) * m.d);
            };
            if (std::abs(l.d) != std::abs(r.d)) return std::abs(l.d) < std::abs(r.d);
            if (low(l) != low(r)) return low(l) < low(r);
            return l.d < r.d;
        });
        ModelDomains(family, k, length);
    }
    return model;
}

std::int64_t ModelDist2(std::int64_t delta, std::int64_t h) {
    const std::int64_t r = delta / h, q = delta % h;
    return std::min(r * r + q * q, (r + 1) * (r + 1) + (h - q) * (h - q));
}

std::vector<std::int64_t> ModelRows(std::int64_t d) {
    std::vector<std::int64_t> rows;
    for (int i = 1; i <= 10; ++i) {
        const auto h = static_cast<std::int64_t>(std::floor(double(std::abs(d)) / i + 0.5));
        if (h >= 1) rows.push_back(h);
    }
    return rows;
}

double ModelSigma(const ModelMember& e, std::int64_t k, const ModelMember& f, std::int64_t k2,
                  int constant) {
    const auto delta = [&](std::int64_t h) {
        std::int64_t nearest = -1;
        for (std::int64_t i = 0; i < k; ++i) {
            for (std::int64_t j = 0; j < k2; ++j) {
                const std::int64_t value =
                    ModelDist2(std::abs((e.n + i * e.d) - (f.n + j * f.d)), h);
                if (nearest < 0 || value < nearest) nearest = value;
            }
        }
        return ModelDist2(std::abs(e.d), h) + ModelDist2(std::abs(f.d), h) + nearest + constant;
    };
    double sigma = 0;
    for (const std::int64_t h : ModelRows(e.d))
        sigma += 1.0 / double(delta(h));
    for (const std::int64_t h : ModelRows(f.d))
        sigma += 1.0 / double(delta(h));
    return sigma;
}

struct ModelPair {
    int m = 0, v = 0;
    bool defined = false;
    std::vector<std::optional<double>> omega;
};

ModelPair ModelDistance(const ModelWord& w1, const ModelWord& w2, std::int64_t length,
                        const ProximitySettings& settings) {
    ModelPair pair;
    pair.omega.resize(kTripleCount);
    const auto k1 = static_cast<std::int64_t>(w1.word.size());
    const auto k2 = static_cast<std::int64_t>(w2.word.size());
    for (int t = 0; t < kTripleCount; ++t) {
        const auto& f1 = w1.families[static_cast<std::size_t>(t)];
        const auto& f2 = w2.families[static_cast<std::size_t>(t)];
        if (f1.empty() || f2.empty()) continue;
        ++pair.m;
        double omega = 0;
        for (const ModelMember& e : f1) {
            for (const ModelMember& f : f2) {
                if (!e.hasDomain || !f.hasDomain) continue;
                const std::int64_t overlap =
                    std::max<std::int64_t>(0, std::min(e.b, f.b) - std::max(e.a, f.a) - 1);
                if (overlap == 0) continue;
                omega += ModelSigma(e, k1, f, k2, settings.deltaConstant) * double(overlap) /
                         double(length);
            }
        }
        pair.omega[static_cast<std::size_t>(t)] = omega;
    }
    const auto& identity = pair.omega[kIdentityTriple];
    pair.defined = identity.has_value() && pair.m >= settings.minTriples;
    if (pair.defined) {
        pair.v = 1;
        for (const auto& omega : pair.omega)
            pair.v += omega.has_value() && *omega > *identity;
    }
    return pair;
}

void ExpectSameFamilies(const ModelWord& model, const WordFamilies& engine) {
    EXPECT_EQ(engine.skipLimit, model.skipLimit);
    for (int t = 0; t < kTripleCount; ++t) {
        const auto& expected = model.families[static_cast<std::size_t>(t)];
        const auto& actual = engine.families[t];
        ASSERT_EQ(actual.size(), expected.size()) << "triple " << t;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "triple " << t << " member " << i);
            EXPECT_EQ(actual[i].els.start, expected[i].n);
            EXPECT_EQ(actual[i].els.skip, expected[i].d);
            EXPECT_EQ(actual[i].hasDomain, expected[i].hasDomain);
            if (expected[i].hasDomain) {
                EXPECT_EQ(actual[i].low, expected[i].a);
                EXPECT_EQ(actual[i].high, expected[i].b);
            }
        }
    }
}

std::string RandomWord(CXoshiro256StarStar& random, const std::string& letters,
                       std::size_t length) {
    std::string word;
    for (std::size_t i = 0; i < length; ++i)
        word += letters[UniformBelow(random, static_cast<std::uint32_t>(letters.size()))];
    return word;
}

struct ModelCase {
    std::string letters;  // the alphabet of the text and the words
    std::size_t length;
    std::size_t minWord, maxWord;
    double expectedEls;
    int deltaConstant;
    int minTriples;
};

TEST(ProximityModel, EngineMatchesThePlainDefinitions) {
    const ModelCase cases[] = {
        {"abc", 240, 5, 6, 10.0, 0, 10},
        {"abcd", 400, 5, 7, 10.0, 1, 10},
        {"ab", 160, 5, 5, 10.0, -1, 10},
        {"abc", 300, 4, 4, 3.0, 0, 1},
        {"abc", 500, 6, 8, 10.0, 0, 5},
        {"ab", 120, 6, 8, 1e9, 0, 125},
        {"abcd", 50, 5, 6, 10.0, 0, 10},
        // Long words: unperturbed letters up to 11 apart, on both sides of the rarest.
        {"ab", 300, 9, 14, 1e9, 0, 1},
    };
    CXoshiro256StarStar random = CXoshiro256StarStar::FromSeed(20261210);
    int definedPairs = 0, rankAboveOne = 0;
    for (std::size_t c = 0; c < std::size(cases); ++c) {
        const ModelCase& modelCase = cases[c];
        for (int round = 0; round < 4; ++round) {
            SCOPED_TRACE(testing::Message() << "case " << c << " round " << round);
            const std::string letters =
                RandomLetters(modelCase.letters, modelCase.length, 1000 * c + round);
            const CProximityText text(letters);
            ProximitySettings settings;
            settings.expectedEls = modelCase.expectedEls;
            settings.minLetters = static_cast<int>(modelCase.minWord);
            settings.maxLetters = static_cast<int>(modelCase.maxWord);
            settings.deltaConstant = modelCase.deltaConstant;
            settings.minTriples = modelCase.minTriples;
            ASSERT_EQ(CheckProximitySettings(settings), "");
            const auto wordLength = [&] {
                return modelCase.minWord +
                       UniformBelow(random, static_cast<std::uint32_t>(modelCase.maxWord -
                                                                       modelCase.minWord + 1));
            };
            const std::string word1 = RandomWord(random, modelCase.letters, wordLength());
            const std::string word2 = RandomWord(random, modelCase.letters, wordLength());
            const ModelWord model1 = Model(letters, word1, settings);
            const ModelWord model2 = Model(letters, word2, settings);
            const WordFamilies families1 = FindFamilies(text, word1, settings);
            const WordFamilies families2 = FindFamilies(text, word2, settings);
            ExpectSameFamilies(model1, families1);
            ExpectSameFamilies(model2, families2);

            const ModelPair expected =
                ModelDistance(model1, model2, static_cast<std::int64_t>(letters.size()), settings);
            const PairResult actual = CorrectedDistance(text, families1, families2, settings);
            EXPECT_EQ(actual.validTriples, expected.m);
            EXPECT_EQ(actual.defined, expected.defined);
            EXPECT_EQ(actual.rank, expected.v);
            if (expected.defined) {
                EXPECT_EQ(actual.c, double(expected.v) / double(expected.m));
            }
            for (int t = 0; t < kTripleCount; ++t) {
                const auto& omega = expected.omega[static_cast<std::size_t>(t)];
                ASSERT_EQ(actual.omega[t].has_value(), omega.has_value()) << "triple " << t;
                if (omega) {
                    EXPECT_EQ(*actual.omega[t], *omega) << "triple " << t;
                }
            }
            definedPairs += expected.defined;
            rankAboveOne += expected.v > 1;
        }
    }
    // The cases reach the interesting ground: defined distances with real ranks.
    EXPECT_GE(definedPairs, 10);
    EXPECT_GE(rankAboveOne, 5);
}

// Skips in the hundreds: a sequence's letters fall in different words of the engine's bit
// windows, and the skips near the limit are cut by the ends of the text.
TEST(ProximityModel, FamiliesWithLongSkipsMatchThePlainDefinitions) {
    const std::string letters = RandomLetters("abcd", 2000, 77);
    const CProximityText text(letters);
    ProximitySettings settings;
    settings.expectedEls = 1e9;  // the largest skip that fits: (2000 - 1) / (k - 1)
    CXoshiro256StarStar random = CXoshiro256StarStar::FromSeed(77);
    for (const std::size_t length : {5u, 6u, 8u}) {
        const std::string word = RandomWord(random, "abcd", length);
        SCOPED_TRACE(word);
        const WordFamilies families = FindFamilies(text, word, settings);
        ASSERT_GE(families.skipLimit, 285);
        ExpectSameFamilies(Model(letters, word, settings), families);
    }
}

TEST(ProximityModel, SkipLimitTakesTheLargestSkipWhenALetterIsMissing) {
    const CProximityText text(RandomLetters("ab", 101, 7));
    // (101 - 1) / (5 - 1) = 25: no sequence of the word can have a larger skip.
    EXPECT_EQ(SkipLimit(text, "abcab", ProximitySettings()), 25);
    const WordFamilies families = FindFamilies(text, "abcab", ProximitySettings());
    for (const auto& family : families.families)
        EXPECT_TRUE(family.empty());
}

TEST(ProximityModel, RowLengthsRoundHalvesUpAndSkipZeros) {
    struct Case {
        std::int32_t skip;
        std::vector<std::int32_t> rows;
    };
    const Case cases[] = {
        {2, {2, 1, 1, 1}},  // 2, 1, 0.67, 0.5 (up to 1); 0.4 and below are left out
        {-3, {3, 2, 1, 1, 1, 1}},
        {24, {24, 12, 8, 6, 5, 4, 3, 3, 3, 2}},
        {25, {25, 13, 8, 6, 5, 4, 4, 3, 3, 3}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RowLengths(c.skip), c.rows) << c.skip;
}

TEST(ProximityModel, CylinderDistance) {
    struct Case {
        std::int64_t delta, h, expected;
    };
    const Case cases[] = {
        {0, 5, 0},    // the same letter
        {5, 5, 1},    // straight down
        {7, 5, 5},    // one down, two across: 1 + 4
        {9, 5, 5},    // the short way round: r = 1, q = 4 -> (2, 1): 4 + 1
        {3, 1, 9},    // rows of one letter
        {24, 13, 8},  // r = 1, q = 11: min(1 + 121, 4 + 4)
    };
    for (const Case& c : cases)
        EXPECT_EQ(CylinderDistance2(c.delta, c.h), c.expected) << c.delta << " " << c.h;
}

TEST(ProximityModel, TriplesRunXThenYThenZ) {
    EXPECT_EQ(TripleAt(0).x, -2);
    EXPECT_EQ(TripleAt(kIdentityTriple).x, 0);
    EXPECT_EQ(TripleAt(kIdentityTriple).y, 0);
    EXPECT_EQ(TripleAt(kIdentityTriple).z, 0);
    EXPECT_EQ(TripleAt(1).z, -1);
    EXPECT_EQ(TripleAt(5).y, -1);
    EXPECT_EQ(TripleAt(25).x, -1);
    for (int t = 0; t < kTripleCount; ++t)
        EXPECT_EQ(TripleIndex(TripleAt(t)), t);
}

}  // namespace
