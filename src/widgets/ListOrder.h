#pragma once

#include <QCollator>
#include <QString>
#include <unordered_map>
#include <vector>

namespace brinmor {

// The order of the platform's sorted list box: letter case ignored, by the rules of the user's
// locale, on Windows exactly CompareStringEx's. Every text met keeps its sort key and its rank
// among the others, so that sorting a list again compares numbers, not texts.
class ListOrder {
public:
    // Whether a sorts before b.
    bool Less(const QString& a, const QString& b);
    // The positions of texts in this order. Copies of one text keep their order; texts that
    // compare equal keep the order in which they were first met.
    std::vector<std::size_t> Sorted(const std::vector<QString>& texts);

#ifdef _WIN32
    // Makes the sort key of a text as LCMapStringEx does; a test may put a failing one in its
    // place.
    using KeyMaker = int (*)(const wchar_t* text, wchar_t* key, int size);
    static KeyMaker& SortKeyMaker();
#endif

private:
#ifdef _WIN32
    struct Key {
        // CompareStringEx's own key: compared byte by byte, keys order as it does. (Qt's keys
        // compare them as 16-bit text, which does not.) Empty when it could not be made: the
        // text is then compared by CompareStringEx itself.
        QByteArray bytes;
        QString text;
    };
#else
    using Key = QCollatorSortKey;
#endif
    struct Known {
        Key key;
        std::size_t rank;
    };

    // The platform's order of two keys (ListOrderWindows.cpp, ListOrderPosix.cpp).
    static bool KeyLess(const Key& a, const Key& b);

    // Keys hold for one locale: a change of the user's starts them anew.
    void FollowUserLocale();
    void Forget();
    Known& Find(const QString& text, std::vector<Known*>& fresh);
    Key NewKey(const QString& text) const;
    // The kept key, or a new one, not kept: only what Sorted met is ranked.
    Key KeyFor(const QString& text) const;
    // Places new texts among the ranked ones and numbers them all again.
    void Rank(std::vector<Known*>& fresh);

#ifdef _WIN32
    // The user's locale the keys were made for: its name carries the sort variant too.
    QString localeName_;
#else
    // Its locale is the one the keys were made for.
    QCollator collator_{QLocale::c()};
#endif
    std::unordered_map<QString, Known> known_;
    // The known texts in this order: a text's rank is its place here.
    std::vector<Known*> ranked_;
    // The texts of the last sort, in the order given, and what is known of each.
    std::vector<QString> lastTexts_;
    std::vector<Known*> lastFound_;
};

} // namespace brinmor
