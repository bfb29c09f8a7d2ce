// The windows as the program starts the toolkit: on Windows through the platform arguments it
// chooses itself, at the display scale the system is set to (scripts/wine-test runs this at
// 100, 125 and 150 %, naming the scale in BRINMOR_EXPECTED_LOGPIXELS).

#include "app/Application.h"
#include "app/PlatformArguments.h"
#include "support/AppWindows.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit6.h"
#include "widgets/DesignFont.h"
#include "widgets/FontFamilyName.h"
#include "widgets/QtText.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <cstdlib>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace brinmor {
namespace {

void EnsureScaledApplication() {
    static char name[] = "display_scale_tests";
    static char* argv[] = {name, nullptr};
    static PlatformArguments arguments(1, argv);
    if (!QApplication::instance()) {
        SetProcessWideScaling(arguments);
        new TApplication(arguments.argc(), arguments.argv());
    }
}

// The width a button leaves its caption, as the style lays it out.
int CaptionRoom(const QAbstractButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(&button))
        element = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(&button))
        element = QStyle::SE_RadioButtonContents;
    return button.style()->subElementRect(element, &option, &button).width();
}

// Every caption of the window fits its control whole.
void ExpectCaptionsFit(const QWidget& window) {
    SCOPED_TRACE(window.objectName().toStdString());
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(&window))
            continue;
        const QFontMetrics metrics(label->font());
        EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width())
            << FromQString(label->text());
        EXPECT_LE(metrics.height(), label->height()) << FromQString(label->text());
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->text().isEmpty() || !button->isVisibleTo(&window))
            continue;
        EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()),
                  CaptionRoom(*button))
            << FromQString(button->text());
    }
}

// Text drawn at the window's pixel ratio is as tall as its font says: a bitmap strike drawn
// unscaled at 125 or 150 % would stand at its own height with its letters spread apart.
void ExpectTextDrawnAtItsSize(const QWidget& window) {
    const qreal ratio = window.devicePixelRatioF();
    const QFont font = window.font();
    const QFontMetrics metrics(font);
    QImage image(
        QSize(metrics.horizontalAdvance(QStringLiteral("HHHH")) + 8, metrics.height() + 8) * ratio,
        QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(4, 4 + metrics.ascent(), QStringLiteral("HHHH"));
    }
    int top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(bottom, top) << "nothing was drawn";
    EXPECT_NEAR(bottom - top + 1, metrics.capHeight() * ratio, 1.0) << "at ratio " << ratio;
}

class DisplayScaleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureScaledApplication(); }
};

TEST_F(DisplayScaleTest, TheProgramDrawsTheCarriedFontEvenBesideAFontOfTheSameName) {
#ifdef _WIN32
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("windows"));
    if (const char* expected = std::getenv("BRINMOR_EXPECTED_LOGPIXELS")) {
        // What the system is set to, asked as a program that knows about scaling.
        const DPI_AWARENESS_CONTEXT before =
            SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE);
        EXPECT_EQ(GetDpiForSystem(), static_cast<UINT>(std::atoi(expected)));
        SetThreadDpiAwarenessContext(before);
    }
#endif
    // A wider font that calls itself MS Sans Serif, as a system may list one, changes nothing:
    // Debian's DejaVu Sans (Wine reaches it too), else Windows' own Arial.
    const QString dejaVu = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    QFile impostor(QFile::exists(dejaVu)
                       ? dejaVu
                       : qEnvironmentVariable("WINDIR") + QStringLiteral("/Fonts/arial.ttf"));
    ASSERT_TRUE(impostor.open(QIODevice::ReadOnly)) << "fonts-dejavu-core is not installed";
    const int id = QFontDatabase::addApplicationFontFromData(
        WithFamilyName(impostor.readAll(), QStringLiteral("MS Sans Serif")));
    ASSERT_EQ(QFontDatabase::applicationFontFamilies(id), QStringList{"MS Sans Serif"});

    const QFont font = DesignFont();
    const QFontInfo designed(font);
    EXPECT_EQ(FromQString(designed.family()), CarriedDesignFamily);
    // The 13-pixel strike, and the width the designed layout was made for.
    EXPECT_EQ(designed.pixelSize(), 13);
    EXPECT_EQ(QFontMetrics(font).horizontalAdvance(
                  QString::fromUtf8("Liste de noms de domaine \xC3\xA0 chercher")),
              177);
}

TEST_F(DisplayScaleTest, EveryCaptionFitsAndIsDrawnAtItsSizeInTheThreeWindows) {
    test::AppWindows app;
    // A bad port keeps the initial captions on screen.
    app.WriteConfig("[proxy]\r\nport=abc\r\n");
    TForm1& main = app.form1();
    TForm2& proxy = app.form2();
    TForm6& about = app.form6();
    for (QWidget* window : std::initializer_list<QWidget*>{&main, &proxy, &about})
        window->show();
    QCoreApplication::processEvents();
    const auto check = [&](const char* table) {
        SCOPED_TRACE(table);
        for (const QWidget* window : std::initializer_list<const QWidget*>{&main, &proxy, &about}) {
            ExpectCaptionsFit(*window);
            ExpectTextDrawnAtItsSize(*window);
        }
    };
    check("initial");
    main.TranslateFrancais();
    proxy.TranslateFrancais();
    check("French");
    main.TranslateAnglais();
    proxy.TranslateAnglais();
    check("English");
}

} // namespace
} // namespace brinmor
