#include "platform/DateTimeText.h"

namespace brinmor {

namespace {

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

bool IsMidnight(const std::tm& t) {
    return t.tm_hour == 0 && t.tm_min == 0 && t.tm_sec == 0;
}

std::string ComposeDateTimeText(const std::tm& localTime, const std::string& dateFormat,
                                const std::string& timeFormat) {
    std::string text = Format(localTime, dateFormat);
    if (!IsMidnight(localTime)) {
        text += ' ';
        text += Format(localTime, timeFormat);
    }
    return text;
}

} // namespace brinmor
