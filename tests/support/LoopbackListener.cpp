#include "support/LoopbackListener.h"

#include "support/TestSocket.h"

#include <stdexcept>

namespace brinmor::test {

LoopbackListener::LoopbackListener(int backlog) {
    if (!OpenWakePair(wake_))
        throw std::runtime_error("cannot make a wake-up pair");
    fd_ = OpenStreamSocket();
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd_, backlog) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        CloseSocket(fd_);
        CloseSocket(wake_[0]);
        CloseSocket(wake_[1]);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener() {
    CloseSocket(fd_);
    CloseSocket(wake_[0]);
    CloseSocket(wake_[1]);
}

void LoopbackListener::Stop() {
    Wake(wake_[1]);
}

int LoopbackListener::Accept() {
    for (;;) {
        PollEntry polled[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (PollSockets(polled, 2, -1) <= 0)
            continue;
        if (polled[1].revents != 0)
            return -1;
        const int client = AcceptSocket(fd_);
        if (client >= 0)
            return client;
    }
}

} // namespace brinmor::test
