#include "platform/AtomicFile.h"

#include "platform/DirectoryEntries.h"
#include "platform/Path.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace brinmor {
namespace {

namespace fs = std::filesystem;

// Names in the folder, to catch a temporary file left behind.
std::vector<std::string> Entries(const test::TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFile, CreatesAndReplacesWholeContents) {
    test::TempDir dir;
    ReplaceFileContents(dir.File("a.txt"), "first\r\nversion\r\n");
    EXPECT_EQ(dir.Read("a.txt"), "first\r\nversion\r\n");
    ReplaceFileContents(dir.File("a.txt"), "v2");
    EXPECT_EQ(dir.Read("a.txt"), "v2");
    ReplaceFileContents(dir.File("a.txt"), "");
    EXPECT_EQ(dir.Read("a.txt"), "");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"a.txt"});
}

TEST(AtomicFile, WindowsAnsiNameIsStoredUnderItsNativeName) {
    test::TempDir dir;
    ReplaceFileContents(dir.File("r\xE9sultat.dns"), "x");
    EXPECT_EQ(dir.Read("r\xE9sultat.dns"), "x");
}

// The temporary file's name does not grow with the target's, so a name at the file system's
// limit (255 bytes) is stored like any other.
TEST(AtomicFile, ANameAtTheFileSystemLimitIsStored) {
    test::TempDir dir;
    const std::string name = std::string(251, 'n') + ".dns";
    ReplaceFileContents(dir.File(name), "first");
    ReplaceFileContents(dir.File(name), "second");
    EXPECT_EQ(dir.Read(name), "second");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{name});
}

TEST(AtomicFile, MissingFolderRaisesWithTheSystemCode) {
    test::TempDir dir;
    try {
        ReplaceFileContents(dir.Path() / "absent" / "a.txt", "x");
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
    const std::string skipped = test::AsUnprivilegedUser([] {
        test::TempDir dir;
        dir.Write("config.ini", "old");
        fs::permissions(dir.Path() / "config.ini",
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        EXPECT_THROW(ReplaceFileContents(dir.File("config.ini"), "new"), EOSError);
        EXPECT_EQ(dir.Read("config.ini"), "old");
    });
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

// What a write cut short leaves behind: a temporary file under the name that ReplaceFileContents
// gives it. On Windows, as a running write holds it: open, sharing only its deletion.
constexpr const char* kLeftover = ".brinmor-0123456789abcdef.tmp";

// A successful write leaves the folder alone: listing a large one costs far more than a write.
// A failed write removes them, as the start-up does.
TEST(LeftoverTemporaries, AFailedWriteRemovesThemAndNothingElseASuccessfulOneLeavesThem) {
    test::TempDir dir;
    std::vector<std::string> kept = {
        ".brinmor-0123456789ABCDEF.tmp",   ".brinmor-0123456789abcde.tmp",
        ".brinmor-0123456789abcdef.tmpx",  "brinmor-0123456789abcdef.tmp",
        ".a.dns.1f2e3d4c5b6a7988-0-0.tmp", "notes.tmp",
    };
    for (const std::string& name : kept)
        dir.Write(name, "not the program's");
    dir.MakeDir(".brinmor-00000000000000ff.tmp");
    kept.push_back(".brinmor-00000000000000ff.tmp");
#ifndef _WIN32
    dir.Write("linked.txt", "x");
    fs::create_symlink("linked.txt", dir.Path() / ".brinmor-1111111111111111.tmp");
    kept.insert(kept.end(), {".brinmor-1111111111111111.tmp", "linked.txt"});
#endif
    dir.MakeDir("folder.dns");
    kept.insert(kept.end(), {"a.dns", "folder.dns"});
    std::sort(kept.begin(), kept.end());
    std::vector<std::string> all = kept;
    // Not kLeftover: where letter case is ignored, it names the upper-case file above.
    for (const char* leftover :
         {".brinmor-0011223344556677.tmp", ".brinmor-fedcba9876543210.tmp"}) {
        dir.Write(leftover, "half a result");
        all.push_back(leftover);
    }
    std::sort(all.begin(), all.end());

    ReplaceFileContents(dir.File("a.dns"), "x");
    EXPECT_EQ(Entries(dir), all);
    EXPECT_THROW(ReplaceFileContents(dir.File("folder.dns"), "x"), EOSError);
    EXPECT_EQ(Entries(dir), kept);
}

#ifdef _WIN32
TEST(LeftoverTemporaries, OneThatARunningWriteHoldsStays) {
    test::TempDir dir;
    dir.Write(kLeftover, "half");
    const HANDLE held = CreateFileW((dir.Path() / kLeftover).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RemoveLeftoverTemporaryFiles(dir.Path());
    EXPECT_TRUE(dir.Exists(kLeftover));
    CloseHandle(held);
    RemoveLeftoverTemporaryFiles(dir.Path());
    EXPECT_TRUE(Entries(dir).empty());
}
#endif

#ifndef _WIN32

void StopHere(int) {
    raise(SIGSTOP);
}

// A child process, killed and reaped at the latest when the object goes, so that a failed
// check never leaves it stopped for good.
class Child {
public:
    explicit Child(pid_t pid) : pid_(pid) {}
    ~Child() { Kill(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_;
};

// A real write, cut short by the file-size limit's signal: stopped, it still owns its
// temporary file, which a cleanup leaves alone; killed, the file is a leftover and goes.
TEST(LeftoverTemporaries, AWriteCutShortKeepsItsFileWhileItLivesOnly) {
    test::TempDir dir;
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        std::signal(SIGXFSZ, StopHere);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            ReplaceFileContents(dir.File("big.dns"), std::string(1 << 20, 'x'));
        } catch (...) {
        }
        _exit(0);
    }
    Child child(writer);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, WUNTRACED), writer);
    ASSERT_TRUE(WIFSTOPPED(status));
    const std::vector<std::string> held = Entries(dir);
    ASSERT_EQ(held.size(), 1u);
    EXPECT_TRUE(DirectoryEntries(dir.Path(), ".dns").empty()) << "never listed as a result";

    RemoveLeftoverTemporaryFiles(dir.Path());
    EXPECT_EQ(Entries(dir), held);

    child.Kill();
    RemoveLeftoverTemporaryFiles(dir.Path());
    EXPECT_TRUE(Entries(dir).empty());
}

// As NFS version 4, which takes flock's locks through its own: an exclusive lock needs a
// descriptor open for writing.
int LockAsNfs(int fd, int operation) {
    if ((operation & LOCK_EX) != 0 && (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_RDONLY) {
        errno = EBADF;
        return -1;
    }
    return ::flock(fd, operation);
}

TEST(LeftoverTemporaries, GoWhereLocksNeedAWritableDescriptorUnlessAWriteHoldsThem) {
    test::TempDir dir;
    dir.Write(kLeftover, "half a result");
    const std::string held = ".brinmor-1111111111111111.tmp";
    dir.Write(held, "being written");
    const int fd = ::open((dir.Path() / held).c_str(), O_WRONLY);
    ASSERT_EQ(LockAsNfs(fd, LOCK_EX), 0);
    SetFileLockCallForTesting(LockAsNfs);
    RemoveLeftoverTemporaryFiles(dir.Path());
    SetFileLockCallForTesting(nullptr);
    ::close(fd);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{held});
}

mode_t ModeOf(const test::TempDir& dir, const std::string& name) {
    struct stat info {};
    EXPECT_EQ(::stat((dir.Path() / name).c_str(), &info), 0);
    return info.st_mode & 07777;
}

TEST(AtomicFile, NewFileModeAndExistingModeKept) {
    test::TempDir dir;
    const mode_t oldMask = ::umask(022);
    ReplaceFileContents(dir.File("secret.ini"), "x", FileMode::OwnerOnly);
    ReplaceFileContents(dir.File("plain.txt"), "x", FileMode::Default);
    dir.Write("shared.ini", "old");
    ::chmod((dir.Path() / "shared.ini").c_str(), 0640);
    ReplaceFileContents(dir.File("shared.ini"), "new", FileMode::OwnerOnly);
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
            ReplaceFileContents(dir.File("config.ini"), std::string(64, 'x'));
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
    fs::create_symlink(dir.Path() / "real" / "config.ini", dir.Path() / "config.ini");
    ReplaceFileContents(dir.File("config.ini"), "new");
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "config.ini"));
    EXPECT_EQ(dir.Read("real/config.ini"), "new");
}

#endif

} // namespace
} // namespace brinmor
