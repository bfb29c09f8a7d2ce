#include "support/FakeSocksProxy.h"

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace brinmor::test {

namespace {

using namespace std::chrono_literals;

// Longer than any guard time-out of the client, so that the client is the one to give up.
constexpr int kWaitLimitMs = 60'000;
constexpr auto kChunkPause = 2ms;
constexpr std::size_t kReadSize = 4096;

// Waits until `fd` is readable; false when the wait times out or `stopFd` fires first.
bool WaitReadable(int fd, int stopFd) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    const int ready = ::poll(fds, 2, kWaitLimitMs);
    return ready > 0 && fds[1].revents == 0 && fds[0].revents != 0;
}

// Some bytes from `fd`: the count, 0 when the peer has closed, -1 on error, stop or time-out.
long ReceiveSome(int fd, int stopFd, char* buffer, std::size_t size) {
    if (!WaitReadable(fd, stopFd))
        return -1;
    return ::recv(fd, buffer, size, 0);
}

bool ReceiveExact(int fd, int stopFd, std::string& out, std::size_t count) {
    out.assign(count, '\0');
    for (std::size_t got = 0; got < count;) {
        const long n = ReceiveSome(fd, stopFd, out.data() + got, count - got);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool SendAll(int fd, const char* data, std::size_t length) {
    while (length > 0) {
        const long n = ::send(fd, data, length, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SendAll(int fd, const std::string& bytes) {
    return SendAll(fd, bytes.data(), bytes.size());
}

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int ConnectLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(port);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

} // namespace

ProxyScript& ProxyScript::Read(std::size_t count) {
    steps_.push_back({Step::kRead, count, {}});
    return *this;
}

ProxyScript& ProxyScript::ReadUntil(std::string terminator) {
    steps_.push_back({Step::kReadUntil, 0, std::move(terminator)});
    return *this;
}

ProxyScript& ProxyScript::Send(std::string bytes, std::size_t chunk) {
    steps_.push_back({Step::kSend, chunk, std::move(bytes)});
    return *this;
}

ProxyScript& ProxyScript::Close() {
    steps_.push_back({Step::kClose, 0, {}});
    return *this;
}

ProxyScript& ProxyScript::Reset() {
    steps_.push_back({Step::kReset, 0, {}});
    return *this;
}

ProxyScript& ProxyScript::WaitForClose() {
    steps_.push_back({Step::kWaitForClose, 0, {}});
    return *this;
}

FakeSocksProxy::FakeSocksProxy(std::vector<ProxyScript> scripts) : scripts_(std::move(scripts)) {
    Listen();
}

FakeSocksProxy::FakeSocksProxy(ProxyScript script, Repeat)
    : scripts_{std::move(script)}, repeating_(true) {
    Listen();
}

FakeSocksProxy::FakeSocksProxy(Relaying relaying) : relaying_(true), relay_(std::move(relaying)) {
    Listen();
}

void FakeSocksProxy::Listen() {
    if (::pipe(stopPipe_) != 0)
        throw std::runtime_error("cannot create a pipe");
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on a loopback port");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

FakeSocksProxy::~FakeSocksProxy() {
    Stop();
    ::close(listener_);
    ::close(stopPipe_[0]);
    ::close(stopPipe_[1]);
}

void FakeSocksProxy::Stop() {
    if (!thread_.joinable())
        return;
    const char byte = 0;
    [[maybe_unused]] const auto ignored = ::write(stopPipe_[1], &byte, 1);
    thread_.join();
    // Connections the kernel completed but nobody accepted still count as contact.
    ::fcntl(listener_, F_SETFL, O_NONBLOCK);
    for (int fd; (fd = ::accept(listener_, nullptr, nullptr)) >= 0;) {
        ::close(fd);
        std::lock_guard lock(mutex_);
        ++connections_;
    }
}

void FakeSocksProxy::Run() {
    for (std::size_t connection = 0;; ++connection) {
        // No limit here: Stop() is what ends the wait for the next client.
        pollfd fds[2] = {{listener_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        while (::poll(fds, 2, -1) <= 0) {
        }
        if (fds[1].revents != 0)
            return;
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0)
            return;
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        {
            std::lock_guard lock(mutex_);
            ++connections_;
            received_.resize(connection + 1);
        }
        Serve(fd, connection);
        ::close(fd);
    }
}

void FakeSocksProxy::Serve(int fd, std::size_t connection) {
    if (relaying_)
        Relay(fd);
    else if (repeating_)
        RunScript(fd, connection, scripts_.front());
    else if (connection < scripts_.size())
        RunScript(fd, connection, scripts_[connection]);
    else
        RunScript(fd, connection, ProxyScript());
}

void FakeSocksProxy::Record(std::size_t connection, const char* data, std::size_t length) {
    std::lock_guard lock(mutex_);
    received_[connection].append(data, length);
}

void FakeSocksProxy::RunScript(int fd, std::size_t connection, const ProxyScript& script) {
    using Step = ProxyScript::Step;
    char buffer[kReadSize];
    // Reads once and records; false when the client has closed or the wait ended.
    auto readSome = [&](std::size_t& got) {
        const long n = ReceiveSome(fd, stopPipe_[0], buffer, sizeof buffer);
        if (n <= 0)
            return false;
        Record(connection, buffer, static_cast<std::size_t>(n));
        got += static_cast<std::size_t>(n);
        return true;
    };
    auto endsWith = [&](const std::string& tail) {
        std::lock_guard lock(mutex_);
        const std::string& all = received_[connection];
        return all.size() >= tail.size() &&
               all.compare(all.size() - tail.size(), tail.size(), tail) == 0;
    };

    std::vector<Step> steps = script.Steps();
    steps.push_back({Step::kClose, 0, {}});
    for (const Step& step : steps) {
        std::size_t got = 0;
        switch (step.kind) {
        case Step::kRead:
            while (got < step.count)
                if (!readSome(got))
                    return;
            break;
        case Step::kReadUntil:
            while (!endsWith(step.bytes))
                if (!readSome(got))
                    return;
            break;
        case Step::kSend: {
            const std::size_t chunk = step.count == 0 ? step.bytes.size() : step.count;
            for (std::size_t at = 0; at < step.bytes.size(); at += chunk) {
                if (at > 0)
                    std::this_thread::sleep_for(kChunkPause);
                if (!SendAll(fd, step.bytes.substr(at, chunk)))
                    return;
            }
            break;
        }
        case Step::kClose:
            // A FIN rather than a reset: unread input at close() would make it a reset.
            ::shutdown(fd, SHUT_WR);
            while (readSome(got)) {
            }
            return;
        case Step::kReset: {
            const linger abort{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
            return; // the caller's close() sends the reset
        }
        case Step::kWaitForClose:
            while (readSome(got)) {
            }
            break;
        }
    }
}

void FakeSocksProxy::Relay(int fd) {
    const int stop = stopPipe_[0];
    std::string part;
    // Greeting: version, method count, methods.
    if (!ReceiveExact(fd, stop, part, 2) || part[0] != 5 ||
        !ReceiveExact(fd, stop, part, static_cast<unsigned char>(part[1])))
        return;
    const char wanted = relay_.user.empty() ? 0 : 2;
    if (part.find(wanted) == std::string::npos) {
        SendAll(fd, Bytes({5, 255}));
        return;
    }
    SendAll(fd, Bytes({5, wanted}));
    if (wanted == 2) {
        std::string user, password;
        if (!ReceiveExact(fd, stop, part, 2) ||
            !ReceiveExact(fd, stop, user, static_cast<unsigned char>(part[1])) ||
            !ReceiveExact(fd, stop, part, 1) ||
            !ReceiveExact(fd, stop, password, static_cast<unsigned char>(part[0])))
            return;
        const bool accepted = user == relay_.user && password == relay_.password;
        SendAll(fd, Bytes({1, accepted ? 0 : 1}));
        if (!accepted)
            return;
    }
    // Request: version, command, reserved, address type, address, port.
    std::string header, host, port;
    if (!ReceiveExact(fd, stop, header, 4))
        return;
    if (header[3] == 3) {
        if (!ReceiveExact(fd, stop, part, 1) ||
            !ReceiveExact(fd, stop, host, static_cast<unsigned char>(part[0])))
            return;
    } else if (header[3] == 1) {
        if (!ReceiveExact(fd, stop, part, 4))
            return;
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, part.data(), text, sizeof text);
        host = text;
    } else {
        SendAll(fd, Bytes({5, 8, 0, 1, 0, 0, 0, 0, 0, 0}));
        return;
    }
    if (!ReceiveExact(fd, stop, port, 2))
        return;
    {
        std::lock_guard lock(mutex_);
        targets_.push_back(host + ":" +
                           std::to_string(static_cast<unsigned char>(port[0]) * 256 +
                                          static_cast<unsigned char>(port[1])));
    }
    const auto target = relay_.targets.find(host);
    if (header[1] != 1 || target == relay_.targets.end()) {
        SendAll(fd, Bytes({5, header[1] != 1 ? 7 : 4, 0, 1, 0, 0, 0, 0, 0, 0}));
        return;
    }
    const int onward = ConnectLoopback(target->second);
    if (onward < 0) {
        SendAll(fd, Bytes({5, 5, 0, 1, 0, 0, 0, 0, 0, 0}));
        return;
    }
    SendAll(fd,
            Bytes({5, 0, 0, 1, 127, 0, 0, 1, (target->second >> 8) & 0xFF, target->second & 0xFF}));

    // Each direction passes its end of data on as a half-close; done when both have ended.
    bool open[2] = {true, true};
    const int ends[2] = {fd, onward};
    char buffer[kReadSize];
    while (open[0] || open[1]) {
        pollfd fds[3] = {
            {open[0] ? fd : -1, POLLIN, 0}, {open[1] ? onward : -1, POLLIN, 0}, {stop, POLLIN, 0}};
        if (::poll(fds, 3, kWaitLimitMs) <= 0 || fds[2].revents != 0)
            break;
        for (int side = 0; side < 2; ++side) {
            if (!open[side] || fds[side].revents == 0)
                continue;
            const long n = ::recv(ends[side], buffer, sizeof buffer, 0);
            if (n > 0 && SendAll(ends[1 - side], buffer, static_cast<std::size_t>(n)))
                continue;
            open[side] = false;
            ::shutdown(ends[1 - side], SHUT_WR);
        }
    }
    ::close(onward);
}

std::size_t FakeSocksProxy::Connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

std::string FakeSocksProxy::Received(std::size_t connection) const {
    std::lock_guard lock(mutex_);
    return connection < received_.size() ? received_[connection] : std::string();
}

std::vector<std::string> FakeSocksProxy::Targets() const {
    std::lock_guard lock(mutex_);
    return targets_;
}

} // namespace brinmor::test
