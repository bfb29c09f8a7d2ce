// The result store and the run at scale: refilling the stored-name list from 10,000 and
// 100,000 result files, writing a result beside none or 100,000 others, showing a 1 MiB and a
// 16 MiB result, and a run of 1,000 names with a referral each against a loopback server, into
// an empty result folder and into one of 100,000 results, next to a raw-socket query to the
// same kind of server, and the same run with registry-aware lookups under 10 top-level domains.
// The figures that matter are the ratios printed at the end.
#include "net/RegistryLookup.h"
#include "platform/AtomicFile.h"
#include "platform/DirectoryEntries.h"
#include "platform/ExecutableDirectory.h"
#include "platform/TextFile.h"
#include "support/AppWindows.h"
#include "support/FakeServer.h"
#include "support/QtApplication.h"
#include "ui/Unit1.h"
#include "ui/WhoisFirstServer.h"
#include "widgets/ListBox.h"

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using brinmor::test::AppWindows;
using brinmor::test::FakeServer;
using brinmor::test::FakeSession;
using brinmor::test::TempDir;

// An executable directory whose result/ holds `count` result files.
const TempDir& StoreWith(int count) {
    static std::map<int, std::unique_ptr<TempDir>> stores;
    auto& dir = stores[count];
    if (!dir) {
        dir = std::make_unique<TempDir>();
        dir->MakeDir("result");
        for (int i = 0; i < count; ++i)
            dir->Write("result/name-" + std::to_string(i * 7919 % count) + ".example.dns", "x");
    }
    return *dir;
}

void BM_RefillStoredNames(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const TempDir& store = StoreWith(count);
    AppWindows app;
    brinmor::SetExecutableDirectoryOverride(store.Path());
    // The refills that count come after the first one, at start-up.
    app.form1().Affiche_rechercher_termine();
    for (auto _ : state) {
        app.form1().Affiche_rechercher_termine();
        if (app.form1().ListBox2->Count() != count)
            state.SkipWithError("wrong item count");
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_EnumerateOnly(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::filesystem::path folder = StoreWith(count).Path() / "result";
    for (auto _ : state) {
        if (static_cast<int>(brinmor::DirectoryEntries(folder, ".dns").size()) != count)
            state.SkipWithError("wrong entry count");
    }
    state.SetItemsProcessed(state.iterations() * count);
}

// A registrar's answer of about `bytes` bytes, with a "Registrant:" line near the top.
std::string ResultOf(std::size_t bytes) {
    std::string text = "08/12/2026 07:59:17\r\n\r\nDomain Name: EXAMPLE.COM\r\nRegistrant:\r\n";
    for (int line = 0; text.size() < bytes; ++line)
        text += "   Field " + std::to_string(line) + ": value given by the registrar\r\n";
    return text;
}

// A 2 KB result written again and again beside `count` others; gone again after.
void BM_WriteResult(benchmark::State& state) {
    const TempDir& store = StoreWith(static_cast<int>(state.range(0)));
    const std::string result = ResultOf(2000);
    for (auto _ : state)
        brinmor::ReplaceFileContents(store.Path() / "result" / "w.dns", result);
    std::filesystem::remove(store.Path() / "result" / "w.dns");
}

void BM_ShowResult(benchmark::State& state) {
    const std::size_t bytes = static_cast<std::size_t>(state.range(0)) << 20;
    AppWindows app;
    app.dir.Write("result/big.dns", ResultOf(bytes));
    app.form1().Affiche_rechercher_termine();
    app.form1().ListBox2->blockSignals(true);
    app.form1().ListBox2->setCurrentRow(0);
    app.form1().ListBox2->blockSignals(false);
    for (auto _ : state)
        app.form1().ListBox2Click();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

void BM_ReadResultOnly(benchmark::State& state) {
    const std::size_t bytes = static_cast<std::size_t>(state.range(0)) << 20;
    TempDir dir;
    dir.Write("big.dns", ResultOf(bytes));
    for (auto _ : state) {
        brinmor::TextFileReader file(dir.File("big.dns"));
        std::string line;
        std::size_t count = 0;
        while (file.ReadLine(line))
            ++count;
        file.Close();
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

constexpr int kNames = 1000;

std::string Answer() {
    std::string answer;
    for (int line = 0; answer.size() < 2000; ++line)
        answer += "Field " + std::to_string(line) + ": value of the loopback registrar\n";
    return answer;
}

// Answers a query line and closes: the first of each pair refers to 127.0.0.1.
void Serve(FakeSession& s, bool referral) {
    s.ReceiveLine();
    s.Send(referral ? "Domain Name: X\nWhois Server: 127.0.0.1\nmore\n" : Answer());
    s.Close();
}

// 1,000 new names into a result folder that holds `count` results; their files go after.
void BM_RunWithReferrals(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    FakeServer server([](FakeSession& s) { Serve(s, s.Index() % 2 == 0); });
    const auto saved = brinmor::FirstWhoisServer();
    brinmor::FirstWhoisServer() = {"127.0.0.1", server.Port()};
    AppWindows app;
    const TempDir& store = StoreWith(count);
    brinmor::SetExecutableDirectoryOverride(store.Path());
    std::vector<std::string> names;
    for (int i = 0; i < kNames; ++i)
        names.push_back("run-" + std::to_string(i) + ".example");
    for (auto _ : state) {
        app.form1().ListBox1->SetItems(names);
        app.form1().Button1Click();
        if (!app.dialogs.messages.empty() || app.form1().ListBox2->Count() != count + kNames)
            state.SkipWithError("the run failed");
    }
    for (const std::string& name : names)
        std::filesystem::remove(store.Path() / "result" / (name + ".dns"));
    brinmor::FirstWhoisServer() = saved;
    state.SetItemsProcessed(state.iterations() * kNames);
}

// The run above with registry-aware lookups, 1,000 names under 10 top-level domains: a loopback
// IANA, one registry whose answers refer to a registrar, that registrar. Into an empty folder.
void BM_RunRegistryAware(benchmark::State& state) {
    FakeServer iana([](FakeSession& s) {
        s.Send("domain: X\nwhois: whois.nic." + s.ReceiveLine());
        s.Close();
    });
    FakeServer registry([](FakeSession& s) { Serve(s, true); });
    FakeServer registrar([](FakeSession& s) { Serve(s, false); });
    std::map<std::string, brinmor::WhoisFirstServer> redirects;
    redirects[brinmor::kIanaWhoisHost] = {"127.0.0.1", iana.Port()};
    redirects["127.0.0.1"] = {"127.0.0.1", registrar.Port()};
    std::vector<std::string> names;
    for (int i = 0; i < kNames; ++i) {
        std::string tld = "t"; // appended: g++ 12's -Wrestrict misfires on "t" + string at -O3
        tld += std::to_string(i % 10);
        redirects["whois.nic." + tld] = {"127.0.0.1", registry.Port()};
        names.push_back("run-" + std::to_string(i) + "." + tld);
    }
    brinmor::SetWhoisServerOverrides(redirects);
    AppWindows app;
    app.WriteConfig("[whois]\r\nregistres=oui\r\n");
    int runs = 0;
    for (auto _ : state) {
        app.form1().ListBox1->SetItems(names);
        app.form1().Button1Click();
        // IANA once per top-level domain and run.
        if (!app.dialogs.messages.empty() || app.form1().ListBox2->Count() != kNames ||
            iana.Connections() != 10 * ++runs)
            state.SkipWithError("the run failed");
    }
    brinmor::SetWhoisServerOverrides({});
    state.SetItemsProcessed(state.iterations() * kNames);
}

void BM_RawQuery(benchmark::State& state) {
    FakeServer server([](FakeSession& s) { Serve(s, false); });
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server.Port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string line = "name.example\r\n";
    char buffer[8192];
    for (auto _ : state) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::send(fd, line.data(), line.size(), 0) != static_cast<long>(line.size())) {
            ::close(fd);
            state.SkipWithError("raw connection failed");
            break;
        }
        std::size_t total = 0;
        for (long n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
            total += static_cast<std::size_t>(n);
        ::close(fd);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_RefillStoredNames)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnumerateOnly)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteResult)->Arg(0)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowResult)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadResultOnly)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunWithReferrals)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_RunWithReferrals)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RunRegistryAware)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_RawQuery)->Unit(benchmark::kMicrosecond);

// Keeps each run's mean real time (seconds per iteration) for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.iterations > 0)
                seconds[run.benchmark_name()] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
};

void PrintRatio(const RatioReporter& r, const char* what, const std::string& a,
                const std::string& b, double scale, const char* goal) {
    const auto x = r.seconds.find(a);
    const auto y = r.seconds.find(b);
    if (x == r.seconds.end() || y == r.seconds.end())
        return;
    std::printf("%-52s %8.2f   (goal: %s)\n", what, x->second / (y->second * scale), goal);
}

} // namespace

int main(int argc, char** argv) {
    brinmor::test::EnsureApplication();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    PrintRatio(reporter, "refill, 100k / 10k result files", "BM_RefillStoredNames/100000",
               "BM_RefillStoredNames/10000", 1, "<= 12");
    PrintRatio(reporter, "refill / bare listing, 100k result files", "BM_RefillStoredNames/100000",
               "BM_EnumerateOnly/100000", 1, "<= 3");
    PrintRatio(reporter, "write, beside 100k results / in an empty folder", "BM_WriteResult/100000",
               "BM_WriteResult/0", 1, "<= 1.5");
    PrintRatio(reporter, "show, 16 MiB / 1 MiB result", "BM_ShowResult/16", "BM_ShowResult/1", 1,
               "<= 20");
    PrintRatio(reporter, "enumerate only, 100k / 10k", "BM_EnumerateOnly/100000",
               "BM_EnumerateOnly/10000", 1, "for information");
    PrintRatio(reporter, "show 16 MiB / read 16 MiB only", "BM_ShowResult/16",
               "BM_ReadResultOnly/16", 1, "for information");
    PrintRatio(reporter, "run, per name / (2 x raw query)", "BM_RunWithReferrals/0/iterations:2",
               "BM_RawQuery", 2.0 * kNames, "for information");
    PrintRatio(reporter, "run, into 100k results / into an empty folder",
               "BM_RunWithReferrals/100000/iterations:1", "BM_RunWithReferrals/0/iterations:2", 1,
               "for information");
    PrintRatio(reporter, "run, registry-aware / default, 1,000 names",
               "BM_RunRegistryAware/iterations:2", "BM_RunWithReferrals/0/iterations:2", 1,
               "for information");
    benchmark::Shutdown();
    return 0;
}
