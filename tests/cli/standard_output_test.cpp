// Standard output in blocks: nothing reaches the stream before a block fills or Flush, the bytes
// arrive whole and in order, and a stream that refuses them is reported.
#include "cli/standard_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class StandardOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("strandix-standard-output-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(StandardOutputTest, GathersBlocksAndKeepsEveryByteInOrder) {
    const fs::path path = folder_ / "out.txt";
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(file, nullptr);
    char block[1000];
    std::string expected;
    {
        CStandardOutput output(file, block, sizeof block);
        EXPECT_TRUE(output.Buffered());
        for (int i = 0; i < 99; ++i) {  // 99 * 10 = 990 of the block's 1000 bytes
            const std::string piece = "piece " + std::to_string(10 + i % 90) + ".\n";
            ASSERT_TRUE(output.Write(piece));
            expected += piece;
        }
        EXPECT_EQ(Contents(path), "") << "nothing goes out before a block is full";
        // Past the block's end what was held goes out, in order; what is written directly to
        // the stream takes its place in the same order.
        const std::string longText(2500, 'x');
        ASSERT_TRUE(output.Write(longText));
        expected += longText;
        std::fputs("beside\n", file);
        expected += "beside\n";
        const std::string sent = Contents(path);
        EXPECT_GE(sent.size(), 1000u);
        EXPECT_EQ(sent, expected.substr(0, sent.size()));
        ASSERT_TRUE(output.Write("end\n"));
        expected += "end\n";
        ASSERT_TRUE(output.Flush());
        EXPECT_EQ(Contents(path), expected);
        ASSERT_TRUE(output.Write("held at the end\n"));
        expected += "held at the end\n";
    }
    // The writer sends what the stream holds when it goes.
    EXPECT_EQ(Contents(path), expected);
    std::fclose(file);
}

TEST_F(StandardOutputTest, WithoutABlockEveryWriteGoesOutAtOnce) {
    const fs::path path = folder_ / "out.txt";
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(file, nullptr);
    CStandardOutput output(file, nullptr, 0);
    EXPECT_FALSE(output.Buffered());
    ASSERT_TRUE(output.Write("one\n"));
    EXPECT_EQ(Contents(path), "one\n");
    ASSERT_TRUE(output.Write("two\n"));
    EXPECT_EQ(Contents(path), "one\ntwo\n");
    std::fclose(file);
}

TEST_F(StandardOutputTest, AFullDeviceIsReportedAndStaysReported) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no device that is always full";
    std::FILE* file = std::fopen("/dev/full", "wb");
    ASSERT_NE(file, nullptr);
    char block[1000];
    CStandardOutput output(file, block, sizeof block);
    EXPECT_TRUE(output.Write("held, not yet written\n"));
    EXPECT_FALSE(output.Flush());
    EXPECT_TRUE(output.Failed());
    EXPECT_FALSE(output.Write("x"));
    EXPECT_FALSE(output.Flush());
    std::fclose(file);
}

}  // namespace
