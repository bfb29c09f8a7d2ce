#include "platform/DirectoryEntries.h"

#include "platform/Path.h"
#include "platform/TextFile.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace brinmor {
namespace {

// The names as the program holds text, sorted.
std::vector<std::string> Sorted(const std::vector<std::filesystem::path>& entries) {
    std::vector<std::string> names;
    for (const auto& entry : entries)
        names.push_back(PathFromFileSystem(entry));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(DirectoryEntries, MatchesTheSuffixIgnoringCaseWithHiddenEntriesAndFolders) {
    test::TempDir dir;
    for (const char* name :
         {"a.dns", "B.DNS", ".hidden.dns", ".dns", "c.Dns", "d.dnsx", "e.txt", "dns", "f.dns.bak"})
        dir.Write(name, "x");
    dir.MakeDir("sub.dns");
    dir.Write("M\xE9rignac.dns", "x");
    EXPECT_EQ(Sorted(DirectoryEntries(dir.Path(), ".dns")),
              (std::vector<std::string>{".dns", ".hidden.dns", "B.DNS", "M\xE9rignac.dns", "a.dns",
                                        "c.Dns", "sub.dns"}));
}

TEST(DirectoryEntries, EachNameOpensTheEntryItCameFrom) {
    test::TempDir dir;
    // Another letter case, and a name without a Windows-1252 form: Latin-1 bytes on POSIX,
    // a character outside the code page on Windows.
    std::ofstream(dir.Path() / "Foo.DNS") << "Foo";
#ifdef _WIN32
    const std::filesystem::path odd = L"\x4E2D.dns";
#else
    const std::filesystem::path odd = "caf\xE9.dns";
#endif
    std::ofstream(dir.Path() / odd) << "odd";
    const auto entries = DirectoryEntries(dir.Path(), ".dns");
    ASSERT_EQ(entries.size(), 2u);
    for (const auto& entry : entries) {
        const std::filesystem::path file = dir.Path() / entry;
        TextFileReader reader(file);
        std::string line;
        EXPECT_TRUE(reader.ReadLine(line));
        EXPECT_EQ(line, entry == odd ? "odd" : "Foo");
        reader.Close();
        EXPECT_TRUE(RemoveFile(file));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(DirectoryEntries, AMissingFolderGivesNone) {
    test::TempDir dir;
    EXPECT_TRUE(DirectoryEntries(dir.Path() / "missing", ".dns").empty());
}

} // namespace
} // namespace brinmor
