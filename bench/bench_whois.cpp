// Queries per second of QueryDomain, directly and through microsocks, against a loopback
// whois fake, next to raw-socket loops (connect, the same SOCKS 5 bytes when proxied, send,
// receive to the end, close) to the same server: the ratios show what the client costs, and
// how much of the proxied figure is the proxy's own.
#include "net/IdWhois.h"
#include "support/FakeServer.h"
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
using brinmor::test::FakeScript;
using brinmor::test::FakeServer;
using brinmor::test::PeerProcess;

const std::string kQuery = "bench.test";

// About the size of a registry's answer.
std::string Answer() {
    std::string answer;
    for (int line = 0; answer.size() < 2000; ++line)
        answer += "Field " + std::to_string(line) + ": value of the loopback registry\r\n";
    return answer;
}

FakeServer* server = nullptr;
PeerProcess* microsocks = nullptr;

bool SendAll(int fd, const std::string& bytes) {
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
}

bool ReceiveExact(int fd, std::size_t count) {
    char buffer[64];
    for (std::size_t got = 0; got < count;) {
        const ssize_t n = ::recv(fd, buffer, count - got, 0);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// One query over a plain socket; through microsocks when proxied, with the bytes the client
// sends (greeting, connect request by name) and the 10-byte reply microsocks gives.
bool RawQuery(bool proxied) {
    const int port = server->Port();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(proxied ? microsocks->Port() : port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (ok && proxied) {
        const std::string target = "127.0.0.1";
        ok = SendAll(fd, std::string("\x05\x01\x00", 3)) && ReceiveExact(fd, 2) &&
             SendAll(fd, std::string("\x05\x01\x00\x03", 4) + char(target.size()) + target +
                             char(port >> 8) + char(port & 0xFF)) &&
             ReceiveExact(fd, 10);
    }
    ok = ok && SendAll(fd, kQuery + "\r\n");
    char buffer[8192];
    std::size_t total = 0;
    for (ssize_t n; ok && (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
        total += static_cast<std::size_t>(n);
    ::close(fd);
    return ok && total > 0;
}

bool SkipWithoutProxy(benchmark::State& state) {
    if (microsocks != nullptr)
        return false;
    state.SkipWithError(PeerProcess::Missing(brinmor::test::kMicrosocksProgram).c_str());
    return true;
}

void RawSocket(benchmark::State& state, bool proxied) {
    if (proxied && SkipWithoutProxy(state))
        return;
    for (auto _ : state)
        if (!RawQuery(proxied)) {
            state.SkipWithError("raw query failed");
            break;
        }
    state.SetItemsProcessed(state.iterations());
}

void QueryDomain(benchmark::State& state, bool proxied) {
    if (proxied && SkipWithoutProxy(state))
        return;
    TIdWhois whois;
    whois.SetHost("127.0.0.1");
    whois.SetPort(server->Port());
    if (proxied) {
        whois.SocksInfo().Version = brinmor::svSocks5;
        whois.SocksInfo().Host = "127.0.0.1";
        whois.SocksInfo().Port = microsocks->Port();
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(whois.QueryDomain(kQuery));
    state.SetItemsProcessed(state.iterations());
}

// Sums iterations and time by benchmark name over all repetitions, for the ratios after the
// table.
class RateReporter : public benchmark::ConsoleReporter {
public:
    double Rate(const std::string& name) const {
        const auto found = totals_.find(name + "/real_time");
        return found == totals_.end() || found->second.seconds <= 0
                   ? 0.0
                   : found->second.queries / found->second.seconds;
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            Total& total = totals_[run.benchmark_name()];
            total.queries += static_cast<double>(run.iterations);
            total.seconds += run.real_accumulated_time;
        }
    }

private:
    struct Total {
        double queries = 0;
        double seconds = 0;
    };
    std::map<std::string, Total> totals_;
};

} // namespace

BENCHMARK_CAPTURE(RawSocket, Direct, false)->UseRealTime();
BENCHMARK_CAPTURE(QueryDomain, Direct, false)->UseRealTime();
BENCHMARK_CAPTURE(RawSocket, Microsocks, true)->UseRealTime();
BENCHMARK_CAPTURE(QueryDomain, Microsocks, true)->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    FakeServer whoisServer(FakeScript().ExpectLine().Send(Answer()));
    server = &whoisServer;
    std::unique_ptr<PeerProcess> proxy;
    if (PeerProcess::Missing(brinmor::test::kMicrosocksProgram).empty())
        proxy = PeerProcess::Microsocks();
    microsocks = proxy.get();

    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&](const std::string& name, const std::string& base) {
        const double rate = reporter.Rate(name);
        const double baseRate = reporter.Rate(base);
        if (rate > 0 && baseRate > 0)
            std::printf("%-24s %8.0f queries/s = %.2f x %s (%.0f queries/s)\n", name.c_str(), rate,
                        rate / baseRate, base.c_str(), baseRate);
    };
    std::printf("\n");
    ratio("QueryDomain/Direct", "RawSocket/Direct");
    ratio("QueryDomain/Microsocks", "RawSocket/Direct");
    ratio("QueryDomain/Microsocks", "RawSocket/Microsocks");
    benchmark::Shutdown();
}
