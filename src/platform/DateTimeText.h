#pragma once

#include <ctime>
#include <string>

namespace brinmor {

// The local date and time as the user's regional settings write them: the short date, a blank
// and the long time; the blank and the time are left out at exactly 00:00:00. On POSIX the
// formats are those of the LC_TIME locale. Windows-1252 text.
std::string DateTimeText(const std::tm& localTime);

// DateTimeText of the present moment.
std::string NowText();

// Whether the time is exactly 00:00:00, when DateTimeText leaves it out.
bool IsMidnight(const std::tm& localTime);

// The composition rule on its own, with strftime formats (used on POSIX).
std::string ComposeDateTimeText(const std::tm& localTime, const std::string& dateFormat,
                                const std::string& timeFormat);

} // namespace brinmor
