#include "support/TestSocket.h"

#include <stdexcept>
#include <vector>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#endif

namespace brinmor::test {

#ifdef _WIN32

namespace {

// Started once and left running until the process ends: fake servers live in static
// fixtures too.
void StartSockets() {
    static const bool started = [] {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
            throw std::runtime_error("cannot start Windows Sockets");
        return true;
    }();
    (void)started;
}

SOCKET Native(int fd) {
    return static_cast<SOCKET>(fd);
}

} // namespace

int OpenStreamSocket() {
    StartSockets();
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s != INVALID_SOCKET)
        SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    return static_cast<int>(s);
}

int AcceptSocket(int listener) {
    return static_cast<int>(::accept(Native(listener), nullptr, nullptr));
}

void CloseSocket(int fd) {
    if (fd >= 0)
        ::closesocket(Native(fd));
}

void SetNonBlocking(int fd) {
    u_long on = 1;
    ::ioctlsocket(Native(fd), FIONBIO, &on);
}

long SendNoWait(int fd, const char* data, std::size_t length) {
    // No per-call flag on Windows: switch the socket to non-blocking for this one send.
    u_long mode = 1;
    ::ioctlsocket(Native(fd), FIONBIO, &mode);
    const int sent = ::send(Native(fd), data, static_cast<int>(length), 0);
    const int error = WSAGetLastError();
    mode = 0;
    ::ioctlsocket(Native(fd), FIONBIO, &mode);
    WSASetLastError(error);
    return sent;
}

bool RetryLater() {
    const int error = WSAGetLastError();
    return error == WSAEWOULDBLOCK || error == WSAEINTR;
}

int PollSockets(PollEntry* entries, std::size_t count, int timeoutMs) {
    std::vector<WSAPOLLFD> polled;
    for (std::size_t i = 0; i < count; ++i) {
        entries[i].revents = 0;
        if (entries[i].fd >= 0)
            polled.push_back({Native(entries[i].fd), entries[i].events, 0});
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

bool OpenWakePair(int ends[2]) {
    ends[0] = ends[1] = -1;
    const int listener = OpenStreamSocket();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    bool ok = listener >= 0 && ::bind(Native(listener), raw, sizeof address) == 0 &&
              ::listen(Native(listener), 1) == 0 &&
              ::getsockname(Native(listener), raw, &length) == 0;
    if (ok) {
        ends[1] = OpenStreamSocket();
        ok = ends[1] >= 0 && ::connect(Native(ends[1]), raw, sizeof address) == 0;
    }
    if (ok) {
        ends[0] = AcceptSocket(listener);
        ok = ends[0] >= 0;
    }
    CloseSocket(listener);
    if (!ok) {
        CloseSocket(ends[1]);
        ends[1] = -1;
    }
    return ok;
}

void Wake(int writeEnd) {
    const char byte = 0;
    ::send(Native(writeEnd), &byte, 1, 0);
}

#else

int OpenStreamSocket() {
    return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

int AcceptSocket(int listener) {
    return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}

void CloseSocket(int fd) {
    if (fd >= 0)
        ::close(fd);
}

void SetNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

long SendNoWait(int fd, const char* data, std::size_t length) {
    return ::send(fd, data, length, MSG_NOSIGNAL | MSG_DONTWAIT);
}

bool RetryLater() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

int PollSockets(PollEntry* entries, std::size_t count, int timeoutMs) {
    return ::poll(entries, static_cast<nfds_t>(count), timeoutMs);
}

bool OpenWakePair(int ends[2]) {
    return ::pipe2(ends, O_CLOEXEC) == 0;
}

void Wake(int writeEnd) {
    const char byte = 0;
    [[maybe_unused]] const auto ignored = ::write(writeEnd, &byte, 1);
}

#endif

void SetNoDelay(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

void AbortSocket(int fd) {
    const linger abort{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
    CloseSocket(fd);
}

sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<unsigned short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace brinmor::test
