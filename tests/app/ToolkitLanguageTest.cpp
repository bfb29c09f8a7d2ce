// Runs in a binary of its own with a French system locale: Qt reads it from the environment
// when first asked on Linux, so the test sets it; Windows (and Wine) read it when the process
// starts, so the build starts the program with it there.

#include "support/AppWindows.h"
#include "support/TestApplication.h"
#include "ui/Unit1.h"
#include "widgets/QtText.h"
#include "widgets/RichEdit.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace brinmor {
namespace {

TEST(ToolkitLanguage, AFrenchSystemGivesTheResultPaneAFrenchContextMenuWhateverTheCaptions) {
    qputenv("LC_ALL", "fr_FR.UTF-8");
    qunsetenv("LANGUAGE");
    test::EnsureProgramApplication();
    test::AppWindows app;
    app.WriteConfig("[language]\r\ncode=en\r\n");
    app.form1().FormActivate();
    const std::unique_ptr<QMenu> menu(app.form1().RichEdit1->createStandardContextMenu());
    // The visible words: no access-key marks, no shortcut.
    std::vector<std::string> texts;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            texts.push_back(FromQString(
                action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'))));
    EXPECT_EQ(texts, (std::vector<std::string>{"Copier", "Tout s\xE9lectionner"}));
    // The program's own captions still follow config.ini.
    EXPECT_EQ(FromQString(app.form1().Label2->text()), "Result");
}

} // namespace
} // namespace brinmor
