// The 1994 Genesis experiment as the tool runs it: the second published list on the Koren
// Genesis, read, measured and tested by the code of `strandix proximity`.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "proximity/pair_list.h"
#include "proximity/proximity_run.h"
#include "tests/proximity/proximity_support.h"

namespace {

TEST(ProximityReproduction, TheSecondListOnTheKorenGenesis) {
    std::ifstream file(std::string(STRANDIX_SAMPLES) + "/wrr-list2.txt", std::ios::binary);
    ASSERT_TRUE(file);
    const std::string list((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    ProximityRequest request;
    request.fromList = true;
    PairListError error;
    ASSERT_TRUE(ReadPairList(list, CAlphabet(AlphabetName::Hebrew), request.persons, error))
        << error.line << ": " << error.message;
    ASSERT_EQ(request.persons.size(), 32u);

    CProximityMatrix matrix;
    matrix.Compute(KorenGenesis(), request.persons, request.settings, ProximityMatrixOptions());
    ASSERT_TRUE(matrix.Complete());
    const ProximityRows rows = RowsOf(matrix, false);
    const std::vector<ListedPair> pairs = ListedPairs(request, rows);
    EXPECT_EQ(pairs.size(), 298u);

    const CellMatrix cells = CellMatrixOfRows(request, rows);
    const ProximityStatistics statistics = ListStatistics(cells);
    EXPECT_EQ(statistics.pairs, 163);  // as the published reproduction counts them
    EXPECT_EQ(statistics.close, 63);
    EXPECT_NEAR(statistics.minusLogC, 250.41276678233316, 1e-9);  // published: 251.33
    EXPECT_NEAR(statistics.t, 0.3568310351096321, 1e-15);

    const std::optional<PermutationCounts> counts =
        RunPermutationTest(cells, 20261210, 999999, 0, nullptr, nullptr);
    ASSERT_TRUE(counts.has_value());
    EXPECT_EQ(counts->atMostP1, 427);
    EXPECT_EQ(counts->atMostP2, 2);
    EXPECT_EQ(counts->atMostT, 7340);
}

}  // namespace
