// The date and time as the user's regional settings write them, by the Windows calls.
#include "platform/DateTimeText.h"

#include <windows.h>

namespace brinmor {

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

} // namespace brinmor
