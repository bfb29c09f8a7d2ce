#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace brinmor {

enum class WarningAnswer { Yes, No, Closed };

// Every modal dialog the program borrows from the platform goes through here, so tests can
// answer them. Texts are Windows-1252. The plain message and the input box are the program's
// own windows: closing them calls NotifyOwnWindowClosed (widgets/OwnWindows.h).
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Plain message: no icon, one "OK", the application title as caption, centred on screen.
    virtual void ShowMessage(const std::string& text) = 0;

    // The error box: error icon, one "OK", the application title as caption.
    virtual void ShowError(const std::string& text) = 0;

    // Warning question titled "Avertissement" with "&Oui" (default) and "&Non" (Escape).
    virtual WarningAnswer AskWarning(const std::string& question) = 0;

    // One-line input box with "OK" (Enter) and "Annuler" (Escape); nothing when cancelled.
    virtual std::optional<std::string> InputQuery(const std::string& caption,
                                                  const std::string& prompt, int maxLength) = 0;

    // Open-file dialog with one filter entry; a typed name of a missing file is accepted.
    // The chosen file as the system names it; nothing when cancelled.
    virtual std::optional<std::filesystem::path> OpenFileName(const std::string& filterName,
                                                              const std::string& pattern) = 0;

    // Hands a web or "mailto:" address to the desktop. A failure is not reported.
    virtual void OpenAddress(const std::string& address) = 0;
};

// The dialogs in use: the Qt ones unless a test has put its own in place.
Dialogs& AppDialogs();

// Test seam; nullptr puts the Qt dialogs back.
void SetAppDialogs(Dialogs* dialogs);

} // namespace brinmor
