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
    // The stream's own buffer is off: what the file holds is what the writer sent.
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::string expected;
    {
        CStandardOutput output(file, 100);
        for (int i = 0; i < 11; ++i) {  // 9 bytes each: 99 of the block's 100
            const std::string piece = "piece " + std::to_string(i % 10) + ".\n";
            ASSERT_TRUE(output.Write(piece));
            expected += piece;
        }
        EXPECT_EQ(Contents(path), "") << "nothing goes out before a block is full";
        // The twelfth piece does not fit: the block goes out, the piece starts the next one.
        ASSERT_TRUE(output.Write("piece 9.\n"));
        EXPECT_EQ(Contents(path), expected);
        expected += "piece 9.\n";
        // A text longer than a block goes out whole, after what was held.
        const std::string longText(250, 'x');
        ASSERT_TRUE(output.Write(longText));
        expected += longText;
        EXPECT_EQ(Contents(path), expected);
        ASSERT_TRUE(output.Write("end\n"));
        ASSERT_TRUE(output.Flush());
        expected += "end\n";
        EXPECT_EQ(Contents(path), expected);
        ASSERT_TRUE(output.Write("held at the end\n"));
        expected += "held at the end\n";
    }
    // The writer sends what it holds when it goes.
    EXPECT_EQ(Contents(path), expected);
    std::fclose(file);
}

TEST_F(StandardOutputTest, WithoutABlockEveryWriteGoesOutAtOnce) {
    const fs::path path = folder_ / "out.txt";
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(file, nullptr);
    CStandardOutput output(file, 0);
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
    CStandardOutput output(file, 64);
    EXPECT_TRUE(output.Write("held, not yet written\n"));
    EXPECT_FALSE(output.Flush());
    EXPECT_TRUE(output.Failed());
    EXPECT_FALSE(output.Write("x"));
    EXPECT_FALSE(output.Flush());
    std::fclose(file);
}

}  // namespace
