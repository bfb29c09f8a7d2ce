#include "app/Application.h"

#include "platform/Exceptions.h"
#include "widgets/DesignFont.h"
#include "widgets/ErrorBox.h"
#include "widgets/ProgramIcon.h"
#include "widgets/ScreenFace.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

namespace brinmor {

namespace {

const char* const ApplicationTitle = "Brinmor";

// The toolkit's own texts (context menus, the file dialog, standard buttons) come from the
// system on the platform, in the system's language whatever the program's captions. A
// translations folder beside the program, where a Windows deployment puts them, comes first;
// then Qt's own.
void InstallToolkitTranslations(QCoreApplication& application) {
    const QStringList folders = {QCoreApplication::applicationDirPath() +
                                     QStringLiteral("/translations"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        // qtbase_*.qm as Qt ships them, or the qt_*.qm that a deployment tool merges.
        for (const QString& catalogue : {QStringLiteral("qtbase"), QStringLiteral("qt")}) {
            auto* translator = new QTranslator(&application);
            if (translator->load(QLocale::system(), catalogue, QStringLiteral("_"), folder)) {
                QCoreApplication::installTranslator(translator);
                return;
            }
            delete translator;
        }
    }
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The display name falls back to this name. Setting the display name itself would make
    // the platform append " - Brinmor" to every window title.
    setApplicationName(QString::fromLatin1(ApplicationTitle));
    setWindowIcon(MainIcon());
    InstallToolkitTranslations(*this);
    RegisterDesignFont();
    FollowScreenFaces();
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
