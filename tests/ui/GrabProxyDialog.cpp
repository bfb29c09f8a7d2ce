// Renders the proxy dialog to PNG files, in French and in English, with the proxy on and off,
// so its look can be checked without a display: grab_proxy_dialog [output folder].
#include "support/TempDir.h"
#include "ui/Unit2.h"
#include "widgets/DesignFont.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    brinmor::RegisterDesignFont();
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QDir().mkpath(out.path());

    brinmor::test::TempDir folder;
    brinmor::test::ExecutableDirectoryScope scope(folder);
    brinmor::TForm2 form;

    int failures = 0;
    for (const char* useit : {"oui", "non"}) {
        folder.Write("config.ini", std::string("[proxy]\r\nuseit=") + useit +
                                       "\r\nadresse=proxy.example.invalid\r\nport=1080\r\n"
                                       "login=utilisateur\r\npassword=mot-de-passe\r\n");
        form.show();
        for (const bool english : {false, true}) {
            english ? form.TranslateAnglais() : form.TranslateFrancais();
            const QString name =
                QStringLiteral("proxy-dialog-%1-%2.png").arg(english ? "en" : "fr", useit);
            const QString path = out.filePath(name);
            if (form.grab().save(path))
                std::printf("%s\n", qPrintable(path));
            else
                ++failures;
        }
        form.hide();
    }
    return failures == 0 ? 0 : 1;
}
