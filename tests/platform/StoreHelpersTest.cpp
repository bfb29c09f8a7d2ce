#include "platform/DateTimeText.h"
#include "platform/DirectoryEntries.h"
#include "platform/Exceptions.h"
#include "platform/Path.h"
#include "platform/ResultName.h"
#include "platform/TextFile.h"
#include "platform/Utf8Text.h"
#include "support/TempDir.h"
#include "support/TurkishLocale.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace brinmor {
namespace {

std::tm At(int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_wday = 2;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(DateTimeText, LeavesTheTimeOutOnlyAtMidnight) {
    const char* date = "%d/%m/%Y";
    const char* time = "%H:%M:%S";
    EXPECT_EQ(ComposeDateTimeText(At(7, 59, 17), date, time), "08/12/2026 07:59:17");
    EXPECT_EQ(ComposeDateTimeText(At(0, 0, 0), date, time), "08/12/2026");
    EXPECT_EQ(ComposeDateTimeText(At(0, 0, 1), date, time), "08/12/2026 00:00:01");
    EXPECT_EQ(ComposeDateTimeText(At(12, 0, 0), date, time), "08/12/2026 12:00:00");
}

#ifndef _WIN32
// Sets one environment variable for the scope and puts the old value back.
class EnvScope {
public:
    EnvScope(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvScope() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(DateTimeText, FollowsTheLcTimeLocale) {
    const EnvScope all("LC_ALL", nullptr);
    const EnvScope time("LC_TIME", "C");
    EXPECT_EQ(DateTimeText(At(7, 59, 17)), "12/08/26 07:59:17");
    EXPECT_EQ(DateTimeText(At(0, 0, 0)), "12/08/26");
}
#endif

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

int NameCheckCode(const std::string& name) {
    try {
        CheckResultFileName(name);
    } catch (const EInOutError& e) {
        return e.ErrorCode();
    }
    return 0;
}

TEST(ResultName, RefusesNamesThatLeaveTheFolderOrThatWindowsRefuses) {
    const std::pair<std::string, int> cases[] = {
        {"example.com.dns", 0}, {".dns", 0},       {"caf\xE9 x.dns", 0},
        {"../x.dns", 3},        {"a/b.dns", 3},    {"a\\b.dns", 3},
        {"a<b.dns", 123},       {"a>b.dns", 123},  {"a:b.dns", 123},
        {"a\"b.dns", 123},      {"a|b.dns", 123},  {"a?b.dns", 123},
        {"a*b.dns", 123},       {"a\tb.dns", 123}, {std::string("a\0b.dns", 7), 123},
        {"a\x1F.dns", 123},     {"a\x7F.dns", 0},
    };
    for (const auto& [name, code] : cases)
        EXPECT_EQ(NameCheckCode(name), code) << testing::PrintToString(name);
}

// Such names would stand for result/ itself or its parent, not for a file inside it.
TEST(ResultName, RefusesNamesOfTheFolderAndItsParent) {
    for (const char* name : {"", ".", ".."})
        EXPECT_EQ(NameCheckCode(name), 3) << '"' << name << '"';
    EXPECT_EQ(NameCheckCode("..."), 0);
}

TEST(ResultName, KnowsWindowsDeviceNames) {
    // B9, B2 and B3 are the superscript digits 1, 2 and 3 in Windows-1252.
    for (const char* name :
         {"CON.dns",      "con.dns",       "Prn.dns",     "aux.x.dns",  "NUL.dns",
          "COM1.dns",     "com9.dns",      "LPT1.dns",    "lpt9.dns",   "COM\xB9.dns",
          "com\xB2.dns",  "Lpt\xB3.x.dns", "lpt\xB9.dns", "CONIN$.dns", "conin$.dns",
          "CONOUT$.dns",  "ConOut$.a.dns", "nul .dns",    "COM1 .dns",  "aux. .dns",
          "Con   .x.dns", "lpt\xB2 .dns",  "conout$ .dns"})
        EXPECT_TRUE(IsWindowsDeviceName(name)) << name;
    for (const char* name :
         {"CONS.dns", "xcon.dns", "COM0.dns", "COM10.dns", "LPT.dns", "example.com.dns", ".dns",
          "COM\xB4.dns", "LPT\xB9\xB9.dns", "COM\xBC.dns", "CONIN.dns", "CONOUT.dns", "CONIN$$.dns",
          "xCONOUT$.dns", " nul.dns", "nul x.dns", "com 1.dns", "aux\xA0.dns", " .dns"})
        EXPECT_FALSE(IsWindowsDeviceName(name)) << name;
#ifdef _WIN32
    for (const char* name : {"con.dns", "COM\xB9.dns", "conout$.dns"})
        EXPECT_EQ(NameCheckCode(name), 123) << name;
#endif
}

#ifndef _WIN32
// A Turkish 8-bit locale upper-cases 'i' to the dotted capital (DD) and the dotless small i
// (FD, a y with acute in Windows-1252) to 'I'. Device names know only ASCII letters.
TEST(ResultName, DeviceNamesIgnoreTheLocalesLetterCase) {
    test::TurkishLocale turkish;
    if (!turkish.Set())
        GTEST_SKIP() << "localedef could not build the Turkish locale";
    EXPECT_TRUE(IsWindowsDeviceName("conin$.dns"));
    EXPECT_FALSE(IsWindowsDeviceName("con\xFDn$.dns"));
}
#endif

TEST(Utf8Text, TellsWellFormedUtf8AndNonAsciiText) {
    struct Case {
        std::string bytes;
        bool valid;
        bool nonAscii;
    };
    const Case cases[] = {
        {"", true, false},
        {"plain ascii\r\n", true, false},
        {"M\xC3\xA9rignac", true, true},
        {"\xE2\x82\xAC and \xF0\x9F\x98\x80", true, true},
        {"M\xE9rignac", false, true},      // Windows-1252
        {"\xC3", false, true},             // cut short
        {"\xC0\xAF", false, true},         // overlong
        {"\xE0\x80\xAF", false, true},     // overlong
        {"\xED\xA0\x80", false, true},     // surrogate
        {"\xF4\x90\x80\x80", false, true}, // above U+10FFFF
        {"\xC3\xA9\xE9", false, true},     // valid, then not
        {"\xE2\x82", false, true},         // cut short
        {"\xF0\x9F\x98"
         "a",
         false, true}, // bad continuation
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
        EXPECT_EQ(HasNonAscii(c.bytes), c.nonAscii) << testing::PrintToString(c.bytes);
    }
}

} // namespace
} // namespace brinmor
