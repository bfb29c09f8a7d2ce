#pragma once

#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <memory>
#include <string>

namespace brinmor {
class TForm1;
class TForm2;
class TForm6;
} // namespace brinmor

namespace brinmor::test {

// The program's three windows, created as start-up creates them, in a temporary executable
// directory that holds result/ and, when a test writes one, config.ini. Modal dialogs are
// answered by `dialogs`. Form1, Form6 and Form2 point at these windows for the object's life.
class AppWindows {
public:
    // Given a folder name, the executable directory is a folder of that name.
    explicit AppWindows(bool withResultDirectory = true, const std::filesystem::path& folder = {});
    ~AppWindows();
    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    void WriteConfig(const std::string& ini) const;

    // Shows the main window and lets its first activation run, as the message loop would
    // once the window is on screen and active.
    void ShowMainWindow() const;

    TempDir dir;
    ScriptedDialogs dialogs;
    TForm1& form1() const { return *form1_; }
    TForm2& form2() const { return *form2_; }
    TForm6& form6() const { return *form6_; }

private:
    ExecutableDirectoryScope exeDir_{dir};
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm6> form6_;
    std::unique_ptr<TForm2> form2_;
};

} // namespace brinmor::test
