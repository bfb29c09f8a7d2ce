#include "support/AppWindows.h"

#include "support/QtApplication.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit6.h"

namespace brinmor::test {

AppWindows::AppWindows(bool withResultDirectory) {
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

} // namespace brinmor::test
