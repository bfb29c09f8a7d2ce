#pragma once

#include "widgets/Dialogs.h"

namespace brinmor {

// The real dialogs, built with Qt Widgets.
class QtDialogs : public Dialogs {
public:
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    WarningAnswer AskWarning(const std::string& question) override;
    std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                          int maxLength) override;
    std::optional<std::filesystem::path> OpenFileName(const std::string& filterName,
                                                      const std::string& pattern) override;
    void OpenAddress(const std::string& address) override;
};

} // namespace brinmor
