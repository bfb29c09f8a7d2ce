#include "support/TestSocket.h"

#include <stdexcept>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#endif

namespace brinmor::test {

#ifdef _WIN32

namespace {

// Started once, left running until the process ends: fake servers live in static fixtures too.
void StartSockets() {
    static const bool started = [] {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
            throw std::runtime_error("cannot start Windows Sockets");
        return true;
    }();
    (void)started;
}

} // namespace

int OpenStreamSocket() {
    StartSockets();
    return static_cast<int>(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
}

void CloseSocket(int fd) {
    if (fd >= 0)
        ::closesocket(static_cast<SOCKET>(fd));
}

void SetNonBlocking(int fd) {
    u_long on = 1;
    ::ioctlsocket(static_cast<SOCKET>(fd), FIONBIO, &on);
}

int PollSockets(PollEntry* entries, std::size_t count, int timeoutMs) {
    std::vector<WSAPOLLFD> polled;
    for (std::size_t i = 0; i < count; ++i) {
        entries[i].revents = 0;
        if (entries[i].fd >= 0)
            polled.push_back({static_cast<SOCKET>(entries[i].fd), entries[i].events, 0});
    }
    // WSAPoll refuses an empty set, where poll() just waits.
    if (polled.empty()) {
        ::Sleep(timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
        return 0;
    }
    const int ready = ::WSAPoll(polled.data(), static_cast<ULONG>(polled.size()), timeoutMs);
    for (std::size_t i = 0, j = 0; i < count && ready > 0; ++i)
        if (entries[i].fd >= 0)
            entries[i].revents = polled[j++].revents;
    return ready;
}

WakeSignal::WakeSignal() {
    const int listener = OpenStreamSocket();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    bool ok = listener >= 0 && ::bind(listener, raw, sizeof address) == 0 &&
              ::listen(listener, 1) == 0 && ::getsockname(listener, raw, &length) == 0;
    if (ok) {
        ends_[1] = OpenStreamSocket();
        ok = ends_[1] >= 0 && ::connect(ends_[1], raw, sizeof address) == 0;
    }
    if (ok) {
        ends_[0] = static_cast<int>(::accept(listener, nullptr, nullptr));
        ok = ends_[0] >= 0;
    }
    CloseSocket(listener);
    if (!ok) {
        CloseSocket(ends_[1]);
        throw std::runtime_error("cannot create a loopback socket pair");
    }
}

WakeSignal::~WakeSignal() {
    CloseSocket(ends_[0]);
    CloseSocket(ends_[1]);
}

void WakeSignal::Raise() {
    const char byte = 0;
    ::send(static_cast<SOCKET>(ends_[1]), &byte, 1, 0);
}

#else

int OpenStreamSocket() {
    return ::socket(AF_INET, SOCK_STREAM, 0);
}

void CloseSocket(int fd) {
    if (fd >= 0)
        ::close(fd);
}

void SetNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

int PollSockets(PollEntry* entries, std::size_t count, int timeoutMs) {
    return ::poll(entries, static_cast<nfds_t>(count), timeoutMs);
}

WakeSignal::WakeSignal() {
    if (::pipe(ends_) != 0)
        throw std::runtime_error("cannot create a pipe");
}

WakeSignal::~WakeSignal() {
    CloseSocket(ends_[0]);
    CloseSocket(ends_[1]);
}

void WakeSignal::Raise() {
    const char byte = 0;
    [[maybe_unused]] const auto ignored = ::write(ends_[1], &byte, 1);
}

#endif

void SetNoDelay(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

} // namespace brinmor::test
