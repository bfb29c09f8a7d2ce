// The list order elsewhere: Qt's collator for the user's locale.
#include "widgets/ListOrder.h"

namespace brinmor {

namespace {

// The C locale names no language, and Qt's collator then orders code points, letter case
// included. English has no rules of its own: it gives the language-neutral order.
QLocale UserLocale() {
    const QLocale locale = QLocale().collation();
    return locale.language() == QLocale::C ? QLocale(QLocale::English) : locale;
}

} // namespace

bool ListOrder::KeyLess(const Key& a, const Key& b) {
    return a.compare(b) < 0;
}

ListOrder::Key ListOrder::NewKey(const QString& text) const {
    return collator_.sortKey(text);
}

void ListOrder::FollowUserLocale() {
    const QLocale locale = UserLocale();
    if (locale == collator_.locale())
        return;
    collator_ = QCollator(locale);
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    Forget();
}

} // namespace brinmor
