// Time per name of 1,000 registry lookups over RDAP against a loopback HTTPS server, next to
// curl asking the same server for the same names, one process per name: each as it naturally
// runs (the program keeps its connection for the run, curl opens one per process). The ratio
// printed at the end is the program's time per name over curl's.
#include "HttpsTestServer.h"
#include "net/IdTCPConnection.h"
#include "net/RegistryLookup.h"
#include "rdap/RdapClient.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {

using brinmor::test::HttpsResponse;
using brinmor::test::HttpsTestServer;

constexpr int kNames = 1000;

brinmor::test::HttpsTestServer* server = nullptr;
QString authorityFile;

std::string Base() {
    return "https://127.0.0.1:" + std::to_string(server->Port()) + "/";
}

// About the size of a registry's answer.
HttpsResponse Serve(const std::string& path) {
    if (path == "/dns.json")
        return {200,
                QByteArray::fromStdString(R"({"services":[[["example"],[")" + Base() + R"("]]]})")};
    const std::string name = path.substr(path.rfind('/') + 1);
    std::string body = R"({"objectClassName":"domain","ldhName":")" + name +
                       R"(","status":["active"],"remarks":[{"description":[)";
    for (int line = 0; body.size() < 2000; ++line)
        body += "\"Line " + std::to_string(line) + " of the loopback registry\",";
    body += R"("end"]}]})";
    return {200, QByteArray::fromStdString(body)};
}

std::string Name(int i) {
    return "bench-" + std::to_string(i) + ".example";
}

void BM_RegistryLookupsOverRdap(benchmark::State& state) {
    brinmor::SetRdapBootstrapOverride(Base() + "dns.json");
    brinmor::SetRdapTestAuthoritiesOverride({brinmor::test::Certificates()->trusted});
    for (auto _ : state) {
        // One run: IANA names no whois server, so every name goes to RDAP.
        brinmor::TRdapSettings settings;
        settings.connectTimeout = brinmor::IdDefaultConnectTimeout;
        settings.silenceTimeout = brinmor::IdDefaultSilenceTimeout;
        settings.queryTimeout = brinmor::IdDefaultQueryTimeout;
        settings.maxAnswerSize = brinmor::IdMaxAnswerSize;
        brinmor::TRdapClient rdap(settings);
        brinmor::TRegistryLookup lookup(
            [](const std::string&, const std::string&) {
                return std::string("domain: EXAMPLE\nstatus: ACTIVE\n");
            },
            [&](const std::string& name) { return rdap.Lookup(name); });
        for (int i = 0; i < kNames; ++i) {
            const auto answer = lookup.Lookup(Name(i));
            if (!answer || !answer->rendered) {
                state.SkipWithError("a lookup failed");
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kNames);
}

void BM_CurlProcesses(benchmark::State& state) {
    for (auto _ : state) {
        for (int i = 0; i < kNames; ++i) {
            QProcess curl;
            QEventLoop loop;
            QObject::connect(&curl, &QProcess::finished, &loop, &QEventLoop::quit);
            curl.start("curl", {"-sS", "-o", "/dev/null", "--noproxy", "*", "--cacert",
                                authorityFile, "-H", "Accept: application/rdap+json",
                                QString::fromStdString(Base() + "domain/" + Name(i))});
            // The server answers from this thread's event loop.
            if (curl.state() != QProcess::NotRunning)
                loop.exec();
            if (curl.exitStatus() != QProcess::NormalExit || curl.exitCode() != 0) {
                state.SkipWithError("curl failed");
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kNames);
}

BENCHMARK(BM_RegistryLookupsOverRdap)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurlProcesses)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Keeps each benchmark's real time per name.
class TimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                perName[run.benchmark_name().substr(0, run.benchmark_name().find('/'))] =
                    run.GetAdjustedRealTime() / static_cast<double>(kNames);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> perName; // milliseconds
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!brinmor::test::Certificates()) {
        std::fprintf(stderr, "the openssl tool is missing\n");
        return 1;
    }
    QTemporaryDir dir;
    authorityFile = dir.filePath("authority.pem");
    QFile file(authorityFile);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(brinmor::test::Certificates()->trusted.toPem()) < 0)
        return 1;
    file.close();
    HttpsTestServer https(Serve);
    server = &https;

    TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double program = reporter.perName["BM_RegistryLookupsOverRdap"];
    const double curl = reporter.perName["BM_CurlProcesses"];
    if (program > 0 && curl > 0)
        std::printf("\nRDAP lookup %.3f ms/name = %.3f x curl %.3f ms/name\n", program,
                    program / curl, curl);
    benchmark::Shutdown();
}
