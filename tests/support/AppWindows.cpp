#include "support/AppWindows.h"

#include "support/QtApplication.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit6.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace brinmor::test {

AppWindows::AppWindows(bool withResultDirectory, const std::filesystem::path& folder)
    : dir(folder) {
    EnsureApplication();
    if (withResultDirectory)
        dir.MakeDir("result");
    form1_ = std::make_unique<TForm1>();
    Form1 = form1_.get();
    form6_ = std::make_unique<TForm6>();
    Form6 = form6_.get();
    form2_ = std::make_unique<TForm2>();
    Form2 = form2_.get();
}

AppWindows::~AppWindows() {
    Form2 = nullptr;
    Form6 = nullptr;
    Form1 = nullptr;
}

void AppWindows::WriteConfig(const std::string& ini) const {
    dir.Write("config.ini", ini);
}

void AppWindows::ShowMainWindow() const {
    form1_->show();
    EXPECT_TRUE(QTest::qWaitFor([this] {
        return form1_->isActiveWindow() && form1_->testAttribute(Qt::WA_Mapped);
    })) << "the main window did not come on screen active";
    // The activation handler is queued behind the activation itself.
    QCoreApplication::processEvents();
}

} // namespace brinmor::test
