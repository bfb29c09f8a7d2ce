// The connection layer against a raw socket loop, both talking to the same loopback server:
// (a) many queries with a 2 KB answer, (b) one query with a 16 MiB answer.

#include "net/IdTCPClient.h"
#include "support/FakeServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <map>
#include <netinet/in.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using brinmor::TIdTCPClient;
using brinmor::test::FakeServer;
using brinmor::test::FakeSession;

std::string Answer(std::size_t size) {
    std::string text;
    while (text.size() < size)
        text += "Domain Name: EXAMPLE.TEST\r\nRegistrar WHOIS Server: whois.example.test\r\n";
    text.resize(size);
    return text;
}

// Answers each query line with the given text and closes.
FakeServer& ServerFor(std::size_t size) {
    static std::map<std::size_t, std::unique_ptr<FakeServer>> servers;
    auto& server = servers[size];
    if (!server) {
        const std::string answer = Answer(size);
        server = std::make_unique<FakeServer>([answer](FakeSession& session) {
            session.ReceiveLine();
            session.Send(answer);
        });
    }
    return *server;
}

std::string QueryThroughClient(TIdTCPClient& client) {
    client.Connect();
    client.WriteLine("example.test");
    std::string answer = client.ReadToEnd();
    client.Disconnect();
    return answer;
}

std::string QueryRaw(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("raw connect failed");
    const char query[] = "example.test\r\n";
    ::send(fd, query, sizeof query - 1, MSG_NOSIGNAL);
    std::string answer;
    char buffer[8192];
    ssize_t n;
    while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
        answer.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return answer;
}

void Check(const std::string& answer, std::size_t size, benchmark::State& state) {
    if (answer.size() != size)
        state.SkipWithError("short answer");
}

void BM_ReadToEnd(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    FakeServer& server = ServerFor(size);
    TIdTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(server.Port());
    for (auto _ : state)
        Check(QueryThroughClient(client), size, state);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

void BM_RawLoop(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    FakeServer& server = ServerFor(size);
    for (auto _ : state)
        Check(QueryRaw(server.Port()), size, state);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

constexpr std::int64_t Small = 2048;
constexpr std::int64_t Large = 16 << 20;

BENCHMARK(BM_ReadToEnd)->Arg(Small)->Arg(Large)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawLoop)->Arg(Small)->Arg(Large)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Keeps each run's time per query so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions the median stands for the benchmark.
        for (const Run& run : runs)
            if (!run.error_occurred &&
                (run.run_type == Run::RT_Iteration || run.aggregate_name == "median"))
                seconds[run.run_name.str()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

// Alternates short blocks of both loops and compares the median block times, so that load from
// other programs on the machine hits both sides alike. Returns raw time / client time, which is
// the client's queries per second (or MB/s) over the raw loop's.
double InterleavedRatio(std::size_t size, int rounds, int perRound) {
    using Clock = std::chrono::steady_clock;
    FakeServer& server = ServerFor(size);
    TIdTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(server.Port());
    std::vector<double> mine;
    std::vector<double> raw;
    const auto block = [&](bool throughClient) {
        const auto start = Clock::now();
        for (int i = 0; i < perRound; ++i)
            benchmark::DoNotOptimize(throughClient ? QueryThroughClient(client)
                                                   : QueryRaw(server.Port()));
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    for (int round = 0; round < rounds; ++round) {
        const bool clientFirst = round % 2 == 0;
        const double first = block(clientFirst);
        const double second = block(!clientFirst);
        mine.push_back(clientFirst ? first : second);
        raw.push_back(clientFirst ? second : first);
    }
    const auto median = [](std::vector<double>& v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    return median(raw) / median(mine);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&](const char* mine, const char* raw) {
        const auto a = reporter.seconds.find(mine);
        const auto b = reporter.seconds.find(raw);
        return a == reporter.seconds.end() || b == reporter.seconds.end() ? 0.0
                                                                          : b->second / a->second;
    };
    const double perQuery = reporter.seconds.count("BM_RawLoop/2048/real_time")
                                ? reporter.seconds["BM_RawLoop/2048/real_time"]
                                : 0.0;
    const double small = ratio("BM_ReadToEnd/2048/real_time", "BM_RawLoop/2048/real_time");
    const double large = ratio("BM_ReadToEnd/16777216/real_time", "BM_RawLoop/16777216/real_time");
    std::printf(
        "\n(a) 2 KB answers: ReadToEnd/raw queries per second ratio = %.2f (raw %.1f us per "
        "query)\n",
        small, perQuery);
    std::printf("(b) 16 MiB answer: ReadToEnd/raw MB/s ratio = %.2f\n", large);
    std::printf("interleaved blocks, medians: (a) %.2f, (b) %.2f\n",
                InterleavedRatio(static_cast<std::size_t>(Small), 21, 100),
                InterleavedRatio(static_cast<std::size_t>(Large), 21, 2));
    benchmark::Shutdown();
    return 0;
}
