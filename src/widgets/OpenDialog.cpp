#include "widgets/OpenDialog.h"

#include "widgets/Dialogs.h"

namespace brinmor {

bool TOpenDialog::Execute() {
    const auto bar = Filter.find('|');
    const std::string name = Filter.substr(0, bar);
    const std::string pattern = bar == std::string::npos ? "*" : Filter.substr(bar + 1);
    const auto chosen = AppDialogs().OpenFileName(name, pattern);
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

} // namespace brinmor
