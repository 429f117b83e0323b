#include "platform/file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/support/fakes.h"

namespace {

namespace fs = std::filesystem;

TEST(FileTest, TempFolderEndsInTheSeparatorAndExists) {
    std::string folder;
    ASSERT_TRUE(SystemFileSystem().GetTempFolder(folder));
#ifdef _WIN32
    EXPECT_EQ(folder.back(), '\\');
#else
    EXPECT_EQ(folder.back(), '/');
#endif
    EXPECT_TRUE(fs::is_directory(folder)) << folder;
}

#ifndef _WIN32
TEST(FileTest, TempFolderFollowsTmpdir) {
    const char* saved = std::getenv("TMPDIR");
    const std::string restore = saved ? saved : "";
    const struct {
        const char* tmpdir;  // null: unset
        const char* expected;
    } cases[] = {
        {"/var/tmp", "/var/tmp/"},
        {"/var/tmp/", "/var/tmp/"},
        {"", "/tmp/"},
        {nullptr, "/tmp/"},
    };
    for (const auto& c : cases) {
        if (c.tmpdir)
            setenv("TMPDIR", c.tmpdir, 1);
        else
            unsetenv("TMPDIR");
        std::string folder;
        EXPECT_TRUE(SystemFileSystem().GetTempFolder(folder));
        EXPECT_EQ(folder, c.expected) << (c.tmpdir ? c.tmpdir : "(unset)");
    }
    if (saved)
        setenv("TMPDIR", restore.c_str(), 1);
    else
        unsetenv("TMPDIR");
}
#endif

TEST(FileTest, NewFileIsExclusiveSizedAndReadableWhileOpen) {
    CPrivateTempFileSystem folder;
    const std::string path = (folder.Folder() / "page.htm").string();
    std::unique_ptr<CWritableFile> file = SystemFileSystem().CreateNewFile(path);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(SystemFileSystem().CreateNewFile(path), nullptr) << "an existing name is refused";

    std::size_t written = 0;
    SystemErrorCode error = 0;
    ASSERT_TRUE(file->Write("<html>\r\n", 8, written, error));
    EXPECT_EQ(written, 8u);
    ASSERT_TRUE(file->Write("x", 1, written, error));
    std::uint64_t size = 0;
    ASSERT_TRUE(file->GetSize(size));
    EXPECT_EQ(size, 9u);
    // Another reader (a browser) may open the page while it is being written.
    EXPECT_EQ(ReadWholeFile(path), "<html>\r\nx");
#ifndef _WIN32
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "the page is private to its owner";
#endif
    file.reset();
    EXPECT_EQ(ReadWholeFile(path), "<html>\r\nx") << "closing keeps the file";
}

TEST(FileTest, CreatingInAMissingFolderFails) {
    CPrivateTempFileSystem folder;
    EXPECT_EQ(SystemFileSystem().CreateNewFile((folder.Folder() / "no" / "x.htm").string()),
              nullptr);
}

TEST(FileTest, CopyReplacesTheTargetButNeverItsOwnSource) {
    CPrivateTempFileSystem folder;
    const fs::path source = folder.Folder() / "source.htm";
    const fs::path target = folder.Folder() / "target.htm";
    WriteWholeFile(source, std::string("page\r\n\0bytes", 13));
    WriteWholeFile(target, "an older and longer page that is replaced");
    SystemErrorCode error = 1;
    ASSERT_TRUE(CopyFileReplacing(source.string(), target.string(), error));
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(ReadWholeFile(target), std::string("page\r\n\0bytes", 13));

    EXPECT_FALSE(CopyFileReplacing(source.string(), source.string(), error));
    EXPECT_NE(error, 0u);
    EXPECT_EQ(ReadWholeFile(source), std::string("page\r\n\0bytes", 13));

    EXPECT_FALSE(CopyFileReplacing((folder.Folder() / "missing").string(), target.string(), error));
    EXPECT_NE(error, 0u);
    EXPECT_FALSE(SystemFileSystem().DescribeError(error).empty());
}

}  // namespace
