#include "results/find_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/find_sequences.h"

namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;

// Reads every result of a real search as it arrives: "first letter/skip" per keyword, in search
// order, the keywords of one result separated by blanks.
class CReadingSink : public CResultSink {
  public:
    CReadingSink(const KeywordList& keywords, const SearchSettings& settings)
        : reader_(keywords, !settings.ExcludeWordsDirectlyFromText, settings.AllowReverseKeywords) {
    }

    bool AddResult(const char* text, std::int32_t, std::int32_t, std::int32_t,
                   const ResultPositions& positions) override {
        std::string line;
        for (const KeywordFind& find : reader_.Read(text, positions)) {
            if (!line.empty()) line += ' ';
            line += std::to_string(find.firstLetter) + "/" + std::to_string(find.skip);
        }
        lines.push_back(line);
        return true;
    }

    std::vector<std::string> lines;

  private:
    CFindReader reader_;
};

struct ReadCase {
    const char* text;
    KeywordList keywords;
    bool excludeDirect;
    bool noReverse;
    std::vector<std::string> expected;
};

// Skips and first letters as the search defines them: left to right a positive skip from the
// leftmost letter, right to left a negative one from the rightmost. A keyword that reads the
// same both ways is found once each way: left to right first, one digit per such keyword.
const ReadCase kReadCases[] = {
    {"ABCABC", {"ac"}, false, false, {"0/2", "0/5", "3/-1", "3/2"}},
    {"ABCABC", {"ac"}, false, true, {"0/2", "0/5", "3/2"}},
    {"ACAC", {"AC"}, true, false, {"0/3", "2/-1"}},
    {"ABXXCD", {"ab", "cd"}, false, false, {"0/1 4/1"}},
    {"ABXXCD", {"dc", "a"}, false, false, {"5/-1 0/0"}},
    {"XABAX", {"aba"}, false, false, {"1/1", "3/-1"}},
    {"XABAX", {"aba"}, true, false, {"3/-1"}},
    {"XABAX", {"aba"}, false, true, {"1/1"}},
    {"ABAXCDC", {"aba", "cdc"}, false, false, {"0/1 4/1", "0/1 6/-1", "2/-1 4/1", "2/-1 6/-1"}},
};

TEST(FindReaderTest, SkipsAndFirstLettersOfRealSearches) {
    for (const ReadCase& c : kReadCases) {
        SearchSettings settings;
        settings.ExcludeWordsDirectlyFromText = c.excludeDirect;
        settings.AllowReverseKeywords = !c.noReverse;
        CReadingSink sink(c.keywords, settings);
        std::string error;
        const std::string text = c.text;
        ASSERT_TRUE(FindSequences(text.c_str(), static_cast<std::int32_t>(text.size()), c.keywords,
                                  settings, sink, error));
        EXPECT_THAT(sink.lines, ElementsAreArray(c.expected)) << c.text << " " << c.keywords[0];
    }
}

TEST(FindReaderTest, SearchOrderIndexesFollowTheSearchsOrder) {
    EXPECT_THAT(SearchOrderIndexes({"ab", "xyz", "cd"}), ElementsAre(1, 0, 2));
    EXPECT_THAT(SearchOrderIndexes({"b", "aa", "c", "dd", "eee"}), ElementsAre(3, 1, 4, 2, 0));
    EXPECT_THAT(SearchOrderIndexes({}), ElementsAre());
}

}  // namespace
