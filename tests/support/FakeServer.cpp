#include "support/FakeServer.h"

#include "support/TestSocket.h"

#include <chrono>
#include <stdexcept>

namespace brinmor::test {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

} // namespace

// ---- FakeSession

bool FakeSession::WaitFor(short events, int timeoutMs) {
    if (failed_)
        return false;
    PollEntry polled[2] = {{fd_, events, 0}, {server_.listener_.StopFd(), POLLIN, 0}};
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int ready = PollSockets(polled, 2, RemainingMs(deadline));
        if (ready > 0 && polled[1].revents == 0 && polled[0].revents != 0)
            return true;
        if (ready == 0 || ready > 0 || !RetryLater()) {
            failed_ = true;
            return false;
        }
    }
}

void FakeSession::Record(const char* data, std::size_t count) {
    std::lock_guard lock(server_.mutex_);
    server_.received_[static_cast<std::size_t>(index_)].append(data, count);
}

std::string FakeSession::Receive(std::size_t count) {
    std::string got;
    char buffer[65536];
    while (got.size() < count && WaitFor(POLLIN, FakeServer::WaitBoundMs)) {
        const std::size_t want = std::min(sizeof buffer, count - got.size());
        const ssize_t n = ::recv(fd_, buffer, want, 0);
        if (n <= 0) {
            failed_ = true;
            break;
        }
        Record(buffer, static_cast<std::size_t>(n));
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

std::string FakeSession::ReceiveLine() {
    std::string got;
    char buffer[4096];
    while (WaitFor(POLLIN, FakeServer::WaitBoundMs)) {
        // Peek, then take exactly up to the line end so later bytes stay for the next step.
        const ssize_t seen = ::recv(fd_, buffer, sizeof buffer, MSG_PEEK);
        if (seen <= 0) {
            failed_ = true;
            break;
        }
        std::string view = got.empty() ? std::string() : got.substr(got.size() - 1);
        view.append(buffer, static_cast<std::size_t>(seen));
        const auto end = view.find("\r\n");
        const std::size_t take = end == std::string::npos ? static_cast<std::size_t>(seen)
                                                          : end + 2 - (got.empty() ? 0 : 1);
        const ssize_t n = ::recv(fd_, buffer, take, 0);
        if (n <= 0) {
            failed_ = true;
            break;
        }
        Record(buffer, static_cast<std::size_t>(n));
        got.append(buffer, static_cast<std::size_t>(n));
        if (end != std::string::npos)
            break;
    }
    return got;
}

std::string FakeSession::ReceiveUntilClosed() {
    return Receive(std::string::npos);
}

bool FakeSession::Send(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (!WaitFor(POLLOUT, FakeServer::WaitBoundMs))
            return false;
        const long n = SendNoWait(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && RetryLater())
            continue;
        if (n <= 0) {
            failed_ = true;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return !failed_;
}

bool FakeSession::SendChunks(const std::string& bytes, std::size_t chunk) {
    SetNoDelay(fd_);
    for (std::size_t at = 0; at < bytes.size() && !failed_; at += chunk)
        Send(bytes.substr(at, chunk));
    return !failed_;
}

void FakeSession::Pause(int ms) {
    server_.PauseFor(ms);
}

void FakeSession::WaitGate(int gate) {
    if (!server_.WaitGate(gate, FakeServer::WaitBoundMs))
        failed_ = true;
}

void FakeSession::Close() {
    CloseSocket(fd_);
    fd_ = -1;
    failed_ = true;
}

void FakeSession::Reset() {
    if (fd_ >= 0)
        AbortSocket(fd_);
    fd_ = -1;
    failed_ = true;
}

void FakeSession::StaySilent() {
    ReceiveUntilClosed();
}

// ---- FakeScript

FakeScript& FakeScript::Expect(std::size_t count) {
    steps_.push_back([count](FakeSession& s) { s.Receive(count); });
    return *this;
}

FakeScript& FakeScript::ExpectLine() {
    steps_.push_back([](FakeSession& s) { s.ReceiveLine(); });
    return *this;
}

FakeScript& FakeScript::Send(std::string bytes) {
    steps_.push_back([bytes = std::move(bytes)](FakeSession& s) { s.Send(bytes); });
    return *this;
}

FakeScript& FakeScript::SendChunks(std::string bytes, std::size_t chunk) {
    steps_.push_back(
        [bytes = std::move(bytes), chunk](FakeSession& s) { s.SendChunks(bytes, chunk); });
    return *this;
}

FakeScript& FakeScript::Trickle(const std::string& bytes, int everyMs) {
    for (const char byte : bytes)
        SendChunks(std::string(1, byte), 1).Pause(everyMs);
    return *this;
}

FakeScript& FakeScript::Pause(int ms) {
    steps_.push_back([ms](FakeSession& s) { s.Pause(ms); });
    return *this;
}

FakeScript& FakeScript::WaitGate(int gate) {
    steps_.push_back([gate](FakeSession& s) { s.WaitGate(gate); });
    return *this;
}

FakeScript& FakeScript::Close() {
    steps_.push_back([](FakeSession& s) { s.Close(); });
    return *this;
}

FakeScript& FakeScript::Reset() {
    steps_.push_back([](FakeSession& s) { s.Reset(); });
    return *this;
}

FakeScript& FakeScript::Silent() {
    steps_.push_back([](FakeSession& s) { s.StaySilent(); });
    return *this;
}

void FakeScript::Run(FakeSession& session) const {
    for (const auto& step : steps_) {
        if (session.Failed())
            return;
        step(session);
    }
}

// ---- FakeServer

FakeServer::FakeServer(FakeScript script)
    : FakeServer(Handler([script = std::move(script)](FakeSession& s) { script.Run(s); })) {}

FakeServer::FakeServer(Handler handler) : handler_(std::move(handler)) {
    thread_ = std::thread([this] { Serve(); });
}

FakeServer::~FakeServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    listener_.Stop();
    thread_.join();
}

void FakeServer::Serve() {
    while (!stopping_) {
        const int fd = listener_.Accept();
        if (fd < 0)
            break;
        int index;
        {
            std::lock_guard lock(mutex_);
            index = connections_++;
            received_.emplace_back();
        }
        changed_.notify_all();
        FakeSession session(*this, fd, index);
        handler_(session);
        CloseSocket(session.fd_);
        {
            std::lock_guard lock(mutex_);
            ++finished_;
        }
        changed_.notify_all();
    }
}

int FakeServer::Connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

int FakeServer::Finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

bool FakeServer::WaitForConnections(int count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return connections_ >= count; });
}

bool FakeServer::WaitForFinished(int count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return finished_ >= count; });
}

std::string FakeServer::Received(int index) const {
    std::lock_guard lock(mutex_);
    return index >= 0 && static_cast<std::size_t>(index) < received_.size()
               ? received_[static_cast<std::size_t>(index)]
               : std::string();
}

void FakeServer::OpenGate(int gate) {
    {
        std::lock_guard lock(mutex_);
        gates_.insert(gate);
    }
    changed_.notify_all();
}

bool FakeServer::WaitGate(int gate, int timeoutMs) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return stopping_ || gates_.count(gate) != 0;
    }) && !stopping_;
}

void FakeServer::PauseFor(int ms) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return bool(stopping_); });
}

} // namespace brinmor::test
