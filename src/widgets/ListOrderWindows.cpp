// The list order on Windows: CompareStringEx's, through the sort keys LCMapStringEx makes.
#include "widgets/ListOrder.h"

#include <windows.h>

namespace brinmor {

namespace {

constexpr DWORD kIgnoreCase = NORM_IGNORECASE;

int MakeSortKey(const wchar_t* text, wchar_t* key, int size) {
    return LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | kIgnoreCase, text, -1, key, size,
                         nullptr, nullptr, 0);
}

const wchar_t* Wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

} // namespace

bool ListOrder::KeyLess(const Key& a, const Key& b) {
    if (!a.bytes.isEmpty() && !b.bytes.isEmpty())
        return a.bytes < b.bytes;
    return CompareStringEx(LOCALE_NAME_USER_DEFAULT, kIgnoreCase, Wide(a.text), -1, Wide(b.text),
                           -1, nullptr, nullptr, 0) == CSTR_LESS_THAN;
}

ListOrder::KeyMaker& ListOrder::SortKeyMaker() {
    static KeyMaker maker = MakeSortKey;
    return maker;
}

ListOrder::Key ListOrder::NewKey(const QString& text) const {
    const int size = SortKeyMaker()(Wide(text), nullptr, 0);
    QByteArray bytes(size, '\0');
    // The size counts bytes, although the call takes a wide buffer.
    if (size == 0 ||
        SortKeyMaker()(Wide(text), reinterpret_cast<wchar_t*>(bytes.data()), size) == 0)
        bytes.clear();
    return {bytes, text};
}

void ListOrder::FollowUserLocale() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    const QString locale = QString::fromWCharArray(name);
    if (locale == localeName_)
        return;
    localeName_ = locale;
    Forget();
}

} // namespace brinmor
