#include "support/ScriptedDialogs.h"

#include "widgets/OwnWindows.h"

#include <gtest/gtest.h>

namespace brinmor::test {

namespace {

template <typename T> T Next(std::deque<T>& answers, const char* what, T fallback) {
    if (answers.empty()) {
        ADD_FAILURE() << "no scripted answer left for " << what;
        return fallback;
    }
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

} // namespace

ScriptedDialogs::ScriptedDialogs() {
    SetAppDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    SetAppDialogs(nullptr);
}

void ScriptedDialogs::Shown() {
    if (whileShown)
        whileShown();
}

void ScriptedDialogs::ShowMessage(const std::string& text) {
    messages.push_back(text);
    Shown();
    NotifyOwnWindowClosed();
}

void ScriptedDialogs::ShowError(const std::string& text) {
    errors.push_back(text);
    Shown();
}

WarningAnswer ScriptedDialogs::AskWarning(const std::string& question) {
    warnings.push_back(question);
    Shown();
    return Next(warningAnswers, "a warning question", WarningAnswer::Closed);
}

std::optional<std::string> ScriptedDialogs::InputQuery(const std::string& caption,
                                                       const std::string& prompt, int maxLength) {
    inputs.push_back({caption, prompt, maxLength});
    auto answer = Next<std::optional<std::string>>(inputAnswers, "an input box", std::nullopt);
    NotifyOwnWindowClosed();
    // The real box's edit line takes at most maxLength characters.
    if (answer && static_cast<int>(answer->size()) > maxLength)
        answer->resize(static_cast<std::size_t>(maxLength));
    return answer;
}

std::optional<std::filesystem::path> ScriptedDialogs::OpenFileName(const std::string& filterName,
                                                                   const std::string& pattern) {
    fileFilters.emplace_back(filterName, pattern);
    return Next<std::optional<std::filesystem::path>>(fileAnswers, "an open-file dialog",
                                                      std::nullopt);
}

void ScriptedDialogs::OpenAddress(const std::string& address) {
    addresses.push_back(address);
}

} // namespace brinmor::test
