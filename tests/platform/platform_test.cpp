#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "platform/shell.h"

#ifdef _WIN32
#include "platform/unique_handle_win32.h"
#else
#include <fcntl.h>

#include "platform/unique_fd_posix.h"
#endif

namespace {

namespace fs = std::filesystem;

TEST(ModulePath, NamesThisTestRunner) {
    const fs::path path = ModulePath();
    ASSERT_TRUE(path.is_absolute()) << path;
    EXPECT_EQ(path.stem(), "platform_tests");
    EXPECT_TRUE(fs::is_regular_file(path)) << path;
}

TEST(SystemPathEquals, FollowsThePlatformsFileNames) {
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
#ifdef _WIN32
        {"C:\\Texts\\Genesis.htm", "c:\\TEXTS\\genesis.HTM", true},
        // A soft hyphen is ignorable to linguistic comparison; in a path it is a character.
        {"C:\\Gen\xC2\xAD"
         "esis.htm",
         "C:\\Genesis.htm", false},
        // Paths are UTF-8: case folds in every script, Hebrew has no case.
        {"C:\\\xCE\x9B\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82.txt",
         "c:\\\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82.TXT", true},
        {"C:\\\xD7\xAA\xD7\x95\xD7\xA8\xD7\x94.txt", "C:\\\xD7\xAA\xD7\x95\xD7\xA8.txt", false},
#else
        {"/texts/Genesis.htm", "/texts/genesis.htm", false},
#endif
        {"Genesis.htm", "Genesis.htm", true},
        {"", "", true},
        {"Genesis.htm", "Exodus.htm", false},
        {"Genesis.htm", "Genesis.htm ", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SystemPathEquals(c.a, c.b), c.equal) << c.a << " / " << c.b;
    }
}

#ifdef _WIN32

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(UniqueHandle, NullAndInvalidValueOwnNothing) {
    for (const HANDLE empty : {HANDLE{nullptr}, INVALID_HANDLE_VALUE}) {
        CUniqueHandle owner(empty);
        EXPECT_FALSE(owner.IsValid());
        EXPECT_FALSE(owner);
    }
}

TEST(UniqueHandle, ClosesOnceWhereverOwnershipMoved) {
    const HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    {
        CUniqueHandle first(event);
        CUniqueHandle second(std::move(first));
        EXPECT_FALSE(first.IsValid());
        EXPECT_EQ(second.Get(), event);
        CUniqueHandle third;
        third = std::move(second);
        EXPECT_EQ(third.Get(), event);
        EXPECT_TRUE(IsOpen(event));
    }
    EXPECT_FALSE(IsOpen(event));
}

TEST(UniqueHandle, ResetClosesTheOldHandleAndReleaseKeepsItOpen) {
    const HANDLE first = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HANDLE second = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    CUniqueHandle owner(first);
    owner.Reset(second);
    EXPECT_FALSE(IsOpen(first));
    EXPECT_EQ(owner.Release(), second);
    EXPECT_FALSE(owner.IsValid());
    EXPECT_TRUE(IsOpen(second));
    CloseHandle(second);
}

#else

bool IsOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

int OpenNull() {
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

TEST(UniqueFd, ClosesOnceWhereverOwnershipMoved) {
    const int fd = OpenNull();
    ASSERT_GE(fd, 0);
    {
        CUniqueFd first(fd);
        CUniqueFd second(std::move(first));
        EXPECT_FALSE(first.IsValid());
        EXPECT_EQ(second.Get(), fd);
        CUniqueFd third;
        third = std::move(second);
        EXPECT_EQ(third.Get(), fd);
        EXPECT_TRUE(IsOpen(fd));
    }
    EXPECT_FALSE(IsOpen(fd));
}

TEST(UniqueFd, ResetClosesTheOldDescriptorAndReleaseKeepsItOpen) {
    const int first = OpenNull();
    ASSERT_GE(first, 0);
    CUniqueFd owner(first);
    const int second = OpenNull();
    ASSERT_GE(second, 0);
    owner.Reset(second);
    EXPECT_FALSE(IsOpen(first));
    EXPECT_EQ(owner.Release(), second);
    EXPECT_FALSE(owner.IsValid());
    EXPECT_TRUE(IsOpen(second));
    ::close(second);
}

TEST(UniqueFd, CloseReportsWhetherSomethingWasClosed) {
    CUniqueFd owner(OpenNull());
    ASSERT_TRUE(owner.IsValid());
    const int fd = owner.Get();
    EXPECT_TRUE(owner.Close());
    EXPECT_FALSE(IsOpen(fd));
    EXPECT_FALSE(owner.Close());
}

#endif

}  // namespace
