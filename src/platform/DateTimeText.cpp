#include "platform/DateTimeText.h"

#include "platform/Cp1252.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <langinfo.h>
#include <locale.h>
#endif

namespace brinmor {

namespace {

bool IsMidnight(const std::tm& t) {
    return t.tm_hour == 0 && t.tm_min == 0 && t.tm_sec == 0;
}

std::string Format(const std::tm& t, const std::string& format) {
    if (format.empty())
        return {};
    std::string out(64, '\0');
    for (;;) {
        const std::size_t length = std::strftime(out.data(), out.size(), format.c_str(), &t);
        if (length > 0 || out.size() > 4096) {
            out.resize(length);
            return out;
        }
        out.resize(out.size() * 2);
    }
}

} // namespace

std::string ComposeDateTimeText(const std::tm& localTime, const std::string& dateFormat,
                                const std::string& timeFormat) {
    std::string text = Format(localTime, dateFormat);
    if (!IsMidnight(localTime)) {
        text += ' ';
        text += Format(localTime, timeFormat);
    }
    return text;
}

#ifdef _WIN32

std::string DateTimeText(const std::tm& t) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.tm_year + 1900);
    st.wMonth = static_cast<WORD>(t.tm_mon + 1);
    st.wDay = static_cast<WORD>(t.tm_mday);
    st.wDayOfWeek = static_cast<WORD>(t.tm_wday);
    st.wHour = static_cast<WORD>(t.tm_hour);
    st.wMinute = static_cast<WORD>(t.tm_min);
    st.wSecond = static_cast<WORD>(t.tm_sec);
    char buffer[256] = {};
    std::string text;
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, sizeof buffer))
        text = buffer;
    if (!IsMidnight(t) &&
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, sizeof buffer))
        text += std::string(" ") + buffer;
    return text;
}

std::string NowText() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    std::tm t{};
    t.tm_year = st.wYear - 1900;
    t.tm_mon = st.wMonth - 1;
    t.tm_mday = st.wDay;
    t.tm_wday = st.wDayOfWeek;
    t.tm_hour = st.wHour;
    t.tm_min = st.wMinute;
    t.tm_sec = st.wSecond;
    return DateTimeText(t);
}

#else

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

#endif

} // namespace brinmor
