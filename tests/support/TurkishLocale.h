#pragma once

#include "support/TempDir.h"

#include <string>

namespace brinmor::test {

// An 8-bit Turkish C locale (tr_TR, ISO-8859-9) for LC_CTYPE, built into a temporary folder:
// there std::toupper makes 'i' a dotted capital (DD) and the dotless small i (FD) an 'I', and
// std::tolower makes 'I' that dotless i. The previous locale comes back when the object goes.
// POSIX only.
class TurkishLocale {
public:
    TurkishLocale();
    ~TurkishLocale();
    TurkishLocale(const TurkishLocale&) = delete;
    TurkishLocale& operator=(const TurkishLocale&) = delete;

    // False, with the locale unchanged, where localedef could not build it: skip the test.
    bool Set();

private:
    TempDir dir_;
    std::string saved_;
};

} // namespace brinmor::test
