#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brinmor::test {

// What the fake does on one accepted connection, step by step. Every wait is bounded, and
// Stop() interrupts it.
class ProxyScript {
public:
    // Reads until at least `count` more bytes have come; everything read is recorded, so
    // bytes the client sends beyond the count show up in Received().
    ProxyScript& Read(std::size_t count);
    // Reads until the bytes received so far on this connection end with `terminator`.
    ProxyScript& ReadUntil(std::string terminator);
    // Sends the bytes in one call, or in pieces of `chunk` bytes with a short pause between
    // them so that they arrive as separate segments.
    ProxyScript& Send(std::string bytes, std::size_t chunk = 0);
    // Half-closes (FIN), keeps reading until the client closes too, then closes. This is also
    // what happens after the last step.
    ProxyScript& Close();
    // Closes with a reset (RST) instead of a FIN.
    ProxyScript& Reset();
    // Keeps the connection open, reading and recording, until the client closes it.
    ProxyScript& WaitForClose();

    struct Step {
        enum Kind { kRead, kReadUntil, kSend, kClose, kReset, kWaitForClose } kind;
        std::size_t count = 0;
        std::string bytes;
    };
    const std::vector<Step>& Steps() const { return steps_; }

private:
    std::vector<Step> steps_;
};

// A fake SOCKS proxy (or any scripted TCP server) on 127.0.0.1, port chosen by the OS, served
// by its own thread until Stop() or destruction.
//
// Scripted: connection i runs scripts[i] and its received bytes are recorded; connections
// beyond the scripts are closed at once. Received bytes are kept for every connection.
//
// Relaying: a working SOCKS 5 proxy that accepts only the method it was configured for (no
// authentication, or user name and password when `user` is not empty), connects the
// requested target name to 127.0.0.1 on the port the table gives for it (the requested port
// is recorded but not used), and relays bytes both ways until both sides have closed.
// Unknown names get reply 4 (host unreachable), a refused onward connect reply 5.
// Connections are served one after the other.
class FakeSocksProxy {
public:
    explicit FakeSocksProxy(std::vector<ProxyScript> scripts);

    // Every connection runs the same script (a server for loops and benchmarks).
    enum Repeat { kEveryConnection };
    FakeSocksProxy(ProxyScript script, Repeat);

    struct Relaying {
        std::map<std::string, int> targets;
        std::string user;
        std::string password;
    };
    explicit FakeSocksProxy(Relaying relaying);

    ~FakeSocksProxy();
    FakeSocksProxy(const FakeSocksProxy&) = delete;
    FakeSocksProxy& operator=(const FakeSocksProxy&) = delete;

    int Port() const { return port_; }

    // Ends the thread (interrupting any wait) and counts connections still waiting to be
    // accepted, so that Connections() is complete afterwards.
    void Stop();

    std::size_t Connections() const;
    // Every byte read on the connection, in order (empty for a connection that never came).
    std::string Received(std::size_t connection = 0) const;
    // Relaying: the targets asked for, as "host:port", in order.
    std::vector<std::string> Targets() const;

private:
    void Listen();
    void Run();
    void Serve(int fd, std::size_t connection);
    void RunScript(int fd, std::size_t connection, const ProxyScript& script);
    void Relay(int fd);
    void Record(std::size_t connection, const char* data, std::size_t length);

    std::vector<ProxyScript> scripts_;
    bool repeating_ = false;
    bool relaying_ = false;
    Relaying relay_;

    int listener_ = -1;
    int port_ = 0;
    int stopPipe_[2] = {-1, -1};

    mutable std::mutex mutex_;
    std::size_t connections_ = 0;
    std::vector<std::string> received_;
    std::vector<std::string> targets_;

    std::thread thread_;
};

} // namespace brinmor::test
