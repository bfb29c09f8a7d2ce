// Queries per second of QueryDomain, directly and through microsocks, against a loopback
// whois fake, next to a raw-socket loop (connect, send, receive to the end, close) against
// the same server: the ratios show what the client and the proxy cost.
#include "net/IdWhois.h"
#include "support/FakeSocksProxy.h"
#include "support/PeerProcess.h"

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using brinmor::TIdWhois;
using brinmor::test::FakeSocksProxy;
using brinmor::test::PeerProcess;
using brinmor::test::ProxyScript;

const std::string kQuery = "bench.test";

// About the size of a registry's answer.
std::string Answer() {
    std::string answer;
    for (int line = 0; answer.size() < 2000; ++line)
        answer += "Field " + std::to_string(line) + ": value of the loopback registry\r\n";
    return answer;
}

FakeSocksProxy* server = nullptr;
PeerProcess* microsocks = nullptr;

void RawSocketQuery(benchmark::State& state) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(server->Port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string line = kQuery + "\r\n";
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

void QueryDomain(benchmark::State& state, bool throughProxy) {
    TIdWhois whois;
    whois.SetHost("127.0.0.1");
    whois.SetPort(server->Port());
    if (throughProxy) {
        if (microsocks == nullptr) {
            state.SkipWithError(PeerProcess::Missing(brinmor::test::kMicrosocksProgram).c_str());
            return;
        }
        whois.SocksInfo().Version = brinmor::svSocks5;
        whois.SocksInfo().Host = "127.0.0.1";
        whois.SocksInfo().Port = microsocks->Port();
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(whois.QueryDomain(kQuery));
    state.SetItemsProcessed(state.iterations());
}

void QueryDomainDirect(benchmark::State& state) {
    QueryDomain(state, false);
}
void QueryDomainMicrosocks(benchmark::State& state) {
    QueryDomain(state, true);
}

// Keeps queries per second by benchmark name, for the ratios after the table.
class RateReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rates;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.real_accumulated_time > 0)
                rates[run.benchmark_name()] =
                    static_cast<double>(run.iterations) / run.real_accumulated_time;
    }
};

} // namespace

BENCHMARK(RawSocketQuery)->UseRealTime();
BENCHMARK(QueryDomainDirect)->UseRealTime();
BENCHMARK(QueryDomainMicrosocks)->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    FakeSocksProxy whoisServer(ProxyScript().ReadUntil("\r\n").Send(Answer()),
                               FakeSocksProxy::kEveryConnection);
    server = &whoisServer;
    std::unique_ptr<PeerProcess> proxy;
    if (PeerProcess::Missing(brinmor::test::kMicrosocksProgram).empty())
        proxy = PeerProcess::Microsocks();
    microsocks = proxy.get();

    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto rate = [&](const char* name) {
        const auto found = reporter.rates.find(std::string(name) + "/real_time");
        return found == reporter.rates.end() ? 0.0 : found->second;
    };
    const double raw = rate("RawSocketQuery");
    for (const char* name : {"QueryDomainDirect", "QueryDomainMicrosocks"})
        if (raw > 0 && rate(name) > 0)
            std::printf("%-22s %9.0f queries/s, %.2f of the raw-socket %.0f queries/s\n", name,
                        rate(name), rate(name) / raw, raw);
    benchmark::Shutdown();
}
