#include "rdap/AceName.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace brinmor {
namespace {

TEST(AceName, ConvertsOnlyNamesBeyondAsciiThatHaveAnALabel) {
    const std::pair<std::string, std::string> cases[] = {
        {"caf\xE9.fr", "xn--caf-dma.fr"},
        // Non-transitional: the sharp s stays a letter of its own.
        {"stra\xDF"
         "e.de",
         "xn--strae-oqa.de"},
        // Windows-1252, not Latin-1: 0x9C is the ligature.
        {"\x9Cuvre.fr", "xn--uvre-f4a.fr"},
        {"Caf\xC9.FR", "xn--caf-dma.fr"},
        // All ASCII goes out as typed, letter case and all; so does what has no A-label.
        {"A.Com", "A.Com"},
        {"?????.ru", "?????.ru"},
        {"a\xA0"
         "b.fr",
         "a\xA0"
         "b.fr"},
    };
    for (const auto& [name, ace] : cases)
        EXPECT_EQ(AceName(name), ace) << name;
}

} // namespace
} // namespace brinmor
