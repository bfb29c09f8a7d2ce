#include "app/Program.h"

#include "app/Application.h"
#include "app/PlatformArguments.h"
#include "platform/AtomicFile.h"
#include "platform/ExecutableDirectory.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit6.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace brinmor {

namespace {

// The show command the program was launched with; 1 (normal) where the platform has none.
int LaunchShowCommand() {
#ifdef _WIN32
    STARTUPINFOW info{};
    info.cb = sizeof info;
    GetStartupInfoW(&info);
    if (info.dwFlags & STARTF_USESHOWWINDOW)
        return info.wShowWindow;
#endif
    return 1;
}

} // namespace

std::vector<WindowCreation> ProgramWindows() {
    return {
        [] { Form1 = new TForm1; },
        [] { Form6 = new TForm6; },
        [] { Form2 = new TForm2; },
    };
}

void DestroyWindows() {
    delete Form2;
    Form2 = nullptr;
    delete Form6;
    Form6 = nullptr;
    delete Form1;
    Form1 = nullptr;
}

void StartUp(const Pause& pause) {
    // Writes killed half-way in an earlier run left their temporary files; the one beside
    // config.ini may hold a password.
    RemoveLeftoverTemporaryFiles(ExecutableDirectory());
    RemoveLeftoverTemporaryFiles(ResultDirectory());
    ShowSplash(pause);
    CreateWindows(ProgramWindows());
}

int RunMessageLoop() {
    // A main window whose creation failed was reported; there is nothing to run.
    if (!Form1)
        return 0;
    switch (ShowStateFor(LaunchShowCommand())) {
    case ShowState::Maximized:
        Form1->showMaximized();
        Form1->activateWindow();
        break;
    case ShowState::MinimizedWithoutActivation:
        Form1->setAttribute(Qt::WA_ShowWithoutActivating);
        Form1->showMinimized();
        break;
    case ShowState::Normal:
        Form1->show();
        // Showing a window activates it on the platform; without a window manager X does
        // not, and the first activation waits for it.
        Form1->activateWindow();
        break;
    }
    QApplication::exec();
    // The program ends with 0 whichever way the loop was left.
    return 0;
}

int RunProgram(int argc, char** argv, const Pause& pause) {
    PlatformArguments arguments(argc, argv);
    SetProcessWideScaling(arguments);
    TApplication application(arguments.argc(), arguments.argv());
    StartUp(pause);
    const int exitCode = RunMessageLoop();
    DestroyWindows();
    return exitCode;
}

} // namespace brinmor
