#pragma once

#include <chrono>
#include <functional>
#include <vector>

namespace brinmor {

// Holds the user-interface thread; nothing is processed meanwhile. Tests pass their own.
using Pause = std::function<void(std::chrono::milliseconds)>;

// The real pause: the thread sleeps.
void SleepPause(std::chrono::milliseconds duration);

constexpr std::chrono::milliseconds SplashDuration{3000};

// Shows the splash centred on the primary screen, paints it at once, pauses for
// SplashDuration, then destroys it.
void ShowSplash(const Pause& pause);

// Makes one window, hidden, and sets its program-wide reference. Making it runs its
// creation handler (FormCreate).
using WindowCreation = std::function<void()>;

// Makes the windows in order. An error that escapes one is reported in the error box and
// start-up goes on with the next.
void CreateWindows(const std::vector<WindowCreation>& windows);

// How the main window first appears, from the platform's launch show command.
enum class ShowState { Normal, Maximized, MinimizedWithoutActivation };
ShowState ShowStateFor(int showCommand);

} // namespace brinmor
