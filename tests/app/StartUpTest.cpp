#include "app/StartUp.h"

#include "app/Resources.h"
#include "app/u_splashscrren.h"
#include "platform/Exceptions.h"
#include "support/ScriptedDialogs.h"
#include "support/TestApplication.h"
#include "widgets/DesignFont.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brinmor {
namespace {

class StartUpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureProgramApplication(); }
};

std::vector<Tf_splashscreen*> Splashes() {
    std::vector<Tf_splashscreen*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* splash = qobject_cast<Tf_splashscreen*>(widget))
            found.push_back(splash);
    return found;
}

TEST(SplashPosition, CentresWithHalvesTruncatedTowardZero) {
    const QSize splash(480, 256);
    const std::pair<QSize, QPoint> cases[] = {
        {{1920, 1080}, {720, 412}},
        {{400, 200}, {-40, -28}},
        // Odd negative differences: truncation gives -39 and -26 where rounding down would
        // give -40 and -27.
        {{401, 203}, {-39, -26}},
        {{480, 256}, {0, 0}},
    };
    for (const auto& [screen, position] : cases)
        EXPECT_EQ(SplashPosition(screen, splash), position)
            << screen.width() << "x" << screen.height();
}

TEST(ShowStateFor, OnlyMaximisedAndMinimisedWithoutActivationChangeTheFirstShow) {
    EXPECT_EQ(ShowStateFor(3), ShowState::Maximized);
    EXPECT_EQ(ShowStateFor(7), ShowState::MinimizedWithoutActivation);
    for (int other : {0, 1, 2, 4, 5, 6, 8, 9, 10, 11})
        EXPECT_EQ(ShowStateFor(other), ShowState::Normal) << other;
}

TEST_F(StartUpTest, ApplicationIsTitledBrinmorCarriesTheThreeIconSizesAndHasTheDesignedFont) {
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Brinmor"));
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    for (int side : {16, 32, 64})
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
#ifdef _WIN32
    GTEST_SKIP() << "Qt's offscreen platform on Windows draws no application font; "
                    "display_scale_tests checks the font on the windows platform";
#endif
    // 8 points at 96 dots per inch is the font's 13-pixel strike.
    const QFontInfo designed(DesignFont());
    EXPECT_EQ(FromQString(designed.family()), CarriedDesignFamily);
    EXPECT_EQ(designed.pixelSize(), 13);
}

TEST_F(StartUpTest, SplashIsCentredAndPaintedBeforeThePauseAndGoneAfterIt) {
    std::vector<std::chrono::milliseconds> pauses;
    ShowSplash([&](std::chrono::milliseconds duration) {
        pauses.push_back(duration);
        const auto splashes = Splashes();
        ASSERT_EQ(splashes.size(), 1u);
        Tf_splashscreen* splash = splashes[0];
        EXPECT_TRUE(splash->isVisible());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(
            splash->geometry(),
            QRect(screen.topLeft() + SplashPosition(screen.size(), {480, 256}), QSize(480, 256)));
        // What the window system holds for the window is the picture, drawn before the pause.
        const QImage shown = QGuiApplication::primaryScreen()
                                 ->grabWindow(splash->winId())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, SplashPicture().toImage().convertToFormat(QImage::Format_RGB32));
    });
    EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(3000)});
    EXPECT_TRUE(Splashes().empty());
}

TEST_F(StartUpTest, WindowsAreCreatedInOrderAndAFailingFormCreateIsReportedWithoutStopping) {
    test::ScriptedDialogs dialogs;
    std::vector<std::string> created;
    auto window = [&](const std::string& name, bool formCreateFails) {
        return [&created, name, formCreateFails] {
            created.push_back(name);
            if (formCreateFails)
                throw EConvertError::NotAnInteger("x");
        };
    };
    CreateWindows({window("TForm1", true), window("TForm6", false), window("TForm2", true)});
    EXPECT_EQ(created, (std::vector<std::string>{"TForm1", "TForm6", "TForm2"}));
    const std::string shown = EConvertError::NotAnInteger("x").Message() + ".";
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{shown, shown}));
}

// Throws from its event handler, as a faulty handler that skipped the error box would.
class Thrower : public QObject {
public:
    std::function<void()> onEvent;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            onEvent();
        return QObject::event(event);
    }
};

TEST_F(StartUpTest, AnExceptionEscapingAnEventIsShownInTheErrorBoxAndTheLoopGoesOn) {
    struct Case {
        std::function<void()> raise;
        std::string shown;
    };
    const Case cases[] = {
        {[] { throw EInOutError(2); }, EInOutError(2).Message() + "."},
        {[] { throw std::runtime_error("Plus de m\xE9moire!"); }, "Plus de m\xE9moire!"},
        {[] { throw 42; }, "Exception inconnue."},
    };
    for (const Case& c : cases) {
        test::ScriptedDialogs dialogs;
        Thrower thrower;
        thrower.onEvent = c.raise;
        bool nextEventRan = false;
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QTimer::singleShot(0, [&] { nextEventRan = true; });
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogs.errors, std::vector<std::string>{c.shown});
        EXPECT_TRUE(nextEventRan);
    }
}

} // namespace
} // namespace brinmor
