// Importing a 100,000-line name list: the search list's import, which lets waiting events run
// after every line, against reading the same file with the text-file reader alone.
#include "platform/TextFile.h"
#include "support/AppWindows.h"
#include "support/QtApplication.h"
#include "ui/Unit1.h"
#include "widgets/ListBox.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kLines = 100000;

const brinmor::test::TempDir& NameList() {
    static const brinmor::test::TempDir dir;
    static const bool written = [] {
        std::string content;
        for (int i = 0; i < kLines; ++i)
            content += "name-" + std::to_string(i) + ".example\r\n";
        dir.Write("names.txt", content);
        return true;
    }();
    (void)written;
    return dir;
}

void BM_ImportIntoSearchList(benchmark::State& state) {
    const std::filesystem::path path = NameList().File("names.txt");
    brinmor::test::AppWindows app;
    for (auto _ : state) {
        app.form1().ListBox1->clear();
        app.dialogs.fileAnswers = {path};
        app.form1().Importer1Click();
        if (app.form1().ListBox1->Count() != kLines)
            state.SkipWithError("wrong line count");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_ReadWithTextFileReaderOnly(benchmark::State& state) {
    const std::filesystem::path path = NameList().File("names.txt");
    for (auto _ : state) {
        brinmor::TextFileReader file(path);
        std::string line;
        int count = 0;
        while (file.ReadLine(line))
            ++count;
        file.Close();
        if (count != kLines)
            state.SkipWithError("wrong line count");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

BENCHMARK(BM_ImportIntoSearchList)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadWithTextFileReaderOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    brinmor::test::EnsureApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
