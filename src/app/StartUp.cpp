#include "app/StartUp.h"

#include "app/u_splashscrren.h"
#include "widgets/ErrorBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <thread>

namespace brinmor {

namespace {

// A new window is on screen only once the window system has exposed it; until then a repaint
// is dropped. Waiting for that lets through no input, and never waits long.
void WaitUntilExposed(QWidget& window) {
    constexpr int limitMs = 2000;
    QElapsedTimer timer;
    timer.start();
    while (!window.testAttribute(Qt::WA_Mapped) && timer.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

} // namespace

void SleepPause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

void ShowSplash(const Pause& pause) {
    Tf_splashscreen splash;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        splash.move(area.topLeft() + SplashPosition(area.size(), splash.size()));
    }
    splash.show();
    WaitUntilExposed(splash);
    splash.repaint();
    pause(SplashDuration);
}

void CreateWindows(const std::vector<WindowCreation>& windows) {
    for (const WindowCreation& create : windows)
        RunCommand(create);
}

ShowState ShowStateFor(int showCommand) {
    constexpr int showMaximized = 3;
    constexpr int showMinNoActive = 7;
    switch (showCommand) {
    case showMaximized:
        return ShowState::Maximized;
    case showMinNoActive:
        return ShowState::MinimizedWithoutActivation;
    default:
        return ShowState::Normal;
    }
}

} // namespace brinmor
