#pragma once

#include "net/IdStackConsts.h"

#include <string>

namespace brinmor {

// One socket with the address it connects to and the peer's address.
class TIdSocketHandle {
public:
    TIdSocketHandle() = default;
    // Closes an open socket, without notification.
    virtual ~TIdSocketHandle();
    TIdSocketHandle(const TIdSocketHandle&) = delete;
    TIdSocketHandle& operator=(const TIdSocketHandle&) = delete;

    TIdStackSocketHandle Handle() const { return handle_; }
    bool HandleAllocated() const { return handleAllocated_; }
    const std::string& IP() const { return ip_; }
    void SetIP(const std::string& ip) { ip_ = ip; }
    int Port() const { return port_; }
    void SetPort(int port) { port_ = port; }
    const std::string& PeerIP() const { return peerIP_; }
    int PeerPort() const { return peerPort_; }
    void SetPeer(const std::string& ip, int port);

    // Closes a held socket first.
    void AllocateSocket(int type = Id_SOCK_STREAM, int protocol = 0);
    virtual void CloseSocket();
    // Connects to IP:Port and raises EIdSocketError on failure. A time-out other than
    // IdTimeoutInfinite bounds the connect; when it expires the error is 10060.
    virtual void ConnectSocket(int family, int timeoutMs = IdTimeoutInfinite);

    // True when data or the peer's close is waiting; false on time-out or a failed wait.
    // Without a socket raises EIdConnClosedGraceful.
    bool Readable(int timeoutMs);

    int Recv(void* buffer, int length);
    int Send(const void* buffer, int length);
    int SetSockOpt(int level, int option, const void* value, int length);

private:
    TIdStackSocketHandle handle_ = Id_INVALID_SOCKET;
    bool handleAllocated_ = false;
    std::string ip_;
    int port_ = 0;
    std::string peerIP_;
    int peerPort_ = 0;
};

} // namespace brinmor
