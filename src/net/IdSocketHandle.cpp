#include "net/IdSocketHandle.h"

#include "net/IdException.h"
#include "net/IdResourceStrings.h"
#include "net/IdStack.h"

namespace brinmor {

TIdSocketHandle::~TIdSocketHandle() {
    if (handleAllocated_ && GStack != nullptr)
        GStack->ReleaseSocket(handle_);
}

void TIdSocketHandle::SetPeer(const std::string& ip, int port) {
    peerIP_ = ip;
    peerPort_ = port;
}

void TIdSocketHandle::AllocateSocket(int type, int protocol) {
    CloseSocket();
    handle_ = GStack->NewSocket(type, protocol);
    handleAllocated_ = true;
}

void TIdSocketHandle::CloseSocket() {
    if (!handleAllocated_)
        return;
    handleAllocated_ = false;
    GStack->ReleaseSocket(handle_);
    handle_ = Id_INVALID_SOCKET;
}

void TIdSocketHandle::ConnectSocket(int family, int timeoutMs) {
    TIdStack& stack = *GStack;
    if (timeoutMs == IdTimeoutInfinite) {
        stack.CheckResult(stack.ConnectAddress(handle_, family, ip_, port_));
        return;
    }
    // A bounded connect: start it without blocking, wait until it completes, then read its
    // outcome and go back to blocking mode.
    stack.CheckResult(stack.SetBlocking(handle_, false));
    if (stack.ConnectAddress(handle_, family, ip_, port_) == Id_SOCKET_ERROR) {
        const int code = stack.LastSocketError();
        if (code != Id_WSAEWOULDBLOCK && code != Id_WSAEINPROGRESS)
            stack.RaiseError(code);
        TIdSocketList writable{handle_};
        TIdSocketList failed{handle_};
        const int ready = stack.WaitSockets(nullptr, &writable, &failed, timeoutMs);
        if (ready == 0)
            stack.RaiseError(Id_WSAETIMEDOUT);
        stack.CheckResult(ready);
        // A failed connect shows in the error set; only then is there an outcome to read.
        if (!failed.empty()) {
            int error = 0;
            int length = sizeof error;
            stack.CheckResult(
                stack.GetSocketOption(handle_, Id_SOL_SOCKET, Id_SO_ERROR, &error, &length));
            if (error != 0)
                stack.RaiseError(error);
        }
    }
    stack.CheckResult(stack.SetBlocking(handle_, true));
}

bool TIdSocketHandle::Readable(int timeoutMs) {
    if (!handleAllocated_)
        throw EIdConnClosedGraceful(RSConnectionClosedGracefully);
    TIdSocketList readList{handle_};
    return GStack->WaitSockets(&readList, nullptr, nullptr, timeoutMs) == 1;
}

int TIdSocketHandle::Recv(void* buffer, int length) {
    return GStack->ReceiveBytes(handle_, buffer, length, 0);
}

int TIdSocketHandle::Send(const void* buffer, int length) {
    return GStack->SendBytes(handle_, buffer, length, 0);
}

int TIdSocketHandle::SetSockOpt(int level, int option, const void* value, int length) {
    return GStack->SetSocketOption(handle_, level, option, value, length);
}

} // namespace brinmor
