#pragma once

#include <QLocale>

namespace brinmor::test {

// Makes sure a QApplication exists (the tests run it on the offscreen platform), with the
// program's title and the designed font as start-up sets them.
void EnsureApplication();

// The user's locale, as the program reads it, for the object's lifetime.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(saved_); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

private:
    QLocale saved_;
};

} // namespace brinmor::test
