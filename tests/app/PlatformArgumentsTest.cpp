#include "app/PlatformArguments.h"

#include "support/TurkishLocale.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brinmor {
namespace {

using Words = std::vector<std::string>;

TEST(PlatformArguments, AddsTheProgramsOptionsToTheWindowsPlatform) {
    const std::string options = ":fontengine=freetype";
    const std::string ours = "windows" + options;
    // The words after the program's name, the variable and the default platform; the words the
    // toolkit gets after the name, and whether they leave scaling to the system.
    struct Case {
        Words words;
        std::string variable;
        std::string defaultPlatform;
        Words expected;
        bool leavesScalingToSystem;
    };
    const Case cases[] = {
        {{}, "", "windows", {"-platform", ours}, false},
        {{}, "", "", {}, false},
        {{}, "offscreen", "windows", {}, false},
        // The user's choice keeps its words and gains the options it lacks.
        {{"-platform", "windows:darkmode=1"},
         "",
         "",
         {"-platform", "windows:darkmode=1" + options},
         false},
        {{"x"}, "Windows:fontengine=native:dpiawareness=0", "", {"x"}, true},
        {{"-platform", "windows:dpiawareness=0"},
         "",
         "windows",
         {"-platform", "windows:dpiawareness=0" + options},
         true},
        {{"-platform", "windows:dpiawareness=2"},
         "",
         "",
         {"-platform", "windows:dpiawareness=2:fontengine=freetype"},
         false},
        // The command line wins over the variable; options go to each windows entry of a list.
        {{"-platform", "offscreen"}, "windows", "windows", {"-platform", "offscreen"}, false},
        {{},
         "offscreen;windows:dpiawareness=0",
         "",
         {"-platform", "offscreen;windows:dpiawareness=0" + options},
         false},
        // The toolkit reads "--platform" as "-platform", and "-platform=" not at all.
        {{"--platform", "offscreen"}, "", "windows", {"--platform", "offscreen"}, false},
        {{"--platform", "windows:dpiawareness=0"},
         "offscreen",
         "",
         {"--platform", "windows:dpiawareness=0" + options},
         true},
        {{"-platform=offscreen"}, "", "windows", {"-platform", ours, "-platform=offscreen"}, false},
        // A last "-platform" with no value chooses nothing; ours go first, out of its reach.
        {{"-platform"}, "", "windows", {"-platform", ours, "-platform"}, false},
    };
    for (const Case& c : cases) {
        Words words{"brinmor"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        Words expected{"brinmor"};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        const PlatformArguments arguments(words, c.variable, c.defaultPlatform);
        const std::string context = testing::PrintToString(c.words) + " " + c.variable;
        EXPECT_EQ(arguments.Words(), expected) << context;
        EXPECT_EQ(arguments.LeavesScalingToSystem(), c.leavesScalingToSystem) << context;
    }
}

#ifndef _WIN32
// An 8-bit Turkish locale lowers the 'I' of "WINDOWS" to a dotless i; the toolkit reads the
// name in ASCII letter case.
TEST(PlatformArguments, ReadsThePlatformNameWhateverTheLocale) {
    test::TurkishLocale turkish;
    if (!turkish.Set())
        GTEST_SKIP() << "localedef could not build the Turkish locale";
    const PlatformArguments arguments({"brinmor", "-platform", "WINDOWS"}, "", "");
    EXPECT_EQ(arguments.Words(), (Words{"brinmor", "-platform", "WINDOWS:fontengine=freetype"}));
}
#endif

// The toolkit reads the scaling variable as it starts; a program it starts afterwards, as the
// About window's links do, does not inherit it.
TEST(ProcessWideScaling, ReachesTheToolkitButNoProgramItStarts) {
    ASSERT_FALSE(qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING"));
    SetProcessWideScaling(
        PlatformArguments({"brinmor", "-platform", "windows:dpiawareness=0"}, "", ""));
    // A screen at 150 %, which the toolkit would scale its windows for. The file is named
    // relatively: the platform's options are separated by colons, as a drive is.
    const QString folder = QDir::currentPath();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QFile screen(QStringLiteral("screen.json"));
    ASSERT_TRUE(screen.open(QIODevice::WriteOnly));
    screen.write(R"({"screens": [{"name": "s", "width": 800, "height": 600, "logicalDpi": 144}]})");
    screen.close();
    char name[] = "platform_arguments_tests";
    char option[] = "-platform";
    char platform[] = "offscreen:configfile=screen.json";
    char* argv[] = {name, option, platform, nullptr};
    int argc = 3;
    const QGuiApplication application(argc, argv);
    QDir::setCurrent(folder);
    EXPECT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 1.0);

    qputenv("BRINMOR_INHERITED", "1");
    QProcess child;
#ifdef _WIN32
    child.start(QStringLiteral("cmd"), {QStringLiteral("/c"), QStringLiteral("set")});
#else
    child.start(QStringLiteral("env"), {});
#endif
    ASSERT_TRUE(child.waitForFinished(30000));
    const QByteArray environment = child.readAllStandardOutput();
    EXPECT_TRUE(environment.contains("BRINMOR_INHERITED=1")) << environment.toStdString();
    EXPECT_FALSE(environment.contains("QT_ENABLE_HIGHDPI_SCALING"));
}

} // namespace
} // namespace brinmor
