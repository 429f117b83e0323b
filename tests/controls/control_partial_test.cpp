#include "controls/control_partial.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kDigest[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

ControlRun MakeRun(std::int64_t totalControls) {
    ControlRun run;
    run.alphabet = "latin";
    run.documentName = "books/genesis.txt";
    run.keywords = {"MOSES", "AARON"};
    run.settings.MaxDistanceBetweenLetters = 300;
    run.settings.MaxResultLength = 2000;
    run.kind = ControlKind::Words;
    run.seed = 7;
    run.total = totalControls;
    run.expected = 0.1 + 0.2;  // needs all seventeen digits to come back the same
    run.expectedIndependent = 0.7;
    run.settings.MinSkip = 3;
    run.real = {64, 120};
    run.plainWordResults = 5;
    return run;
}

// Control i's statistics: some controls find nothing, so "no span" is written too.
SearchStatistics ControlStatistics(std::int64_t i) {
    const std::int64_t count = (i * 37) % 11;
    if (count == 0) return {};
    return {count, 100 + i};
}

ControlPartial MakeShard(const ControlRun& run, std::int64_t index, std::int64_t count,
                         const std::string& digest = kDigest) {
    ControlPartial partial{digest, {index, count}, run};
    partial.run.ignoreNumbers = true;
    for (std::int64_t i = index; i < run.total; i += count)
        partial.run.controls.push_back(ControlStatistics(i));
    return partial;
}

// Replaces the first `from`; a test whose fixture lost its target would prove nothing.
std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(ControlPartial, ReadsBackWhatItWrote) {
    for (const bool withExpected : {true, false}) {
        ControlRun run = MakeRun(10);
        if (!withExpected) run.expected.reset();
        const ControlPartial written = MakeShard(run, 1, 3);
        const std::string text = WriteControlPartial(written);

        ControlPartial read;
        std::string problem;
        ASSERT_TRUE(ReadControlPartial(text, read, problem)) << problem;
        EXPECT_EQ(read.documentDigest, kDigest);
        EXPECT_EQ(read.run.documentName, "books/genesis.txt");
        EXPECT_TRUE(read.run.ignoreNumbers);
        EXPECT_EQ(read.run.keywords, run.keywords);
        EXPECT_EQ(read.run.kind, ControlKind::Words);
        EXPECT_EQ(read.run.total, 10);
        EXPECT_EQ(read.run.expected, run.expected);
        EXPECT_EQ(read.run.expectedIndependent, run.expectedIndependent);
        EXPECT_EQ(read.run.settings.MinSkip, 3);
        EXPECT_EQ(read.run.real, run.real);
        EXPECT_EQ(read.run.plainWordResults, 5);
        EXPECT_EQ(read.shard.index, 1);
        EXPECT_EQ(read.shard.count, 3);
        EXPECT_EQ(read.run.controls, written.run.controls);
        // Every field goes into the text: written again, it is the same text.
        EXPECT_EQ(WriteControlPartial(read), text);
        // As an editor may save it: with a byte-order mark, or blank lines first.
        for (const std::string& saved : {"\xEF\xBB\xBF" + text, "\r\n\n  " + text}) {
            ControlPartial again;
            ASSERT_TRUE(ReadControlPartial(saved, again, problem)) << problem;
            EXPECT_EQ(again.run.controls, written.run.controls);
        }
    }
}

TEST(ControlPartial, RefusesDamagedFilesSayingWhatIsWrong) {
    // Shard 1/3 of 10 controls holds controls 1, 4 and 7.
    const std::string good = WriteControlPartial(MakeShard(MakeRun(10), 1, 3));
    struct Case {
        const char* name;
        std::string text;
        const char* problem;
    };
    const Case cases[] = {
        {"empty", "", "the file is empty."},
        {"cut off", good.substr(0, good.size() / 2), "it was cut off."},
        {"cut before its last brace", good.substr(0, good.size() - 2), "it was cut off."},
        {"not JSON", Replace(good, "\"seed\": 7", "\"seed\": 7x"), "is not valid JSON at byte"},
        {"not JSON from its first byte", "x" + good, "is not valid JSON at byte 0: "},
        {"a byte offset counts from 0", Replace(good, "{\"format\"", "{\"format\"x"),
         "is not valid JSON at byte 9: "},
        {"more controls than a run has",
         Replace(good, "\"controls\": 10,", "\"controls\": 100000001,"),
         "the field \"controls\" is 100000001, outside 1..100000000."},
        {"another JSON file", "{\"results\": []}\n", "is not a partial of a strandix control run."},
        {"not an object", "[1, 2]", "is not a partial of a strandix control run."},
        {"newer format", Replace(good, "\"version\": 3", "\"version\": 4"),
         "(version 4) is not one this strandix reads (version 3)."},
        {"older format", Replace(good, "\"version\": 3", "\"version\": 2"),
         "(version 2) is not one this strandix reads (version 3)."},
        {"a byte offset counts the blank lines before it",
         "\n\n" + Replace(good, "{\"format\"", "{\"format\"x"), "is not valid JSON at byte 11: "},
        {"field missing", Replace(good, "\"alphabet\": \"latin\",\n", ""),
         "the field \"alphabet\" is missing."},
        {"field unknown", Replace(good, "\"alphabet\"", "\"extra\": 1, \"alphabet\""),
         "the field \"extra\" is not part of a partial."},
        {"setting missing", Replace(good, "\"span\": 2000, ", ""),
         "the field \"settings.span\" is missing."},
        {"unknown control kind", Replace(good, "\"words\"", "\"vowels\""),
         "the field \"controlKind\" is not letters, words or keywords."},
        {"negative seed", Replace(good, "\"seed\": 7", "\"seed\": -7"),
         "the field \"seed\" is not a whole number 0 or more."},
        {"shard outside the split", Replace(good, "\"index\": 1", "\"index\": 3"),
         "the field \"shard.index\" is 3, outside 0..2."},
        {"more shards than controls", Replace(good, "\"count\": 3}", "\"count\": 11}"),
         "the field \"shard.count\" is 11, outside 1..10."},
        {"foreign control", Replace(good, "\n[4, ", "\n[5, "),
         "control 5 does not belong to shard 1/3."},
        {"control twice", Replace(good, "\n[4, ", "\n[1, "),
         "control 1 is out of order or given twice."},
        {"control missing", Replace(good, ",\n[7, 6, 107]", ""),
         "control 7 of shard 1/3 is missing."},
        {"control more", Replace(good, "[7, 6, 107]", "[7, 6, 107],\n[10, 1, 1]"),
         "control 10 does not belong to shard 1/3."},
        {"row not a triple", Replace(good, "[7, 6, 107]", "[7, 6]"),
         "the field \"statistics[2]\" is not [index, count, span]."},
        {"object for a row", Replace(good, "[7, 6, 107]", "{\"index\": [7]}"),
         "the field \"statistics[2]\" is not [index, count, span]."},
        {"list inside a row", Replace(good, "[7, 6, 107]", "[7, [6], 107]"),
         "the field \"statistics[2]\" is not [index, count, span]."},
        {"number for a row", Replace(good, "[7, 6, 107]", "7"),
         "the field \"statistics[2]\" is not [index, count, span]."},
        {"results without span", Replace(good, "\"smallestSpan\": 120", "\"smallestSpan\": null"),
         "the field \"real\" gives results but no smallest span."},
        {"count changed", Replace(good, "[7, 6, 107]", "[7, 5, 107]"),
         "the checksum does not match the content"},
    };
    for (const Case& c : cases) {
        ControlPartial read;
        std::string problem;
        EXPECT_FALSE(ReadControlPartial(c.text, read, problem)) << c.name;
        EXPECT_NE(problem.find(c.problem), std::string::npos)
            << c.name << ": " << problem << "\nexpected: " << c.problem;
    }
}

TEST(ControlPartial, MergesTheShardsOfOneRunAndRefusesAnythingElse) {
    const ControlRun run = MakeRun(10);
    auto shard = [&](std::int64_t index, std::int64_t count = 3) {
        return WriteControlPartial(MakeShard(run, index, count));
    };
    ControlRun otherSeed = run;
    otherSeed.seed = 8;
    ControlRun otherSmallestSkip = run;
    otherSmallestSkip.settings.MinSkip = 2;
    ControlRun lowerCase = run;
    lowerCase.keywords = {"moses", "Aaron"};
    std::string otherDigest = kDigest;
    otherDigest[0] = 'c';

    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        const char* message;  // nullptr: the merge succeeds
    };
    const Case cases[] = {
        {"in order", {{"a.json", shard(0)}, {"b.json", shard(1)}, {"c.json", shard(2)}}, nullptr},
        {"any order", {{"c.json", shard(2)}, {"a.json", shard(0)}, {"b.json", shard(1)}}, nullptr},
        {"one shard", {{"all.json", shard(0, 1)}}, nullptr},
        {"mixed seeds",
         {{"a.json", shard(0)},
          {"b.json", shard(1)},
          {"c.json", WriteControlPartial(MakeShard(otherSeed, 2, 3))}},
         "c.json: its seed (8) differs from a.json's (7), so the two are not parts of the same "
         "run."},
        {"keywords as typed",
         {{"a.json", shard(0)},
          {"b.json", WriteControlPartial(MakeShard(lowerCase, 1, 3))},
          {"c.json", shard(2)}},
         nullptr},
        {"mixed smallest skips",
         {{"a.json", shard(0)},
          {"b.json", WriteControlPartial(MakeShard(otherSmallestSkip, 1, 3))}},
         "b.json: its smallest skip (2) differs from a.json's (3)"},
        {"mixed documents",
         {{"a.json", shard(0)}, {"b.json", WriteControlPartial(MakeShard(run, 1, 3, otherDigest))}},
         "b.json: its document (\"ca7816bf"},
        {"mixed splits",
         {{"a.json", shard(0)}, {"b.json", shard(1)}, {"half.json", shard(1, 2)}},
         "half.json: it is one of 2 shards, while a.json is one of 3"},
        {"duplicated",
         {{"a.json", shard(0)}, {"b.json", shard(1)}, {"b2.json", shard(1)}, {"c.json", shard(2)}},
         "b2.json: it holds shard 1/3, as b.json does; each shard must be given once."},
        {"named twice",
         {{"a.json", shard(0)}, {"b.json", shard(1)}, {"b.json", shard(1)}},
         "b.json: the file is named twice."},
        {"missing",
         {{"a.json", shard(0)}, {"c.json", shard(2)}},
         "Shard 1/3 is missing: no partial holds its controls (the i with i mod 3 = 1)."},
        {"last missing", {{"a.json", shard(0)}, {"b.json", shard(1)}}, "Shard 2/3 is missing"},
        {"truncated",
         {{"a.json", shard(0)}, {"b.json", shard(1)}, {"c.json", shard(2).substr(0, 300)}},
         "c.json, read as a partial of a control run: the file ends before the partial does: it "
         "was "
         "cut off."},
        {"corrupted",
         {{"a.json", shard(0)}, {"b.json", Replace(shard(1), "[4, 5, 104]", "[4, 9, 104]")}},
         "b.json, read as a partial of a control run: the checksum does not match the content"},
    };
    for (const Case& c : cases) {
        CPartialMerger merger;
        ControlRun merged;
        std::string message;
        bool ok = true;
        for (const auto& [name, text] : c.files) {
            ok = merger.Add(name, text, message);
            if (!ok) break;
        }
        if (ok) ok = merger.Finish(merged, message);
        if (c.message != nullptr) {
            EXPECT_FALSE(ok) << c.name;
            EXPECT_EQ(message.rfind(c.message, 0), 0u)
                << c.name << ": " << message << "\nexpected: " << c.message;
            continue;
        }
        ASSERT_TRUE(ok) << c.name << ": " << message;
        EXPECT_EQ(merged.seed, run.seed);
        EXPECT_EQ(merged.real, run.real);
        EXPECT_EQ(merged.expected, run.expected);
        ASSERT_EQ(merged.controls.size(), 10u) << c.name;
        for (std::int64_t i = 0; i < 10; ++i)
            EXPECT_EQ(merged.controls[static_cast<std::size_t>(i)], ControlStatistics(i))
                << c.name << ", control " << i;
    }
}

TEST(ControlPartial, AThousandControlsTakeLessThanOneHundredKilobytes) {
    ControlRun run = MakeRun(4000);
    run.keywords = {"MOSESMOSESMOSES", "AARONAARONAARON", "JERUSALEM"};
    ControlPartial partial{kDigest, {3, 4}, run};
    // The widest numbers a control of the largest documents can give.
    for (std::int64_t i = 3; i < 4000; i += 4)
        partial.run.controls.push_back({9999999999, 999999});
    ASSERT_EQ(partial.run.controls.size(), 1000u);
    EXPECT_LT(WriteControlPartial(partial).size(), 100u * 1000u);
}

}  // namespace
