#include "net/IdWinsock.h"

#include "net/IdWinsockPlatform.h"

namespace brinmor {

const std::array<const char*, weEntryCount> WinsockEntryNames = {
    "accept",
    "bind",
    "closesocket",
    "connect",
    "getpeername",
    "getsockname",
    "getsockopt",
    "htonl",
    "htons",
    "inet_addr",
    "inet_ntoa",
    "ioctlsocket",
    "listen",
    "ntohl",
    "ntohs",
    "recv",
    "recvfrom",
    "select",
    "send",
    "sendto",
    "setsockopt",
    "shutdown",
    "socket",
    "gethostbyaddr",
    "gethostbyname",
    "getprotobyname",
    "getprotobynumber",
    "getservbyname",
    "getservbyport",
    "gethostname",
    "WSAAsyncSelect",
    "WSARecvEx",
    "WSAAsyncGetHostByAddr",
    "WSAAsyncGetHostByName",
    "WSAAsyncGetProtoByNumber",
    "WSAAsyncGetProtoByName",
    "WSAAsyncGetServByPort",
    "WSAAsyncGetServByName",
    "WSACancelAsyncRequest",
    "WSASetBlockingHook",
    "WSAUnhookBlockingHook",
    "WSAGetLastError",
    "WSASetLastError",
    "WSACancelBlockingCall",
    "WSAIsBlocking",
    "WSAStartup",
    "WSACleanup",
    "__WSAFDIsSet",
    "TransmitFile",
    "AcceptEx",
    "GetAcceptExSockaddrs",
};

namespace {

TWinsockTable table;
bool loaded = false;

} // namespace

TWinsockTable& Winsock() {
    return table;
}

bool WinsockLoaded() {
    return loaded;
}

bool LoadWinsock() {
    if (loaded)
        return true;
    loaded = winsock::FillTable(table);
    return loaded;
}

void UnloadWinsock() {
    table.Clear();
    winsock::ReleaseLibrary();
    loaded = false;
}

} // namespace brinmor
