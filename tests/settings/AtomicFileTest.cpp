#include "platform/AtomicFile.h"

#include "platform/Path.h"
#include "settings/FileSizeLimit.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace brinmor {
namespace {

namespace fs = std::filesystem;

// Names in the folder, to catch a temporary file left behind.
std::vector<std::string> Entries(const test::TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Native()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFile, CreatesAndReplacesWholeContents) {
    test::TempDir dir;
    ReplaceFileContents(dir.Path() + "a.txt", "first\r\nversion\r\n");
    EXPECT_EQ(dir.Read("a.txt"), "first\r\nversion\r\n");
    ReplaceFileContents(dir.Path() + "a.txt", "v2");
    EXPECT_EQ(dir.Read("a.txt"), "v2");
    ReplaceFileContents(dir.Path() + "a.txt", "");
    EXPECT_EQ(dir.Read("a.txt"), "");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"a.txt"});
}

TEST(AtomicFile, WindowsAnsiNameIsStoredUnderItsNativeName) {
    test::TempDir dir;
    ReplaceFileContents(dir.Path() + "r\xE9sultat.dns", "x");
    EXPECT_EQ(dir.Read("r\xE9sultat.dns"), "x");
}

// The temporary file's name does not grow with the target's, so a name at the file system's
// limit (255 bytes) is stored like any other.
TEST(AtomicFile, ANameAtTheFileSystemLimitIsStored) {
    test::TempDir dir;
    const std::string name = std::string(251, 'n') + ".dns";
    ReplaceFileContents(dir.Path() + name, "first");
    ReplaceFileContents(dir.Path() + name, "second");
    EXPECT_EQ(dir.Read(name), "second");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{name});
}

TEST(AtomicFile, MissingFolderRaisesWithTheSystemCode) {
    test::TempDir dir;
    try {
        ReplaceFileContents(dir.Path() + "absent" + PathDelim + "a.txt", "x");
        FAIL() << "no error raised";
    } catch (const EOSError& e) {
#ifdef _WIN32
        EXPECT_EQ(e.ErrorCode(), 3); // ERROR_PATH_NOT_FOUND
#else
        EXPECT_EQ(e.ErrorCode(), ENOENT);
#endif
    }
    EXPECT_TRUE(Entries(dir).empty());
}

// On Windows the read-only attribute, which the wide rename refuses to replace (5).
TEST(AtomicFile, ReadOnlyFileIsNotReplaced) {
#ifndef _WIN32
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes whatever the mode says";
#endif
    test::TempDir dir;
    dir.Write("config.ini", "old");
    fs::permissions(dir.Native() / "config.ini",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_THROW(ReplaceFileContents(dir.Path() + "config.ini", "new"), EOSError);
    EXPECT_EQ(dir.Read("config.ini"), "old");
}

#ifndef _WIN32

mode_t ModeOf(const test::TempDir& dir, const std::string& name) {
    struct stat info {};
    EXPECT_EQ(::stat((dir.Native() / name).c_str(), &info), 0);
    return info.st_mode & 07777;
}

TEST(AtomicFile, NewFileModeAndExistingModeKept) {
    test::TempDir dir;
    const mode_t oldMask = ::umask(022);
    ReplaceFileContents(dir.Path() + "secret.ini", "x", FileMode::OwnerOnly);
    ReplaceFileContents(dir.Path() + "plain.txt", "x", FileMode::Default);
    dir.Write("shared.ini", "old");
    ::chmod((dir.Native() / "shared.ini").c_str(), 0640);
    ReplaceFileContents(dir.Path() + "shared.ini", "new", FileMode::OwnerOnly);
    ::umask(oldMask);

    EXPECT_EQ(ModeOf(dir, "secret.ini"), 0600u);
    EXPECT_EQ(ModeOf(dir, "plain.txt"), 0644u);
    EXPECT_EQ(ModeOf(dir, "shared.ini"), 0640u);
    EXPECT_EQ(dir.Read("shared.ini"), "new");
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
    test::TempDir dir;
    dir.Write("config.ini", "[proxy]\r\nport=43\r\n");
    {
        test::FileSizeLimit limit(8);
        try {
            ReplaceFileContents(dir.Path() + "config.ini", std::string(64, 'x'));
            ADD_FAILURE() << "no error raised";
        } catch (const EOSError& e) {
            EXPECT_EQ(e.ErrorCode(), EFBIG);
        }
    }
    EXPECT_EQ(dir.Read("config.ini"), "[proxy]\r\nport=43\r\n");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"config.ini"});
}

TEST(AtomicFile, SymbolicLinkIsFollowed) {
    test::TempDir dir;
    dir.MakeDir("real");
    dir.Write("real/config.ini", "old");
    fs::create_symlink(dir.Native() / "real" / "config.ini", dir.Native() / "config.ini");
    ReplaceFileContents(dir.Path() + "config.ini", "new");
    EXPECT_TRUE(fs::is_symlink(dir.Native() / "config.ini"));
    EXPECT_EQ(dir.Read("real/config.ini"), "new");
}

#endif

} // namespace
} // namespace brinmor
