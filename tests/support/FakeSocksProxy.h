#pragma once

#include "support/FakeServer.h"
#include "support/LoopbackListener.h"

#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brinmor::test {

// A scripted proxy is a FakeServer. These make its scripts.

// Connection i runs scripts[i]; connections beyond them are closed at once.
FakeServer::Handler InTurn(std::vector<FakeScript> scripts);
// Sends the bytes as separate sends of `chunk` bytes with a short pause after each, so that
// the client meets them in as many receives; chunk 0 sends them whole.
FakeScript& SendIn(FakeScript& script, const std::string& bytes, std::size_t chunk);

// A working SOCKS 5 proxy on 127.0.0.1 (port chosen by the OS, own thread) for tests that need
// a proxy which simply works. It accepts only the method it was made for (no authentication,
// or user name and password when `user` is not empty), connects the requested target name to
// 127.0.0.1 at the port the table gives for it (the requested port is recorded, not used), and
// relays bytes both ways until both sides have closed. An unknown name gets reply 4 (host
// unreachable), a refused onward connect reply 5. Connections are served one after the other;
// every wait is bounded and the destructor ends them.
class FakeSocksProxy {
public:
    explicit FakeSocksProxy(std::map<std::string, int> targets, std::string user = "",
                            std::string password = "");
    ~FakeSocksProxy();
    FakeSocksProxy(const FakeSocksProxy&) = delete;
    FakeSocksProxy& operator=(const FakeSocksProxy&) = delete;

    int Port() const { return listener_.Port(); }
    std::size_t Connections() const;
    // The targets asked for, as "host:port", in order.
    std::vector<std::string> Targets() const;

private:
    void Run();
    void Serve(int fd);
    void Relay(int client, int server);

    const std::map<std::string, int> targets_;
    const std::string user_;
    const std::string password_;

    LoopbackListener listener_{16};

    mutable std::mutex mutex_;
    std::size_t connections_ = 0;
    std::vector<std::string> requests_;

    std::thread thread_;
};

} // namespace brinmor::test
