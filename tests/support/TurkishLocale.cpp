#include "support/TurkishLocale.h"

#include <clocale>
#include <cstdlib>

namespace brinmor::test {

namespace {

constexpr const char* kLocale = "tr_TR.ISO-8859-9";

} // namespace

TurkishLocale::TurkishLocale() : saved_(std::setlocale(LC_CTYPE, nullptr)) {}

TurkishLocale::~TurkishLocale() {
    std::setlocale(LC_CTYPE, saved_.c_str());
    ::unsetenv("LOCPATH");
}

bool TurkishLocale::Set() {
    const std::string build = "localedef -i tr_TR -f ISO-8859-9 '" +
                              (dir_.Path() / kLocale).string() + "' >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0)
        return false;
    ::setenv("LOCPATH", dir_.Path().c_str(), 1);
    return std::setlocale(LC_CTYPE, kLocale) != nullptr;
}

} // namespace brinmor::test
