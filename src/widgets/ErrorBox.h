#pragma once

#include <functional>
#include <string>

namespace brinmor {

// The error box's text: the message with "." appended when it is not empty and its last
// character's Windows-1252 code is above that of ".".
std::string ErrorBoxText(const std::string& message);

// Runs one user-interface command. An exception that escapes it ends the command there and is
// shown in the error box; the program carries on. Every handler the windows connect to Qt goes
// through here, so no exception is ever thrown through Qt's event dispatch.
void RunCommand(const std::function<void()>& command);

// Wraps a handler for connecting to a Qt signal.
template <typename Handler> auto Command(Handler handler) {
    return [handler](auto&&...) { RunCommand(handler); };
}

} // namespace brinmor
