// brinmor_pictures <folder>: renders the main window (with a stored answer shown), the proxy
// dialog and the About window in French and in English to PNG files, each inside a plain
// window frame. Run it on the offscreen platform (scripts/pictures does).

#include "app/Application.h"
#include "app/Program.h"
#include "platform/Exceptions.h"
#include "platform/ExecutableDirectory.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit6.h"
#include "widgets/ErrorBox.h"
#include "widgets/ListBox.h"
#include "widgets/StatusBar.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
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

// The window with a classic title bar and border around what Qt renders of it.
QImage Framed(QWidget& window) {
    constexpr int border = 4;
    constexpr int titleHeight = 22;
    const QPixmap client = window.grab();
    QImage image(client.width() + 2 * border, client.height() + titleHeight + 2 * border,
                 QImage::Format_RGB32);
    image.fill(QColor(0xd4, 0xd0, 0xc8));
    QPainter painter(&image);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::white);
    painter.drawLine(1, 1, image.width() - 2, 1);
    painter.drawLine(1, 1, 1, image.height() - 2);
    const QRect bar(border, border, client.width(), titleHeight - 2);
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    gradient.setColorAt(0, QColor(0x0a, 0x24, 0x6a));
    gradient.setColorAt(1, QColor(0xa6, 0xca, 0xf0));
    painter.fillRect(bar, gradient);
    // The title bar shows what the window's flags give it: icon (system menu) and buttons.
    const Qt::WindowFlags flags = window.windowFlags();
    const bool custom = flags.testFlag(Qt::CustomizeWindowHint);
    const bool systemMenu = !custom || flags.testFlag(Qt::WindowSystemMenuHint);
    std::vector<const char*> buttons; // from the right
    if (!custom || flags.testFlag(Qt::WindowCloseButtonHint))
        buttons.push_back("\xC3\x97");
    if (!custom || flags.testFlag(Qt::WindowMaximizeButtonHint))
        buttons.push_back("\xE2\x96\xA1");
    if (!custom || flags.testFlag(Qt::WindowMinimizeButtonHint))
        buttons.push_back("_");
    int textLeft = 4;
    if (systemMenu) {
        window.windowIcon().paint(&painter, QRect(bar.left() + 3, bar.top() + 2, 16, 16));
        textLeft = 23;
    }
    QFont titleFont = window.font();
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.drawText(bar.adjusted(textLeft, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     window.windowTitle());
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const QRect box(bar.right() - 17 * static_cast<int>(i + 1) - 2, bar.top() + 2, 16, 14);
        painter.fillRect(box, QColor(0xd4, 0xd0, 0xc8));
        painter.setPen(Qt::white);
        painter.drawLine(box.topLeft(), box.topRight());
        painter.drawLine(box.topLeft(), box.bottomLeft());
        painter.setPen(Qt::black);
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());
        painter.drawText(box, Qt::AlignCenter, QString::fromUtf8(buttons[i]));
    }
    painter.drawPixmap(border, border + titleHeight, client);
    return image;
}

void Save(QWidget& window, const QString& path) {
    window.show();
    QCoreApplication::processEvents();
    if (!Framed(window).save(path))
        throw Exception("cannot save " + path.toStdString());
    std::printf("%s\n", path.toLocal8Bit().constData());
}

// A registrar's answer as the referral server gives it: the lines after "Registrant:" show in
// the second colour.
const char* const Answer =
    "Domain Name: VENDRELAC.EXAMPLE\r\n"
    "Registrar: REGISTRE EXEMPLE INC.\r\n"
    "Creation Date: 12-jan-1999\r\n"
    "Expiration Date: 12-jan-2005\r\n"
    "\r\n"
    "Registrant:\r\n"
    "   Vendrelac Logiciels\r\n"
    "   48, rue du Verger\r\n"
    "   Saint-Aubrac, Qu\xE9" "bec G9Z 9Z9\r\n"
    "   CA\r\n"
    "\r\n"
    "Administrative Contact:\r\n"
    "   Support Vendrelac   support@vendrelac.example.com\r\n"
    "\r\n"
    "Domain servers in listed order:\r\n"
    "   NS1.VENDRELAC.EXAMPLE\r\n"
    "   NS2.VENDRELAC.EXAMPLE\r\n";

int Render(const QString& outDir) {
    QTemporaryDir home;
    const QString root = home.path() + QLatin1Char('/');
    SetExecutableDirectoryOverride(root.toStdString());
    QDir(root).mkdir(QStringLiteral("result"));
    for (const char* name : {"vendrelac.example", "corbelin.example", "Brinmor.test"})
        WriteFile(root + "result/" + name + ".dns",
                  std::string("09/03/2003 10:42:17\r\n\r\n") + Answer);

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
        for (int i = 0; i < Form1->ListBox2->Count(); ++i)
            if (Form1->ListBox2->Item(i) == "vendrelac.example")
                Form1->ListBox2->setCurrentRow(i);
        RunCommand([] { Form1->ListBox2Click(); });
        Form1->StatusBar1->SetSimpleText("Recherche de vendrelac.example termin\xE9");
        const QString suffix = QStringLiteral("-%1.png").arg(QLatin1String(language));
        Save(*Form1, outDir + "/main-window" + suffix);

        RunCommand([] { Form2->ReadIniFile(); });
        Save(*Form2, outDir + "/proxy-dialog" + suffix);
        Form2->hide();
        Save(*Form6, outDir + "/about-window" + suffix);
        Form6->hide();
    }
    DestroyWindows();
    SetExecutableDirectoryOverride("");
    return 0;
}

} // namespace
} // namespace brinmor

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brinmor_pictures <folder>\n");
        return 2;
    }
    brinmor::TApplication application(argc, argv);
    return brinmor::Render(QString::fromLocal8Bit(argv[1]));
}
