#include "net/IdStackWinsock.h"

#include "net/IdException.h"
#include "net/IdGlobal.h"
#include "net/IdResourceStrings.h"
#include "net/IdWinsock.h"

#include <algorithm>
#include <cstring>

namespace brinmor {

namespace {

std::unique_ptr<TIdStackVersion> MakeVersion() {
    auto version = std::make_unique<TIdStackVersionWinsock>();
    version->Name = "Winsock stack";
    return version;
}

std::string BoundedText(const char* text, std::size_t limit) {
    return std::string(text, strnlen(text, limit));
}

void FillSet(TFDSet& set, const TIdSocketList* list) {
    set.fd_count = 0;
    if (list == nullptr)
        return;
    if (list->size() > Id_FD_SETSIZE)
        throw EIdException(RSSetSizeExceeded);
    for (const TIdStackSocketHandle socket : *list)
        set.fd_array[set.fd_count++] = socket;
}

void ReadSet(const TFDSet& set, TIdSocketList* list) {
    if (list == nullptr)
        return;
    list->assign(set.fd_array, set.fd_array + std::min<std::uint32_t>(set.fd_count, Id_FD_SETSIZE));
}

} // namespace

TIdStackWinsock::TIdStackWinsock() : TIdStack(MakeVersion()) {
    try {
        if (!LoadWinsock())
            throw EIdException(FormatText(RSWinsockLoadError, WinsockLibraryName));
        loaded_ = true;
        TWSAData data{};
        if (Winsock().Get<TWSAStartupProc>(weWSAStartup)(0x0101, &data) != 0)
            throw EIdException(RSWinsockInitializationError);
        started_ = true;
        version_->Version = data.wVersion;
        version_->MaxVersion = data.wHighVersion;
        version_->Description = BoundedText(data.szDescription, WSADESCRIPTION_LEN);
        version_->SystemStatus = BoundedText(data.szSystemStatus, WSASYS_STATUS_LEN);
        version_->MaxSockets = data.iMaxSockets;
        version_->MaxUdpDg = data.iMaxUdpDg;
    } catch (...) {
        Release();
        throw;
    }
}

TIdStackWinsock::~TIdStackWinsock() {
    Release();
}

void TIdStackWinsock::Release() {
    if (started_)
        Winsock().Get<TWSACleanupProc>(weWSACleanup)();
    started_ = false;
    if (loaded_)
        UnloadWinsock();
    loaded_ = false;
}

int TIdStackWinsock::ReleaseSocket(TIdStackSocketHandle socket) {
    return Winsock().Get<TCloseSocketProc>(weCloseSocket)(socket);
}

int TIdStackWinsock::ConnectAddress(TIdStackSocketHandle socket, int family, const std::string& ip,
                                    int port) {
    TSockAddrIn address{};
    address.sin_family = static_cast<std::uint16_t>(family);
    address.sin_port = HostToNetShort(static_cast<std::uint16_t>(port));
    address.sin_addr.S_addr = AddressValue(ip);
    TSockAddr generic;
    std::memcpy(&generic, &address, sizeof generic);
    return Winsock().Get<TConnectProc>(weConnect)(socket, &generic, sizeof address);
}

std::string TIdStackWinsock::LookupHost(const std::string& name) {
    if (const TIdNameLookup& lookup = NameLookup()) {
        const TIdNameLookupAnswer answer = lookup(name);
        if (answer.Address)
            return AddressToText(*answer.Address);
        SetLastSocketError(answer.ErrorCode);
    } else if (const THostEnt* entry =
                   Winsock().Get<TGetHostByNameProc>(weGetHostByName)(name.c_str())) {
        TIdIPv4Bytes address;
        std::memcpy(address.data(), entry->h_addr_list[0], address.size());
        return AddressToText(address);
    }
    CheckResult(Id_SOCKET_ERROR);
    return "";
}

std::uint16_t TIdStackWinsock::HostToNetShort(std::uint16_t value) {
    return Winsock().Get<THtonsProc>(weHtons)(value);
}

int TIdStackWinsock::ReceiveBytes(TIdStackSocketHandle socket, void* buffer, int length,
                                  int flags) {
    return Winsock().Get<TRecvProc>(weRecv)(socket, static_cast<char*>(buffer), length, flags);
}

int TIdStackWinsock::WaitSockets(TIdSocketList* readList, TIdSocketList* writeList,
                                 TIdSocketList* errorList, int timeoutMs) {
    TFDSet sets[3];
    FillSet(sets[0], readList);
    FillSet(sets[1], writeList);
    FillSet(sets[2], errorList);
    TTimeVal time{timeoutMs / 1000, timeoutMs % 1000 * 1000};
    const int result = Winsock().Get<TSelectProc>(weSelect)(
        0, &sets[0], &sets[1], &sets[2], timeoutMs == IdTimeoutInfinite ? nullptr : &time);
    ReadSet(sets[0], readList);
    ReadSet(sets[1], writeList);
    ReadSet(sets[2], errorList);
    return result;
}

int TIdStackWinsock::SendBytes(TIdStackSocketHandle socket, const void* buffer, int length,
                               int flags) {
    return Winsock().Get<TSendProc>(weSend)(socket, static_cast<const char*>(buffer), length,
                                            flags);
}

int TIdStackWinsock::SetSocketOption(TIdStackSocketHandle socket, int level, int option,
                                     const void* value, int length) {
    return Winsock().Get<TSetSockOptProc>(weSetSockOpt)(socket, level, option,
                                                        static_cast<const char*>(value), length);
}

TIdStackSocketHandle TIdStackWinsock::OpenSocket(int family, int type, int protocol) {
    return Winsock().Get<TSocketProc>(weSocket)(family, type, protocol);
}

int TIdStackWinsock::LastSocketError() {
    return Winsock().Get<TWSAGetLastErrorProc>(weWSAGetLastError)();
}

int TIdStackWinsock::GetSocketOption(TIdStackSocketHandle socket, int level, int option,
                                     void* value, int* length) {
    return Winsock().Get<TGetSockOptProc>(weGetSockOpt)(socket, level, option,
                                                        static_cast<char*>(value), length);
}

int TIdStackWinsock::SetBlocking(TIdStackSocketHandle socket, bool blocking) {
    std::uint32_t nonBlocking = blocking ? 0 : 1;
    return Winsock().Get<TIoctlSocketProc>(weIoctlSocket)(socket, Id_FIONBIO, &nonBlocking);
}

void TIdStackWinsock::SetLastSocketError(int code) {
    Winsock().Get<TWSASetLastErrorProc>(weWSASetLastError)(code);
}

} // namespace brinmor
