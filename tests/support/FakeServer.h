#pragma once

#include "support/LoopbackListener.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace brinmor::test {

class FakeServer;

// The server's side of one accepted connection, handed to the handler. Every wait is bounded
// (FakeServer::WaitBoundMs) and ends early when the server stops. After a failed step (peer
// gone, bound reached) the later steps do nothing and return false or empty text.
class FakeSession {
public:
    int Index() const { return index_; }
    bool Failed() const { return failed_; }

    // Reads until count bytes have arrived; fewer when the peer closes first.
    std::string Receive(std::size_t count);
    // Reads up to and including the first CR LF (or until the peer closes).
    std::string ReceiveLine();
    // Reads until the peer closes.
    std::string ReceiveUntilClosed();
    bool Send(const std::string& bytes);
    // Separate sends of at most chunk bytes each, with Nagle off so they leave one by one.
    bool SendChunks(const std::string& bytes, std::size_t chunk);
    void Pause(int ms);
    // Waits until the test opens the gate (FakeServer::OpenGate).
    void WaitGate(int gate);
    // Orderly close (FIN).
    void Close();
    // Abortive close (RST): SO_LINGER with a zero time-out, then close.
    void Reset();
    // Sends nothing and waits until the peer closes (or the bound, or the server stops).
    void StaySilent();

private:
    friend class FakeServer;
    FakeSession(FakeServer& server, int fd, int index) : server_(server), fd_(fd), index_(index) {}
    bool WaitFor(short events, int timeoutMs);
    void Record(const char* data, std::size_t count);

    FakeServer& server_;
    int fd_;
    int index_;
    bool failed_ = false;
};

// A list of session steps, run in order for each connection.
class FakeScript {
public:
    FakeScript& Expect(std::size_t count);
    FakeScript& ExpectLine();
    FakeScript& Send(std::string bytes);
    FakeScript& SendChunks(std::string bytes, std::size_t chunk);
    // One byte at a time, with a pause of everyMs after each.
    FakeScript& Trickle(const std::string& bytes, int everyMs);
    FakeScript& Pause(int ms);
    FakeScript& WaitGate(int gate);
    FakeScript& Close();
    FakeScript& Reset();
    FakeScript& Silent();

    void Run(FakeSession& session) const;

private:
    std::vector<std::function<void(FakeSession&)>> steps_;
};

// An in-process TCP server on 127.0.0.1 with a port chosen by the system. One thread accepts
// and serves connections one after the other; what each connection sent is recorded. The
// destructor stops the thread and joins it. Either a script for every connection:
//     FakeServer server(FakeScript().ExpectLine().Send("answer").Close());
// or a handler that answers by content (the session closes when the handler returns):
//     FakeServer server([](FakeSession& s) { s.Send(AnswerFor(s.ReceiveLine())); });
class FakeServer {
public:
    using Handler = std::function<void(FakeSession&)>;

    explicit FakeServer(Handler handler);
    explicit FakeServer(FakeScript script);
    ~FakeServer();
    FakeServer(const FakeServer&) = delete;
    FakeServer& operator=(const FakeServer&) = delete;

    static constexpr int WaitBoundMs = 20000;

    std::uint16_t Port() const { return static_cast<std::uint16_t>(listener_.Port()); }
    // Connections accepted so far.
    int Connections() const;
    // Sessions whose handler has returned and whose socket is closed.
    int Finished() const;
    bool WaitForConnections(int count, int timeoutMs = WaitBoundMs) const;
    bool WaitForFinished(int count, int timeoutMs = WaitBoundMs) const;
    // Bytes received on the connection with this index (0-based), so far.
    std::string Received(int index) const;
    void OpenGate(int gate);

private:
    friend class FakeSession;
    void Serve();
    bool Stopping() const { return stopping_; }
    bool WaitGate(int gate, int timeoutMs);
    void PauseFor(int ms);

    Handler handler_;
    LoopbackListener listener_{64};
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    int connections_ = 0;
    int finished_ = 0;
    std::vector<std::string> received_;
    std::set<int> gates_;
    std::thread thread_;
};

} // namespace brinmor::test
