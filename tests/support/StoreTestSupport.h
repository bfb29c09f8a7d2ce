#pragma once

#include "widgets/ListBox.h"

#include <string>
#include <vector>

namespace brinmor::test {

inline std::vector<std::string> Items(const TListBox& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.Item(i));
    return items;
}

// The date-time line of a result file.
inline std::string FirstLine(const std::string& file) {
    return file.substr(0, file.find('\r'));
}

} // namespace brinmor::test
