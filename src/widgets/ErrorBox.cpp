#include "widgets/ErrorBox.h"

#include "platform/Exceptions.h"
#include "widgets/Dialogs.h"

#include <exception>

namespace brinmor {

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

void RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const Exception& e) {
        AppDialogs().ShowError(ErrorBoxText(e.Message()));
    } catch (const std::exception& e) {
        // Out of memory and the like: still report it rather than end the program.
        AppDialogs().ShowError(ErrorBoxText(e.what()));
    }
}

} // namespace brinmor
