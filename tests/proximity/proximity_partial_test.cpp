// Partials of a proximity run: written and read back unchanged, refused when damaged, and merged
// only when they are all the shards of one run.
#include <gtest/gtest.h>

#include <string>

#include "proximity/proximity_partial.h"

namespace {

// Three persons with one name and one date each, all of five letters; each cell one pair.
ProximityRequest MakeRequest() {
    ProximityRequest request;
    request.document = "text.txt";
    request.documentDigest = std::string(64, 'a');
    request.letters = 1000;
    request.seed = 3;
    request.fromList = true;
    request.persons = {
        {"x", {"ABCDE"}, {"FGHIJ"}}, {"y", {"KLMNO"}, {"PQRST"}}, {"z", {"UVWXY"}, {"ZABCD"}}};
    return request;
}

ProximityPartial MakeShard(std::int64_t index, std::int64_t count) {
    ProximityPartial partial;
    partial.request = MakeRequest();
    partial.shard = {index, count};
    partial.rows.firstRow = ShardFirstRow(3, partial.shard);
    partial.rows.lastRow = ShardFirstRow(3, {index + 1, count});
    for (std::size_t row = partial.rows.firstRow; row < partial.rows.lastRow; ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            PairSummary pair;
            pair.skipLimit1 = 40 + static_cast<std::int32_t>(row);
            pair.skipLimit2 = 50 + static_cast<std::int32_t>(column);
            pair.validTriples = 125;
            pair.rank = static_cast<std::int16_t>(1 + row * 3 + column);
            pair.defined = true;
            pair.c = pair.rank / 125.0;
            pair.hasOmega = true;
            pair.omega = 0.1 / (1 + double(row) + double(column) / 7);
            partial.rows.cells.push_back({pair});
        }
    }
    return partial;
}

TEST(ProximityPartial, ReadsBackWhatItWrote) {
    const std::string text = WriteProximityPartial(MakeShard(1, 2));
    PartialKind kind = PartialKind::Controls;
    std::string problem;
    ASSERT_TRUE(FindPartialKind(text, kind, problem)) << problem;
    EXPECT_EQ(kind, PartialKind::Proximity);
    ProximityPartial read;
    ASSERT_TRUE(ReadProximityPartial(text, read, problem)) << problem;
    EXPECT_EQ(WriteProximityPartial(read), text);
    // As an editor may save it: with a byte-order mark, or blank lines first.
    for (const std::string& saved : {"\xEF\xBB\xBF" + text, "\n\r\n" + text}) {
        ProximityPartial again;
        ASSERT_TRUE(FindPartialKind(saved, kind, problem)) << problem;
        EXPECT_EQ(kind, PartialKind::Proximity);
        ASSERT_TRUE(ReadProximityPartial(saved, again, problem)) << problem;
        EXPECT_EQ(WriteProximityPartial(again), text);
    }
    EXPECT_EQ(read.rows.firstRow, 1u);
    EXPECT_EQ(read.rows.lastRow, 3u);
    EXPECT_EQ(read.rows.cells[5][0].omega, MakeShard(1, 2).rows.cells[5][0].omega);
}

TEST(ProximityPartial, RefusesDamage) {
    const std::string text = WriteProximityPartial(MakeShard(0, 2));
    struct Case {
        std::string text;
        const char* problem;
    };
    std::string changed = text;
    changed.replace(changed.find("\"seed\": 3"), 9, "\"seed\": 4");
    const Case cases[] = {
        {"", "the file is empty."},
        {text.substr(0, text.size() / 2), "the file ends before the partial does: it was cut off."},
        {changed,
         "the checksum does not match the content: the file was changed or damaged after it was "
         "written."},
        {"{\"format\": \"strandix-partial\"}",
         "the file is not a partial of a strandix proximity run."},
    };
    for (const Case& test : cases) {
        ProximityPartial read;
        std::string problem;
        EXPECT_FALSE(ReadProximityPartial(test.text, read, problem));
        EXPECT_EQ(problem, test.problem);
    }
}

TEST(ProximityPartial, MergesAllShardsInAnyOrder) {
    const ProximityPartial whole = MakeShard(0, 1);
    CProximityMerger merger;
    std::string message;
    ASSERT_TRUE(merger.Add("b", WriteProximityPartial(MakeShard(1, 2)), message)) << message;
    ASSERT_TRUE(merger.Add("a", WriteProximityPartial(MakeShard(0, 2)), message)) << message;
    ProximityRequest request;
    ProximityRows rows;
    ASSERT_TRUE(merger.Finish(request, rows, message)) << message;
    ASSERT_EQ(rows.cells.size(), whole.rows.cells.size());
    for (std::size_t i = 0; i < rows.cells.size(); ++i)
        EXPECT_EQ(rows.cells[i][0].rank, whole.rows.cells[i][0].rank);
    EXPECT_EQ(request.seed, 3u);
}

TEST(ProximityPartial, RefusesWhatIsNotOneRun) {
    ProximityPartial otherSeed = MakeShard(1, 2);
    otherSeed.request.seed = 4;
    ProximityPartial otherSettings = MakeShard(1, 2);
    otherSettings.request.settings.minTriples = 20;
    ProximityPartial otherControl = MakeShard(1, 2);
    otherControl.request.controlText = ControlTextKind::Words;
    ProximityPartial otherPerson = MakeShard(1, 2);
    otherPerson.request.persons[2].id = "w";
    struct Case {
        std::vector<std::pair<std::string, std::string>> files;
        const char* message;
    };
    const Case cases[] = {
        {{{"a", WriteProximityPartial(MakeShard(0, 2))}, {"b", WriteProximityPartial(otherSeed)}},
         "b: its seed (4) differs from a's (3), so the two are not parts of the same run."},
        {{{"a", WriteProximityPartial(MakeShard(0, 2))},
          {"b", WriteProximityPartial(otherSettings)}},
         "b: its settings.minTriples (20) differs from a's (10), so the two are not parts of the "
         "same run."},
        {{{"a", WriteProximityPartial(MakeShard(0, 2))},
          {"b", WriteProximityPartial(otherControl)}},
         "b: its controlText (\"words\") differs from a's (null), so the two are not parts of the "
         "same run."},
        {{{"a", WriteProximityPartial(MakeShard(0, 2))}, {"b", WriteProximityPartial(otherPerson)}},
         "b: its persons[2] ({\"dates\":[\"ZABCD\"],\"id\":\"w\",\"names\":[\"UVWXY\"]}) differs "
         "from a's ({\"dates\":[\"ZABCD\"],\"id\":\"z\",\"names\":[\"UVWXY\"]}), so the two are "
         "not parts of the same run."},
        {{{"a", WriteProximityPartial(MakeShard(0, 2))},
          {"b", WriteProximityPartial(MakeShard(1, 3))}},
         "b: it is one of 3 shards, while a is one of 2, so the two are not parts of the same "
         "split."},
        {{{"a", WriteProximityPartial(MakeShard(0, 2))},
          {"c", WriteProximityPartial(MakeShard(0, 2))}},
         "c: it holds shard 0/2, as a does; each shard must be given once."},
        {{{"a", WriteProximityPartial(MakeShard(0, 2))}},
         "Shard 1/2 is missing: no partial holds its persons' rows."},
    };
    for (const Case& test : cases) {
        CProximityMerger merger;
        std::string message;
        bool added = true;
        for (const auto& [name, text] : test.files)
            added = added && merger.Add(name, text, message);
        if (added) {
            ProximityRequest request;
            ProximityRows rows;
            EXPECT_FALSE(merger.Finish(request, rows, message));
        }
        EXPECT_EQ(message, test.message);
    }
}

}  // namespace
