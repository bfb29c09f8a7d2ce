// brinmor_pictures <folder> [<scale in percent>]: shows the main window (with a stored answer
// shown), the proxy dialog and the About window in French and in English and saves each, with the
// frame the window system draws, to a PNG file, and the French main window once more with an
// RDAP answer shown; with a scale, only the French main window.
// scripts/pictures runs the Windows build in Wine's virtual desktop, which draws Windows frames,
// and the Linux build at 200 %, where the toolkit scales the window itself (no frame).

#include "app/Application.h"
#include "app/PlatformArguments.h"
#include "app/Program.h"
#include "platform/Exceptions.h"
#include "platform/ExecutableDirectory.h"
#include "rdap/RdapText.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit6.h"
#include "widgets/ErrorBox.h"
#include "widgets/ListBox.h"
#include "widgets/StatusBar.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace brinmor {
namespace {

void WriteFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception("cannot write " + path.toStdString());
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// The window as the window system shows it, frame and title bar included, grabbed from the
// screen once it has been painted, in the display's pixels; where the platform draws no frame,
// the window as the toolkit drew it.
void Save(QWidget& window, const QString& path) {
    window.move(16, 16);
    window.show();
    window.raise();
    window.activateWindow();
    QElapsedTimer painting;
    painting.start();
    while (painting.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
#ifdef _WIN32
    const QRect frame = window.frameGeometry();
    const QPixmap shot =
        window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
#else
    const QPixmap shot = window.grab();
#endif
    if (shot.isNull() || !shot.save(path))
        throw Exception("cannot save " + path.toStdString());
    std::printf("%s\n", path.toLocal8Bit().constData());
}

// A registrar's answer as the referral server gives it: the lines after "Registrant:" show in
// the second colour.
const char* const Answer = "Domain Name: VENDRELAC.EXAMPLE\r\n"
                           "Registrar: REGISTRE EXEMPLE INC.\r\n"
                           "Creation Date: 12-jan-1999\r\n"
                           "Expiration Date: 12-jan-2005\r\n"
                           "\r\n"
                           "Registrant:\r\n"
                           "   Vendrelac Logiciels\r\n"
                           "   48, rue du Verger\r\n"
                           "   Saint-Aubrac, Qu\xE9"
                           "bec G9Z 9Z9\r\n"
                           "   CA\r\n"
                           "\r\n"
                           "Administrative Contact:\r\n"
                           "   Support Vendrelac   support@vendrelac.example.com\r\n"
                           "\r\n"
                           "Domain servers in listed order:\r\n"
                           "   NS1.VENDRELAC.EXAMPLE\r\n"
                           "   NS2.VENDRELAC.EXAMPLE\r\n";

// Shows the stored answer of the name, as a click on it does after its lookup.
void Show(const std::string& name) {
    for (int i = 0; i < Form1->ListBox2->Count(); ++i)
        if (Form1->ListBox2->Item(i) == name)
            Form1->ListBox2->setCurrentRow(i);
    RunCommand([] { Form1->ListBox2Click(); });
    Form1->StatusBar1->SetSimpleText("Recherche de " + name + " termin\xE9");
}

// A registry's RDAP answer, stored as the run renders it.
const char* const RdapAddress = "https://rdap.registre.example/domain/vendrelac.fr";
const char* const RdapAnswer = R"({"objectClassName":"domain","ldhName":"vendrelac.fr",
    "status":["active"],"events":[
    {"eventAction":"registration","eventDate":"1999-01-12T09:30:00Z"},
    {"eventAction":"last changed","eventDate":"2026-11-02T14:05:41Z"},
    {"eventAction":"expiration","eventDate":"2027-01-12T09:30:00Z"}],
    "entities":[{"objectClassName":"entity","roles":["registrar"],
    "publicIds":[{"type":"IANA Registrar ID","identifier":"9999"}],
    "vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text","Registre Exemple SAS"]]]},
    {"objectClassName":"entity","roles":["registrant"],"vcardArray":["vcard",[
    ["version",{},"text","4.0"],["fn",{},"text","Vendrelac Logiciels"],
    ["adr",{},"text",["","","48, rue du Verger","Saint-Aubrac","","G9Z 9Z9","CA"]]]]}],
    "nameservers":[{"objectClassName":"nameserver","ldhName":"ns1.vendrelac.fr"},
    {"objectClassName":"nameserver","ldhName":"ns2.vendrelac.fr"}],
    "secureDNS":{"delegationSigned":false}})";

// With a scale in percent, only the French main window, as Windows shows it at the display scale
// it is set to, in main-window-fr-<scale>.png, or as Linux shows it at that scale, in
// main-window-fr-<scale>-linux.png.
int Render(const QString& outDir, const QString& scale) {
    QTemporaryDir home;
    const QString root = home.path() + QLatin1Char('/');
    SetExecutableDirectoryOverride(root.toStdWString());
    QDir(root).mkdir(QStringLiteral("result"));
    for (const char* name : {"vendrelac.example", "corbelin.example", "Brinmor.test"})
        WriteFile(root + "result/" + name + ".dns",
                  std::string("09/03/2003 10:42:17\r\n\r\n") + Answer);
    WriteFile(root + "result/vendrelac.fr.dns",
              "11/12/2026 17:20:03\r\n\r\n" +
                  RdapText(RdapAddress, *JsonObject(QByteArray(RdapAnswer))));

    CreateWindows(ProgramWindows());
    for (const char* language : {"fr", "en"}) {
        WriteFile(root + "config.ini", std::string("[proxy]\r\nuseit=oui\r\nadresse=127.0.0.1\r\n"
                                                   "port=1080\r\nlogin=brinmor\r\npassword=\r\n"
                                                   "[language]\r\ncode=") +
                                           language + "\r\n");
        Form1->show();
        RunCommand([] { Form1->FormActivate(); });
        if (Form1->ListBox1->Count() == 0)
            for (const char* name : {"exemple.test", "corbelin.example"})
                Form1->ListBox1->Add(name);
        Show("vendrelac.example");
        if (!scale.isEmpty()) {
#ifdef _WIN32
            const QString system;
#else
            const QString system = QStringLiteral("-linux");
#endif
            Save(*Form1, outDir + "/main-window-" + QLatin1String(language) + "-" + scale + system +
                             ".png");
            break;
        }
        const QString suffix = QStringLiteral("-%1.png").arg(QLatin1String(language));
        Save(*Form1, outDir + "/main-window" + suffix);
        if (QLatin1String(language) == QLatin1String("fr")) {
            Show("vendrelac.fr");
            Save(*Form1, outDir + "/main-window-rdap-fr.png");
            Show("vendrelac.example");
        }

        RunCommand([] { Form2->ReadIniFile(); });
        Save(*Form2, outDir + "/proxy-dialog" + suffix);
        Form2->hide();
        Save(*Form6, outDir + "/about-window" + suffix);
        Form6->hide();
    }
    DestroyWindows();
    SetExecutableDirectoryOverride({});
    return 0;
}

} // namespace
} // namespace brinmor

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: brinmor_pictures <folder> [<scale in percent>]\n");
        return 2;
    }
#ifndef _WIN32
    // As a desktop scaled to that size asks the toolkit.
    if (argc == 3)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(std::atof(argv[2]) / 100));
#endif
    // The toolkit starts as the program starts it.
    brinmor::PlatformArguments arguments(argc, argv);
    brinmor::SetProcessWideScaling(arguments);
    brinmor::TApplication application(arguments.argc(), arguments.argv());
    return brinmor::Render(QString::fromLocal8Bit(argv[1]),
                           argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString());
}
