#include "platform/Path.h"

#include "platform/ExecutableDirectory.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brinmor {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
const char* const ProgramName = "platform_tests.exe";
#else
const char* const ProgramName = "platform_tests";
#endif

// Run from another folder: the working directory, where ctest starts the program, is not it.
TEST(ExecutableDirectory, IsTheFolderHoldingThisProgramWhereverItRuns) {
    test::TempDir elsewhere;
    const fs::path previous = fs::current_path();
    fs::current_path(elsewhere.Path());
    const fs::path program = ExecutablePath();
    const fs::path directory = ExecutableDirectory();
    fs::current_path(previous);
    EXPECT_EQ(program.filename(), ProgramName);
    EXPECT_EQ(directory, program.parent_path());
    EXPECT_TRUE(directory.is_absolute()) << directory;
    EXPECT_TRUE(fs::is_regular_file(directory / ProgramName)) << directory;
    EXPECT_NE(directory, elsewhere.Path());
    EXPECT_EQ(ResultDirectory(), directory / "result");
}

TEST(ExecutableDirectory, OverrideReplacesItUntilCleared) {
    const fs::path real = ExecutableDirectory();
    test::TempDir dir;
    {
        test::ExecutableDirectoryScope scope(dir);
        EXPECT_EQ(ExecutableDirectory(), dir.Path());
    }
    EXPECT_EQ(ExecutableDirectory(), real);
}

// Names with Windows-1252 letters outside ASCII, the euro sign and the oe ligature among them
// (0x80 and 0x9C are not Latin-1).
TEST(FileSystemPath, NonAsciiNamesReachTheDiskAndComeBack) {
    const std::string name = "R\xE9sultat \x80\x9C\xC7.dns";
    test::TempDir dir;
    {
        std::ofstream out(dir.File(name), std::ios::binary);
        out << "x";
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        names.push_back(PathFromFileSystem(entry.path().filename()));
    EXPECT_EQ(names, std::vector<std::string>{name});
    EXPECT_EQ(PathFromFileSystem(FileSystemPath(name)), name);

    // What other programs see on disk: UTF-8 bytes on POSIX, UTF-16 on Windows.
#ifdef _WIN32
    EXPECT_TRUE(fs::exists(dir.Path() / L"R\u00E9sultat \u20AC\u0153\u00C7.dns"));
#else
    EXPECT_TRUE(fs::exists(dir.Path() / "R\xC3\xA9sultat \xE2\x82\xAC\xC5\x93\xC3\x87.dns"));
#endif
}

} // namespace
} // namespace brinmor
