// A small, deliberately different model of the search: list every find of every keyword on its
// own, combine them in every way the span limit allows, pick each combination's width, and sort.
// Thousands of seeded random cases must give exactly the engines' result streams.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <random>

#include "tests/search/engines.h"
#include "tests/support/recording_sink.h"

namespace {

struct ModelFind {
    std::int64_t first;  // index of the keyword's first letter (its rightmost when reversed)
    std::int64_t skip;
    std::vector<std::int64_t> letters;  // ascending
};

std::vector<ModelFind> AllFinds(const std::string& text, const std::string& keyword,
                                const SearchSettings& s) {
    std::vector<ModelFind> finds;
    const std::int64_t n = static_cast<std::int64_t>(keyword.size());
    const std::int64_t length = static_cast<std::int64_t>(text.size());
    for (std::int64_t p = 0; p < length; ++p) {
        for (std::int64_t skip = -s.MaxDistanceBetweenLetters; skip <= s.MaxDistanceBetweenLetters;
             ++skip) {
            if (n == 1 ? skip != 0 : skip == 0) continue;
            if (skip < 0 && !s.AllowReverseKeywords) continue;
            if (skip == 1 && s.ExcludeWordsDirectlyFromText) continue;
            if (n > 1 && std::abs(skip) < s.MinSkip) continue;
            if (std::abs(skip) * (n - 1) > s.MaxResultLength) continue;
            ModelFind find{p, skip, {}};
            for (std::int64_t i = 0; i < n; ++i) {
                const std::int64_t at = p + i * skip;
                if (at < 0 || at >= length || text[at] != keyword[i]) break;
                find.letters.push_back(at);
            }
            if (static_cast<std::int64_t>(find.letters.size()) != n) continue;
            std::sort(find.letters.begin(), find.letters.end());
            finds.push_back(find);
        }
    }
    return finds;
}

// The widest width at which each keyword's letters, read in rows of w starting at some offset,
// form a line that stays within one row span; written from the grid's point of view.
std::string ModelResult(const std::vector<const ModelFind*>& chosen, const SearchSettings& s,
                        std::int64_t length) {
    std::int64_t lo = INT64_MAX, hi = INT64_MIN;
    for (const ModelFind* f : chosen) {
        lo = std::min(lo, f->letters.front());
        hi = std::max(hi, f->letters.back());
    }
    for (std::int64_t w = s.MaxColumnWidth; w >= std::max<std::int64_t>(s.MinColumnWidth, 1); --w) {
        std::vector<std::int64_t> lefts, rights;
        bool ok = true;
        for (const ModelFind* f : chosen) {
            const std::int64_t step =
                f->letters.size() > 1 ? (f->letters[1] - f->letters[0]) % w : 0;
            const std::int64_t width = step * std::int64_t(f->letters.size() - 1) + 1;
            ok = ok && width <= w;
            lefts.push_back(f->letters[0] % w);
            rights.push_back(f->letters[0] % w + width);
        }
        const std::int64_t left = *std::min_element(lefts.begin(), lefts.end());
        if (!ok || *std::max_element(rights.begin(), rights.end()) - left > w) continue;
        const std::int64_t first = lo / w * w + left;
        const std::int64_t last = std::min((hi + 1) / w * w + w - 1 + left, length - 1);
        std::string line = "AddResult " + std::to_string(first) + " " + std::to_string(last) + " " +
                           std::to_string(w);
        for (const ModelFind* f : chosen) {
            line += " [";
            for (std::size_t i = 0; i < f->letters.size(); ++i) {
                line += (i ? "," : "") + std::to_string(f->letters[i]);
            }
            line += "]";
        }
        return line;
    }
    return "";
}

// Combinations to visit at most; a case above it is too large to be a quick test case.
constexpr double kMaxCombinations = 20000;

// Empty when the case is too large to model quickly (see kMaxCombinations).
std::optional<std::vector<std::string>> ModelSearch(const std::string& text, KeywordList keywords,
                                                    const SearchSettings& s) {
    std::stable_sort(keywords.begin(), keywords.end(),
                     [](const auto& a, const auto& b) { return a.size() > b.size(); });
    for (auto& k : keywords) {
        for (auto& c : k)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (keywords.empty() || s.MaxResultLength < std::int64_t(keywords[0].size())) {
        return std::vector<std::string>{};
    }
    std::vector<std::vector<ModelFind>> finds;
    double combinations = 1;
    for (const auto& k : keywords) {
        finds.push_back(AllFinds(text, k, s));
        combinations *= double(finds.back().size());
    }
    if (combinations > kMaxCombinations) return std::nullopt;

    // Finds are listed by first-letter index, then skip; a depth-first product in keyword order
    // therefore lists the combinations in the engine's order.
    std::vector<std::string> results;
    std::vector<const ModelFind*> chosen;
    auto extend = [&](auto&& self, std::size_t k, std::int64_t lo, std::int64_t hi) -> void {
        if (k == keywords.size()) {
            std::string line = ModelResult(chosen, s, std::int64_t(text.size()));
            if (!line.empty()) results.push_back(line);
            return;
        }
        for (const ModelFind& f : finds[k]) {
            const std::int64_t newLo = std::min(lo, f.letters.front());
            const std::int64_t newHi = std::max(hi, f.letters.back());
            if (newHi - newLo > s.MaxResultLength) continue;
            chosen.push_back(&f);
            self(self, k + 1, newLo, newHi);
            chosen.pop_back();
        }
    };
    extend(extend, 0, INT64_MAX, INT64_MIN);
    return results;
}

class CrossCheck : public testing::TestWithParam<Engine> {};

TEST_P(CrossCheck, RandomSmallCasesMatchTheModel) {
    std::mt19937 random(20261210);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    int withResults = 0;
    std::size_t totalResults = 0;
    int rounds = 0;
    while (rounds < 4000) {
        const int alphabet = pick(1, 4);
        std::string text(pick(0, 48), 'A');
        for (char& c : text)
            c = static_cast<char>('A' + pick(0, alphabet - 1));
        KeywordList keywords(pick(1, 3));
        for (auto& k : keywords) {
            k.resize(pick(1, 4));
            for (char& c : k)
                c = static_cast<char>((pick(0, 1) ? 'a' : 'A') + pick(0, alphabet - 1));
        }
        SearchSettings s;
        s.AllowReverseKeywords = pick(0, 3) != 0;
        s.ExcludeWordsDirectlyFromText = pick(0, 2) == 0;
        s.MinColumnWidth = pick(1, 12);
        s.MaxColumnWidth = pick(0, 5) == 0 ? pick(1, 12) : s.MinColumnWidth + pick(0, 30);
        s.MaxResultLength = pick(0, 40);
        s.MaxDistanceBetweenLetters = pick(1, 16);
        s.MinSkip = pick(0, 3) == 0 ? pick(0, 5) : 1;

        const auto model = ModelSearch(text, keywords, s);
        if (!model) continue;
        const std::vector<std::string>& expected = *model;
        ++rounds;

        CRecordingSink sink;
        CManualClock clock;
        std::string errorText;
        const bool outcome = GetParam().search(text.c_str(), std::int32_t(text.size()), keywords, s,
                                               sink, errorText, clock);
        ASSERT_TRUE(outcome);
        ASSERT_EQ(sink.Results(), expected)
            << "round " << rounds << " text " << text << " keywords " << keywords.size();
        ASSERT_EQ(sink.calls.back(), "End");
        withResults += !expected.empty();
        totalResults += expected.size();
    }
    // The generator must produce a meaningful mix, or the comparison proves little.
    std::printf("cross-check: %d cases, %d with results, %zu results\n", rounds, withResults,
                totalResults);
    EXPECT_GT(withResults, 1500);
    EXPECT_GT(totalResults, 50000u);
}

INSTANTIATE_TEST_SUITE_P(Engines, CrossCheck, testing::ValuesIn(kEngines), EngineName);

}  // namespace
