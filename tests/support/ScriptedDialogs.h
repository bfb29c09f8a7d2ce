#pragma once

#include "widgets/Dialogs.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brinmor::test {

// Answers the program's modal dialogs from a script and records what they showed. Installs
// itself as the application's dialogs for its lifetime.
class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // Answers, taken in order. A dialog with no answer left fails the test and is cancelled.
    std::deque<WarningAnswer> warningAnswers;
    std::deque<std::optional<std::string>> inputAnswers;
    std::deque<std::optional<std::filesystem::path>> fileAnswers;

    // Runs while a message, error or question is "on screen", as a nested loop would let
    // other work run.
    std::function<void()> whileShown;

    // What was shown.
    std::vector<std::string> messages;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    struct InputCall {
        std::string caption;
        std::string prompt;
        int maxLength;
    };
    std::vector<InputCall> inputs;
    std::vector<std::pair<std::string, std::string>> fileFilters;
    std::vector<std::string> addresses;

    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    WarningAnswer AskWarning(const std::string& question) override;
    std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                          int maxLength) override;
    std::optional<std::filesystem::path> OpenFileName(const std::string& filterName,
                                                      const std::string& pattern) override;
    void OpenAddress(const std::string& address) override;

private:
    void Shown();
};

} // namespace brinmor::test
