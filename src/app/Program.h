#pragma once

#include "app/StartUp.h"

#include <vector>

namespace brinmor {

// The program's windows in creation order: the main window TForm1 first, then the About
// window TForm6, then the proxy dialog TForm2. Each sets its program-wide reference.
std::vector<WindowCreation> ProgramWindows();

// Destroys the windows in the reverse order and clears their references.
void DestroyWindows();

// Everything after the application object and before the message loop: the removal of the
// temporary files that cut-short writes left beside config.ini and in result/, the splash, then
// the windows.
void StartUp(const Pause& pause);

// Shows the main window as launched and runs the message loop until the quit request.
int RunMessageLoop();

// The whole program; the exit code is 0.
int RunProgram(int argc, char** argv, const Pause& pause);

} // namespace brinmor
