#include "platform/file_identity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

class FileIdentityTest : public testing::Test {
  protected:
    FileIdentityTest() {
        root_ = fs::temp_directory_path() /
                ("strandix-identity-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(root_);
        std::ofstream(root_ / "a.txt") << "genesis";
        std::ofstream(root_ / "b.txt") << "genesis";
    }
    ~FileIdentityTest() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    std::string Path(const char* name) const { return (root_ / name).string(); }

    fs::path root_;
};

TEST_F(FileIdentityTest, SameFileWhateverTheNameNotTheSameContent) {
    std::error_code error;
    fs::create_hard_link(root_ / "a.txt", root_ / "hard.txt", error);
    const bool hardLink = !error;
    fs::create_symlink(root_ / "a.txt", root_ / "soft.txt", error);
    const bool softLink = !error;  // Windows allows them to privileged users only
    const struct {
        std::string a, b;
        bool same;
        bool check;
    } cases[] = {
        {Path("a.txt"), Path("a.txt"), true, true},
        {Path("a.txt"), (root_ / "." / "a.txt").string(), true, true},
        {Path("a.txt"), Path("b.txt"), false, true},  // equal bytes, another file
        {Path("a.txt"), Path("missing.txt"), false, true},
        {Path("missing.txt"), Path("missing.txt"), false, true},
        {Path("a.txt"), Path("hard.txt"), true, hardLink},
        {Path("soft.txt"), Path("a.txt"), true, softLink},
    };
    for (const auto& c : cases) {
        if (!c.check) continue;
        EXPECT_EQ(IsSameFile(c.a, c.b), c.same) << c.a << " " << c.b;
    }
}

TEST_F(FileIdentityTest, WritableIsAskedWithoutChangingAnything) {
    std::uint32_t error = 0;
    EXPECT_TRUE(CanWriteFile(Path("a.txt"), error));
    std::ifstream in(Path("a.txt"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "genesis");
    EXPECT_TRUE(CanWriteFile(Path("new.txt"), error));
    EXPECT_FALSE(fs::exists(root_ / "new.txt"));
    error = 0;
    EXPECT_FALSE(CanWriteFile((root_ / "no-folder" / "x.txt").string(), error));
    EXPECT_NE(error, 0u);
    EXPECT_FALSE(CanWriteFile(root_.string(), error)) << "a folder is no file";
}

TEST_F(FileIdentityTest, FreeSpaceOfTheFolderAndOfAFileInIt) {
    std::uint64_t available = 0, total = 0;
    ASSERT_TRUE(GetFileSystemSpace(root_.string(), available, total));
    EXPECT_GT(total, 0u);
    EXPECT_LE(available, total);
    std::uint64_t fileAvailable = 0, fileTotal = 0;
    ASSERT_TRUE(GetFileSystemSpace(Path("a.txt"), fileAvailable, fileTotal));
    EXPECT_EQ(fileTotal, total);
    EXPECT_FALSE(GetFileSystemSpace(Path("missing-folder/x"), available, total));
}

}  // namespace
