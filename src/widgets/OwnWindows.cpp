#include "widgets/OwnWindows.h"

#include "widgets/ErrorBox.h"

namespace brinmor {

namespace {

std::function<void()>& Handler() {
    static std::function<void()> handler;
    return handler;
}

} // namespace

void SetOwnWindowClosedHandler(std::function<void()> handler) {
    Handler() = std::move(handler);
}

void NotifyOwnWindowClosed() {
    // The activation is an event of its own: what it raises goes to the error box and does
    // not end the command that showed the window.
    if (Handler())
        RunCommand(Handler());
}

} // namespace brinmor
