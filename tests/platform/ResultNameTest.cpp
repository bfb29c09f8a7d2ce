#include "platform/ResultName.h"

#include "platform/Exceptions.h"
#include "support/TurkishLocale.h"

#include <gtest/gtest.h>

namespace brinmor {
namespace {

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

} // namespace
} // namespace brinmor
