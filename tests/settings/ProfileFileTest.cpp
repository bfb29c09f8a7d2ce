#include "settings/ProfileFile.h"

#include "platform/Path.h"
#include "settings/IniFiles.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace brinmor {
namespace {

struct ReadCase {
    const char* what;
    std::optional<std::string> file; // nothing: no file at all
    std::string section;
    std::string key;
    std::string defaultValue;
    std::string expected;
};

TEST(ReadProfileString, FollowsTheWindowsRules) {
    const std::string longValue(3000, 'v');
    const ReadCase cases[] = {
        {"no file", std::nullopt, "proxy", "port", "43", "43"},
        {"no section", "[other]\r\nport=1\r\n", "proxy", "port", "43", "43"},
        {"no key", "[proxy]\r\nlogin=x\r\n", "proxy", "port", "43", "43"},
        {"empty value is not the default", "[proxy]\r\nport=\r\n", "proxy", "port", "43", ""},
        {"blanks around value", "[proxy]\r\nuseit= oui \r\n", "proxy", "useit", "non", "oui"},
        {"letter case of value kept", "[proxy]\r\nuseit=OUI\r\n", "proxy", "useit", "non", "OUI"},
        {"names ignore case", "[PROXY]\r\nPort=1\r\n", "proxy", "pORT", "43", "1"},
        {"accented names ignore case", "[R\xC9SEAU]\r\nCl\xC9=1\r\n", "r\xE9seau", "cl\xE9", "",
         "1"},
        {"LF line ends", "[proxy]\nadresse=h\nport=2\n", "proxy", "port", "", "2"},
        {"CR line ends", "[proxy]\rport=3\r", "proxy", "port", "", "3"},
        {"blank lines and indented lines", "\r\n  \r\n  [proxy]  \r\n\r\n\t port=4 \r\n", "proxy",
         "port", "", "4"},
        {"double quotes removed, inside kept", "[p]\r\nk=\"  a b  \"\r\n", "p", "k", "", "  a b  "},
        {"single quotes removed", "[p]\r\nk='x'\r\n", "p", "k", "", "x"},
        {"mismatched quotes stay", "[p]\r\nk='x\"\r\n", "p", "k", "", "'x\""},
        {"one quote alone stays", "[p]\r\nk=\"\r\n", "p", "k", "", "\""},
        {"only the outer pair goes", "[p]\r\nk=\"\"x\"\"\r\n", "p", "k", "", "\"x\""},
        {"quotes inside stay", "[p]\r\nk=a\"b\"\r\n", "p", "k", "", "a\"b\""},
        {"value split at the first equals", "[p]\r\nk=b=c\r\n", "p", "k", "", "b=c"},
        {"tab and vertical tab trimmed", "[p]\r\n\tk\v=\t5\v\r\n", "p", "k", "", "5"},
        {"blanks inside brackets", "[ p\t]\r\nk=6\r\n", "p", "k", "", "6"},
        {"text after the bracket ignored", "[p] ; note\r\nk=7\r\n", "p", "k", "", "7"},
        {"missing bracket tolerated", "[p\r\nk=8\r\n", "p", "k", "", "8"},
        {"comment line", "[p]\r\n;k=1\r\n", "p", "k", "d", "d"},
        {"semicolon inside a value is data", "[p]\r\nk=1 ; x\r\n", "p", "k", "", "1 ; x"},
        {"hash is data", "[p]\r\n#k=1\r\n", "p", "#k", "", "1"},
        {"line without equals is no entry", "[p]\r\nk\r\n", "p", "k", "d", "d"},
        {"entries before any section unreachable", "k=1\r\n[p]\r\n", "p", "k", "d", "d"},
        {"first section of a name only", "[p]\r\na=1\r\n[p]\r\nk=2\r\n", "p", "k", "d", "d"},
        {"first key wins", "[p]\r\nk=1\r\nK=2\r\n", "p", "k", "", "1"},
        {"UTF-8 mark before the first section", "\xEF\xBB\xBF[p]\r\nk=9\r\n", "p", "k", "", "9"},
        {"spaces trimmed from names asked", "[p]\r\nk=1\r\n", " p ", "  k ", "", "1"},
        {"only spaces trimmed from names asked", "[p]\r\nk=1\r\n", "p", "k\t", "d", "d"},
        {"default loses trailing spaces only", std::nullopt, "p", "k", "  d  ", "  d"},
        {"long value cut", "[p]\r\nk=" + longValue + "\r\n", "p", "k", "",
         longValue.substr(0, 2047)},
        {"long default cut", std::nullopt, "p", "k", longValue, longValue.substr(0, 2047)},
    };
    for (const ReadCase& c : cases) {
        test::TempDir dir;
        if (c.file)
            dir.Write("config.ini", *c.file);
        EXPECT_EQ(ReadProfileString(c.section, c.key, c.defaultValue, dir.File("config.ini")),
                  c.expected)
            << c.what;
    }
}

struct WriteCase {
    const char* what;
    std::optional<std::string> file;
    std::string section;
    std::string key;
    std::string value;
    std::string expected;
};

TEST(WriteProfileString, ChangesOnlyWhatItMust) {
    const WriteCase cases[] = {
        {"creates a missing file", std::nullopt, "proxy", "adresse", "h",
         "[proxy]\r\nadresse=h\r\n"},
        {"fills an empty file", "", "proxy", "port", "1", "[proxy]\r\nport=1\r\n"},
        {"value kept as given", std::nullopt, "p", "k", " a b ", "[p]\r\nk= a b \r\n"},
        {"replaces in place with the file's spelling", "[Proxy]\r\n  Port = 43 \r\nlogin=x\r\n",
         "proxy", "port", "80", "[Proxy]\r\nPort=80\r\nlogin=x\r\n"},
        {"new key after the section's last key",
         "[proxy]\r\na=1\r\n; c\r\n\r\n[language]\r\ncode=en\r\n", "proxy", "b", "2",
         "[proxy]\r\na=1\r\nb=2\r\n; c\r\n\r\n[language]\r\ncode=en\r\n"},
        {"new key before blank lines", "[proxy]\r\na=1\r\n\r\n[x]\r\n", "proxy", "b", "2",
         "[proxy]\r\na=1\r\nb=2\r\n\r\n[x]\r\n"},
        {"new key under a heading without keys", "[proxy]\r\n; c\r\n[x]\r\n", "proxy", "b", "2",
         "[proxy]\r\nb=2\r\n; c\r\n[x]\r\n"},
        {"heading at the end without line end", "[proxy]", "proxy", "b", "2", "[proxy]\r\nb=2\r\n"},
        {"last key without line end", "[proxy]\r\na=1", "proxy", "b", "2",
         "[proxy]\r\na=1\r\nb=2\r\n"},
        {"rewritten key on a last line without line end", "[proxy]\r\na=1", "proxy", "a", "2",
         "[proxy]\r\na=2\r\n"},
        {"same value on a last line without line end", "[proxy]\r\na=1", "proxy", "a", "1",
         "[proxy]\r\na=1"},
        {"new section at the end", "[language]\r\ncode=en\r\n", "proxy", "b", "2",
         "[language]\r\ncode=en\r\n[proxy]\r\nb=2\r\n"},
        {"new section after a line without line end", "[language]\r\ncode=en", "proxy", "b", "2",
         "[language]\r\ncode=en\r\n[proxy]\r\nb=2\r\n"},
        {"LF lines stay as they are", "[proxy]\na=1\n[x]\ny=1\n", "proxy", "b", "2",
         "[proxy]\na=1\nb=2\r\n[x]\ny=1\n"},
        {"first of two sections of a name", "[p]\r\na=1\r\n[p]\r\na=2\r\n", "p", "a", "3",
         "[p]\r\na=3\r\n[p]\r\na=2\r\n"},
        {"entries before any section untouched", "a=1\r\n[p]\r\n", "p", "a", "2",
         "a=1\r\n[p]\r\na=2\r\n"},
        {"odd lines kept byte for byte", ";c\r\n[p]\r\n junk \r\n k = 1 ;x\r\n[q] z\r\nk=1\r\n",
         "p", "k", "2", ";c\r\n[p]\r\n junk \r\nk=2\r\n[q] z\r\nk=1\r\n"},
    };
    for (const WriteCase& c : cases) {
        test::TempDir dir;
        if (c.file)
            dir.Write("config.ini", *c.file);
        EXPECT_TRUE(WriteProfileString(c.section, c.key, c.value, dir.File("config.ini")))
            << c.what;
        EXPECT_EQ(dir.Read("config.ini"), c.expected) << c.what;
    }
}

TEST(WriteProfileString, WhatIsWrittenReadsBack) {
    test::TempDir dir;
    const std::filesystem::path path = dir.File("config.ini");
    const std::string password = "p\xE9 ;#=[x]";
    ASSERT_TRUE(WriteProfileString("proxy", "password", password, path));
    ASSERT_TRUE(WriteProfileString("proxy", "login", "  me  ", path));
    EXPECT_EQ(ReadProfileString("proxy", "password", "", path), password);
    EXPECT_EQ(ReadProfileString("proxy", "login", "", path), "me");
}

// A line break would end the line early and leave the rest as a stray line or section.
TEST(WriteProfileString, RefusesLineBreaksAndLeavesTheFileAlone) {
    const std::string before = "[proxy]\r\npassword=old\r\n";
    const std::array<std::string, 3> cases[] = {
        {"proxy", "password", "sec\nret"},
        {"proxy", "password", "sec\rret"},
        {"proxy", "password", "x\r\n[language]\r\ncode=en"},
        {"proxy", "pass\nword", "x"},
        {"proxy]\r\n[language", "code", "en"},
    };
    for (const auto& [section, key, value] : cases) {
        test::TempDir dir;
        dir.Write("config.ini", before);
        EXPECT_FALSE(WriteProfileString(section, key, value, dir.File("config.ini")))
            << testing::PrintToString(section + "|" + key + "|" + value);
        EXPECT_EQ(dir.Read("config.ini"), before);
    }
    test::TempDir dir;
    EXPECT_THROW(TIniFile(dir.File("config.ini")).WriteString("proxy", "password", "a\nb"),
                 EIniFileException);
    EXPECT_FALSE(dir.Exists("config.ini"));
}

// A line that no read would find again is lost, and every later write would add another.
TEST(WriteProfileString, RefusesNamesThatCouldNotBeReadBack) {
    const std::string before = "[proxy]\r\nport=1080\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"a]b", "k"},    {"\v", "k"},      {"p\t", "k"},     {"proxy", "k=x"}, {"proxy", ";k"},
        {"proxy", "[k"}, {"proxy", "\tk"}, {"proxy", "k\v"}, {"proxy", "\fk"},
    };
    for (const auto& [section, key] : cases) {
        test::TempDir dir;
        dir.Write("config.ini", before);
        EXPECT_FALSE(WriteProfileString(section, key, "v", dir.File("config.ini")))
            << testing::PrintToString(section + "|" + key);
        EXPECT_EQ(dir.Read("config.ini"), before);
    }
    // Blanks inside, a "]" in a key and "=" or ";" in a section name are read back.
    test::TempDir dir;
    const std::filesystem::path path = dir.File("config.ini");
    for (const auto& [section, key] :
         {std::pair<std::string, std::string>{"a b", "k\tl"}, {"s=;", "k]"}, {"\f", "k\f"}}) {
        ASSERT_TRUE(WriteProfileString(section, key, "v", path)) << section << "|" << key;
        EXPECT_EQ(ReadProfileString(section, key, "", path), "v") << section << "|" << key;
    }
}

// The executable's folder, and so config.ini's, may have any name.
TEST(WriteProfileString, WorksInAFolderWithANonAsciiName) {
    test::TempDir dir;
    const std::string folder = "Donn\xE9"
                               "es \x80";
    dir.MakeDir(folder);
    const std::filesystem::path path = dir.File(folder) / "config.ini";
    ASSERT_TRUE(WriteProfileString("proxy", "port", "1080", path));
    ASSERT_TRUE(WriteProfileString("proxy", "port", "1081", path));
    EXPECT_EQ(ReadProfileString("proxy", "port", "", path), "1081");
    EXPECT_EQ(dir.Read(folder + "/config.ini"), "[proxy]\r\nport=1081\r\n");
}

TEST(TIniFile, FiveWritesIntoAMissingFileMakeOneSection) {
    test::TempDir dir;
    const TIniFile ini(dir.File("config.ini"));
    ini.WriteString("proxy", "adresse", "127.0.0.1");
    ini.WriteString("proxy", "port", "1080");
    ini.WriteString("proxy", "login", "moi");
    ini.WriteString("proxy", "password", "secret");
    ini.WriteString("proxy", "useit", "oui");
    EXPECT_EQ(dir.Read("config.ini"), "[proxy]\r\nadresse=127.0.0.1\r\nport=1080\r\nlogin=moi\r\n"
                                      "password=secret\r\nuseit=oui\r\n");
    EXPECT_EQ(ini.ReadString("PROXY", "UseIt", "non"), "oui");
#ifndef _WIN32
    struct stat info {};
    ASSERT_EQ(::stat((dir.Path() / "config.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "the file holds a password";
#endif
}

TEST(TIniFile, AFolderInPlaceOfTheFileReadsDefaultsAndRefusesWrites) {
    test::TempDir dir;
    dir.MakeDir("config.ini");
    const TIniFile ini(dir.File("config.ini"));
    EXPECT_EQ(ini.ReadString("proxy", "port", "43"), "43");
    EXPECT_FALSE(WriteProfileString("proxy", "port", "1", ini.FileName()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "config.ini"));
}

#ifndef _WIN32
TEST(TIniFile, ReadOnlyFolderRefusesTheWriteAndKeepsTheFile) {
    const std::string skipped = test::AsUnprivilegedUser([] {
        test::TempDir dir;
        dir.Write("config.ini", "[proxy]\r\nport=43\r\n");
        namespace fs = std::filesystem;
        fs::permissions(dir.Path(),
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        if (std::FILE* probe = std::fopen((dir.Path() / "probe").c_str(), "w")) {
            std::fclose(probe);
            GTEST_SKIP() << "this user writes into read-only folders";
        }
        EXPECT_THROW(TIniFile(dir.File("config.ini")).WriteString("proxy", "port", "80"),
                     EIniFileException);
        EXPECT_EQ(dir.Read("config.ini"), "[proxy]\r\nport=43\r\n");
    });
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

TEST(TIniFile, FailedWriteRaisesAndLeavesTheFileIntact) {
    test::TempDir dir;
    const std::string before = "[language]\r\ncode=en\r\n[proxy]\r\nport=43\r\n";
    dir.Write("config.ini", before);
    const TIniFile ini(dir.File("config.ini"));
    test::FileSizeLimit limit(before.size()); // as a full disk would
    try {
        ini.WriteString("proxy", "adresse", "a long enough value");
        ADD_FAILURE() << "no error raised";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Impossible d'\xE9"
                               "crire dans " +
                                   PathFromFileSystem(dir.File("config.ini")));
    }
    EXPECT_EQ(dir.Read("config.ini"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}
#endif

} // namespace
} // namespace brinmor
