#pragma once

#include <functional>

namespace brinmor {

// When one of the program's own modal windows closes (a message box of its own, the name
// prompt, the proxy dialog, the About window), the main window becomes active again and runs
// its activation handler. The platform's file-open dialog and the error box do not count.
void SetOwnWindowClosedHandler(std::function<void()> handler);
void NotifyOwnWindowClosed();

} // namespace brinmor
