#include "support/FakeSocksProxy.h"

#include "support/TestSocket.h"

#include <chrono>
#include <stdexcept>

namespace brinmor::test {

namespace {

constexpr int kPauseMs = 1;
constexpr std::size_t kRelaySize = 16384;

// Waits until `fd` is readable; false when the bound passes or `stopFd` fires first.
bool WaitReadable(int fd, int stopFd) {
    PollEntry fds[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    return PollSockets(fds, 2, FakeServer::WaitBoundMs) > 0 && fds[1].revents == 0;
}

bool ReceiveExact(int fd, int stopFd, std::string& out, std::size_t count) {
    out.assign(count, '\0');
    for (std::size_t got = 0; got < count;) {
        if (!WaitReadable(fd, stopFd))
            return false;
        const ssize_t n = ::recv(fd, out.data() + got, count - got, 0);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// One length byte, then that many bytes.
bool ReceiveCounted(int fd, int stopFd, std::string& out) {
    return ReceiveExact(fd, stopFd, out, 1) &&
           ReceiveExact(fd, stopFd, out, static_cast<unsigned char>(out[0]));
}

bool SendAll(int fd, const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t n = ::send(fd, data, length, kSendFlags);
        if (n <= 0)
            return false;
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SendAll(int fd, std::initializer_list<int> bytes) {
    std::string text;
    for (int byte : bytes)
        text.push_back(static_cast<char>(byte));
    return SendAll(fd, text.data(), text.size());
}

// A connect reply with an IPv4 bound address.
bool Reply(int fd, int code, int port = 0) {
    return SendAll(fd, {5, code, 0, 1, 127, 0, 0, 1, (port >> 8) & 0xFF, port & 0xFF});
}

int ConnectLoopback(int port) {
    const int fd = OpenStreamSocket();
    const sockaddr_in address = LoopbackAddress(port);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return fd;
    CloseSocket(fd);
    return -1;
}

} // namespace

FakeServer::Handler InTurn(std::vector<FakeScript> scripts) {
    return [scripts = std::move(scripts)](FakeSession& session) {
        const auto index = static_cast<std::size_t>(session.Index());
        if (index < scripts.size())
            scripts[index].Run(session);
    };
}

FakeScript& SendIn(FakeScript& script, const std::string& bytes, std::size_t chunk) {
    if (chunk == 0)
        return script.Send(bytes);
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        script.SendChunks(bytes.substr(at, chunk), chunk).Pause(kPauseMs);
    return script;
}

FakeSocksProxy::FakeSocksProxy(std::map<std::string, int> targets, std::string user,
                               std::string password)
    : targets_(std::move(targets)), user_(std::move(user)), password_(std::move(password)) {
    thread_ = std::thread([this] { Run(); });
}

FakeSocksProxy::~FakeSocksProxy() {
    listener_.Stop();
    thread_.join();
}

void FakeSocksProxy::Run() {
    // The destructor is what ends the wait for the next client.
    for (;;) {
        const int fd = listener_.Accept();
        if (fd < 0)
            return;
        {
            std::lock_guard lock(mutex_);
            ++connections_;
        }
        Serve(fd);
        CloseSocket(fd);
    }
}

void FakeSocksProxy::Serve(int fd) {
    const int stop = listener_.StopFd();
    std::string part;
    // Greeting: version, count, methods.
    if (!ReceiveExact(fd, stop, part, 1) || part[0] != 5 || !ReceiveCounted(fd, stop, part))
        return;
    const char method = user_.empty() ? 0 : 2;
    if (part.find(method) == std::string::npos) {
        SendAll(fd, {5, 255});
        return;
    }
    SendAll(fd, {5, method});
    if (method == 2) {
        std::string user, password;
        if (!ReceiveExact(fd, stop, part, 1) || !ReceiveCounted(fd, stop, user) ||
            !ReceiveCounted(fd, stop, password))
            return;
        const bool accepted = user == user_ && password == password_;
        SendAll(fd, {1, accepted ? 0 : 1});
        if (!accepted)
            return;
    }
    // Request: version, command, reserved, address type, address, port.
    std::string header, host, port;
    if (!ReceiveExact(fd, stop, header, 4))
        return;
    if (header[3] == 3) {
        if (!ReceiveCounted(fd, stop, host))
            return;
    } else if (header[3] == 1) {
        if (!ReceiveExact(fd, stop, part, 4))
            return;
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, part.data(), text, sizeof text);
        host = text;
    } else {
        Reply(fd, 8);
        return;
    }
    if (!ReceiveExact(fd, stop, port, 2))
        return;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(host + ":" +
                            std::to_string(static_cast<unsigned char>(port[0]) * 256 +
                                           static_cast<unsigned char>(port[1])));
    }
    if (header[1] != 1) {
        Reply(fd, 7);
        return;
    }
    const auto target = targets_.find(host);
    if (target == targets_.end()) {
        Reply(fd, 4);
        return;
    }
    const int server = ConnectLoopback(target->second);
    if (server < 0) {
        Reply(fd, 5);
        return;
    }
    if (Reply(fd, 0, target->second))
        Relay(fd, server);
    CloseSocket(server);
}

// Each direction passes its end of data on as a half-close; done when both have ended.
void FakeSocksProxy::Relay(int client, int server) {
    const int ends[2] = {client, server};
    bool open[2] = {true, true};
    char buffer[kRelaySize];
    while (open[0] || open[1]) {
        PollEntry fds[3] = {{open[0] ? client : -1, POLLIN, 0},
                            {open[1] ? server : -1, POLLIN, 0},
                            {listener_.StopFd(), POLLIN, 0}};
        if (PollSockets(fds, 3, FakeServer::WaitBoundMs) <= 0 || fds[2].revents != 0)
            return;
        for (int side = 0; side < 2; ++side) {
            if (!open[side] || fds[side].revents == 0)
                continue;
            const ssize_t n = ::recv(ends[side], buffer, sizeof buffer, 0);
            if (n > 0 && SendAll(ends[1 - side], buffer, static_cast<std::size_t>(n)))
                continue;
            open[side] = false;
            ::shutdown(ends[1 - side], kShutWrite);
        }
    }
}

std::size_t FakeSocksProxy::Connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

std::vector<std::string> FakeSocksProxy::Targets() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

} // namespace brinmor::test
