#pragma once

#include "net/IdStack.h"

namespace brinmor {

class TIdStackVersionWinsock : public TIdStackVersion {};

// The stack over the Windows Sockets function table (IdWinsock).
class TIdStackWinsock : public TIdStack {
public:
    // Loads and starts the library; raises EIdException when either fails.
    TIdStackWinsock();
    ~TIdStackWinsock() override;

    int ReleaseSocket(TIdStackSocketHandle socket) override;
    int ConnectAddress(TIdStackSocketHandle socket, int family, const std::string& ip,
                       int port) override;
    std::string LookupHost(const std::string& name) override;
    std::uint16_t HostToNetShort(std::uint16_t value) override;
    int ReceiveBytes(TIdStackSocketHandle socket, void* buffer, int length, int flags) override;
    int WaitSockets(TIdSocketList* readList, TIdSocketList* writeList, TIdSocketList* errorList,
                    int timeoutMs) override;
    int SendBytes(TIdStackSocketHandle socket, const void* buffer, int length, int flags) override;
    int SetSocketOption(TIdStackSocketHandle socket, int level, int option, const void* value,
                        int length) override;
    TIdStackSocketHandle OpenSocket(int family, int type, int protocol) override;
    int LastSocketError() override;

    int GetSocketOption(TIdStackSocketHandle socket, int level, int option, void* value,
                        int* length) override;
    int SetBlocking(TIdStackSocketHandle socket, bool blocking) override;
    void SetLastSocketError(int code) override;

private:
    void Release();

    bool loaded_ = false;
    bool started_ = false;
};

} // namespace brinmor
