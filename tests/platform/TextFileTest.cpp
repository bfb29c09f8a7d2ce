#include "platform/TextFile.h"

#include "platform/Exceptions.h"
#include "platform/FileError.h"
#include "support/TempDir.h"

#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <map>

#ifdef _WIN32
#include <windows.h>
#endif

namespace brinmor {
namespace {

using test::TempDir;

std::vector<std::string> ReadAll(const std::filesystem::path& path) {
    TextFileReader reader(path);
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line))
        lines.push_back(line);
    reader.Close();
    return lines;
}

int CodeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EInOutError& e) {
        return e.ErrorCode();
    }
    return 0;
}

TEST(TextFileReader, FollowsTheLineRules) {
    using Lines = std::vector<std::string>;
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb\r\n", {"a\nb"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\n\r\n\n", {"a\n", "\n"}},
        {"ab\x1A"
         "cd\r\n",
         {"ab"}},
        {"a\r\n\x1A"
         "b\r\n",
         {"a"}},
        {"\x1A"
         "a",
         {}},
        {std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
    };
    TempDir dir;
    for (const auto& [bytes, expected] : cases) {
        dir.Write("f.txt", bytes);
        EXPECT_EQ(ReadAll(dir.File("f.txt")), expected) << testing::PrintToString(bytes);
    }
}

TEST(TextFileReader, LinesCrossBufferEdges) {
    // A CR at the end of one buffer with its LF at the start of the next, and a line longer
    // than a buffer.
    const std::size_t buffer = 64 * 1024;
    const std::string first(buffer - 1, 'x');
    const std::string longLine(3 * buffer + 17, 'y');
    TempDir dir;
    dir.Write("f.txt", first + "\r\n" + longLine + "\r\nz");
    EXPECT_EQ(ReadAll(dir.File("f.txt")), (std::vector<std::string>{first, longLine, "z"}));
}

TEST(TextFileReader, OpenFailuresCarryWindowsCodes) {
    TempDir dir;
    dir.MakeDir("sub.dns");
    EXPECT_EQ(CodeOf([&] { TextFileReader r(dir.File("missing.txt")); }), 2);
    EXPECT_EQ(CodeOf([&] { TextFileReader r(dir.File("nofolder/x.txt")); }), 3);
    EXPECT_EQ(CodeOf([&] { TextFileReader r(dir.File("sub.dns")); }), 5);
}

// Windows refuses a wildcard in a file name (123, invalid name); elsewhere it is just a name
// that is not there.
TEST(TextFileReader, NameWithAWildcardFailsAsTheSystemSays) {
    TempDir dir;
#ifdef _WIN32
    const int expected = 123;
#else
    const int expected = 2;
#endif
    EXPECT_EQ(CodeOf([&] { TextFileReader r(dir.File("a?b.txt")); }), expected);
}

TEST(RemoveFile, RemovesFilesOnly) {
    TempDir dir;
    dir.Write("a.dns", "x");
    dir.MakeDir("sub.dns");
    EXPECT_TRUE(RemoveFile(dir.File("a.dns")));
    EXPECT_FALSE(dir.Exists("a.dns"));
    EXPECT_FALSE(RemoveFile(dir.File("a.dns")));
    EXPECT_FALSE(RemoveFile(dir.File("sub.dns")));
    EXPECT_TRUE(dir.Exists("sub.dns"));
}

#ifndef _WIN32

// Every errno a file call can give reads as its Windows counterpart; any other as 1287
// (ERROR_UNIDENTIFIED_ERROR), so no errno number is shown as if it were a Windows code.
TEST(FileError, MapsEveryErrnoToAWindowsCode) {
    TempDir dir;
    std::map<int, int> cases = {
        {ENOTDIR, 3},       {EMFILE, 4},         {ENFILE, 4},        {EACCES, 5},
        {EPERM, 5},         {EROFS, 5},          {EISDIR, 5},        {EBADF, 6},
        {ENOMEM, 8},        {EXDEV, 17},         {ETXTBSY, 32},      {EAGAIN, 33},
        {EDEADLK, 33},      {ENOLCK, 36},        {EOPNOTSUPP, 50},   {ENXIO, 55},
        {ENODEV, 55},       {EEXIST, 80},        {EINVAL, 87},       {ENOSPC, 101},
        {EDQUOT, 101},      {EPIPE, 109},        {EILSEQ, 123},      {ENOTEMPTY, 145},
        {EBUSY, 170},       {ENAMETOOLONG, 206}, {EFBIG, 223},       {EOVERFLOW, 223},
        {EFAULT, 487},      {EINTR, 995},        {ECANCELED, 995},   {ESTALE, 1006},
        {EIO, 1117},        {EMLINK, 1142},      {ETIMEDOUT, 1460},  {ELOOP, 1921},
        {ENOTCONN, 59},     {ECONNRESET, 59},    {ECONNREFUSED, 59}, {EHOSTDOWN, 59},
        {EHOSTUNREACH, 59}, {ENETDOWN, 59},      {ENETUNREACH, 59},  {EBADMSG, 23},
    };
#ifdef EREMOTEIO
    cases[EREMOTEIO] = 59;
#endif
#ifdef EUCLEAN
    cases[EUCLEAN] = 1392; // a corrupt file system
#endif
    for (int error = 0; error < 256; ++error) {
        if (error == ENOENT)
            continue;
        const auto known = cases.find(error);
        EXPECT_EQ(WindowsFileErrorCode(error, dir.File("f")),
                  known == cases.end() ? 1287 : known->second)
            << error;
    }
    EXPECT_EQ(WindowsFileErrorCode(ENOENT, dir.File("f")), 2);
    EXPECT_EQ(WindowsFileErrorCode(ENOENT, dir.File("missing/f")), 3);
}

#else

TEST(FileError, ReadsAFullDiskAsDiskFullAndKeepsOtherWindowsCodes) {
    const std::pair<int, int> cases[] = {
        {ERROR_DISK_FULL, 101},   {ERROR_HANDLE_DISK_FULL, 101}, {ERROR_FILE_NOT_FOUND, 2},
        {ERROR_ACCESS_DENIED, 5}, {ERROR_SHARING_VIOLATION, 32}, {ERROR_FILE_TOO_LARGE, 223},
    };
    for (const auto& [error, code] : cases)
        EXPECT_EQ(WindowsFileErrorCode(error, "f"), code) << error;
}

#endif

} // namespace
} // namespace brinmor
