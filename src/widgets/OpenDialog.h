#pragma once

#include <filesystem>
#include <string>

namespace brinmor {

// The file-open dialog component: a filter of the form "Name|pattern" and the chosen file.
class TOpenDialog {
public:
    std::string Filter;
    // As the system names it.
    std::filesystem::path FileName;

    // Shows the dialog; true when the user chose a file (then in FileName).
    bool Execute();
};

} // namespace brinmor
