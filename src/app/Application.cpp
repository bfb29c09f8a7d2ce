#include "app/Application.h"

#include "app/Resources.h"
#include "platform/Exceptions.h"
#include "widgets/ErrorBox.h"

#include <exception>

namespace brinmor {

namespace {

const char* const ApplicationTitle = "Brinmor";

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The display name falls back to this name. Setting the display name itself would make
    // the platform append " - Brinmor" to every window title.
    setApplicationName(QString::fromLatin1(ApplicationTitle));
    setWindowIcon(MainIcon());
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        RunCommand([error] {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception&) {
                throw;
            } catch (...) {
                // Nothing the program throws lands here; still no exception crosses Qt.
                throw Exception("Exception inconnue");
            }
        });
        return false;
    }
}

} // namespace brinmor
