// The date and time in the formats of the LC_TIME locale.
#include "platform/Cp1252.h"
#include "platform/DateTimeText.h"

#include <langinfo.h>
#include <locale.h>

namespace brinmor {

std::string DateTimeText(const std::tm& t) {
    // The user's LC_TIME from the environment, whatever the process's own locale is.
    locale_t locale = newlocale(LC_TIME_MASK, "", nullptr);
    if (locale == nullptr)
        locale = newlocale(LC_TIME_MASK, "C", nullptr);
    const std::string dateFormat = nl_langinfo_l(D_FMT, locale);
    const std::string timeFormat = nl_langinfo_l(T_FMT, locale);
    const bool utf8 = std::string(nl_langinfo_l(CODESET, locale)) == "UTF-8";
    const locale_t previous = uselocale(locale);
    std::string text = ComposeDateTimeText(t, dateFormat, timeFormat);
    uselocale(previous);
    freelocale(locale);
    return utf8 ? Utf8ToCp1252(text) : text;
}

std::string NowText() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return DateTimeText(t);
}

} // namespace brinmor
