#pragma once

#include "net/IdStackConsts.h"

#include <array>
#include <cstdint>
#include <functional>

// The Windows Sockets 1.1 function table. On Windows it is filled from "wsock32.dll", loaded by
// name; elsewhere from small shims over BSD sockets that keep the Windows results and error
// codes, so the stack above has one code path.

#ifdef _WIN32
#define ID_WSAAPI __stdcall
#else
#define ID_WSAAPI
#endif

namespace brinmor {

using TSocket = TIdStackSocketHandle;

// Layouts of the Windows Sockets structures.
struct TInAddr {
    std::uint32_t S_addr;
};

struct TSockAddrIn {
    std::uint16_t sin_family;
    std::uint16_t sin_port;
    TInAddr sin_addr;
    char sin_zero[8];
};
static_assert(sizeof(TSockAddrIn) == 16);

struct TSockAddr {
    std::uint16_t sa_family;
    char sa_data[14];
};

struct TTimeVal {
    std::int32_t tv_sec;
    std::int32_t tv_usec;
};

struct TFDSet {
    std::uint32_t fd_count;
    TSocket fd_array[Id_FD_SETSIZE];
};

struct THostEnt {
    char* h_name;
    char** h_aliases;
    std::int16_t h_addrtype;
    std::int16_t h_length;
    char** h_addr_list;
};

struct TLinger {
    std::uint16_t l_onoff;
    std::uint16_t l_linger;
};

inline constexpr int WSADESCRIPTION_LEN = 256;
inline constexpr int WSASYS_STATUS_LEN = 128;

struct TWSAData {
    std::uint16_t wVersion;
    std::uint16_t wHighVersion;
#ifdef _WIN64
    std::uint16_t iMaxSockets;
    std::uint16_t iMaxUdpDg;
    char* lpVendorInfo;
    char szDescription[WSADESCRIPTION_LEN + 1];
    char szSystemStatus[WSASYS_STATUS_LEN + 1];
#else
    char szDescription[WSADESCRIPTION_LEN + 1];
    char szSystemStatus[WSASYS_STATUS_LEN + 1];
    std::uint16_t iMaxSockets;
    std::uint16_t iMaxUdpDg;
    char* lpVendorInfo;
#endif
};

// The 51 entry points, in the order they are resolved.
enum TWinsockEntry : int {
    weAccept,
    weBind,
    weCloseSocket,
    weConnect,
    weGetPeerName,
    weGetSockName,
    weGetSockOpt,
    weHtonl,
    weHtons,
    weInetAddr,
    weInetNtoa,
    weIoctlSocket,
    weListen,
    weNtohl,
    weNtohs,
    weRecv,
    weRecvFrom,
    weSelect,
    weSend,
    weSendTo,
    weSetSockOpt,
    weShutdown,
    weSocket,
    weGetHostByAddr,
    weGetHostByName,
    weGetProtoByName,
    weGetProtoByNumber,
    weGetServByName,
    weGetServByPort,
    weGetHostName,
    weWSAAsyncSelect,
    weWSARecvEx,
    weWSAAsyncGetHostByAddr,
    weWSAAsyncGetHostByName,
    weWSAAsyncGetProtoByNumber,
    weWSAAsyncGetProtoByName,
    weWSAAsyncGetServByPort,
    weWSAAsyncGetServByName,
    weWSACancelAsyncRequest,
    weWSASetBlockingHook,
    weWSAUnhookBlockingHook,
    weWSAGetLastError,
    weWSASetLastError,
    weWSACancelBlockingCall,
    weWSAIsBlocking,
    weWSAStartup,
    weWSACleanup,
    weWSAFDIsSet,
    weTransmitFile,
    weAcceptEx,
    weGetAcceptExSockaddrs,
    weEntryCount
};
static_assert(weEntryCount == 51);

// The library's name for each entry.
extern const std::array<const char*, weEntryCount> WinsockEntryNames;

// Signatures of the entries the stack calls.
using TWSAStartupProc = int(ID_WSAAPI*)(std::uint16_t, TWSAData*);
using TWSACleanupProc = int(ID_WSAAPI*)();
using TWSAGetLastErrorProc = int(ID_WSAAPI*)();
using TWSASetLastErrorProc = void(ID_WSAAPI*)(int);
using TSocketProc = TSocket(ID_WSAAPI*)(int, int, int);
using TCloseSocketProc = int(ID_WSAAPI*)(TSocket);
using TConnectProc = int(ID_WSAAPI*)(TSocket, const TSockAddr*, int);
using TSendProc = int(ID_WSAAPI*)(TSocket, const char*, int, int);
using TRecvProc = int(ID_WSAAPI*)(TSocket, char*, int, int);
using TSelectProc = int(ID_WSAAPI*)(int, TFDSet*, TFDSet*, TFDSet*, const TTimeVal*);
using TSetSockOptProc = int(ID_WSAAPI*)(TSocket, int, int, const char*, int);
using TGetSockOptProc = int(ID_WSAAPI*)(TSocket, int, int, char*, int*);
using TIoctlSocketProc = int(ID_WSAAPI*)(TSocket, std::int32_t, std::uint32_t*);
using TShutdownProc = int(ID_WSAAPI*)(TSocket, int);
using TGetHostByNameProc = THostEnt*(ID_WSAAPI*)(const char*);
using TGetHostNameProc = int(ID_WSAAPI*)(char*, int);
using THtonsProc = std::uint16_t(ID_WSAAPI*)(std::uint16_t);
using THtonlProc = std::uint32_t(ID_WSAAPI*)(std::uint32_t);
using TInetAddrProc = std::uint32_t(ID_WSAAPI*)(const char*);
using TWSAFDIsSetProc = int(ID_WSAAPI*)(TSocket, TFDSet*);

// The entry points. An entry the library lacks (or that has no shim) stays empty.
class TWinsockTable {
public:
    using TProc = void (*)();

    template <class F> F Get(TWinsockEntry entry) const {
        return reinterpret_cast<F>(entries_[entry]);
    }
    template <class F> void Set(TWinsockEntry entry, F function) {
        entries_[entry] = reinterpret_cast<TProc>(function);
    }
    bool Has(TWinsockEntry entry) const { return entries_[entry] != nullptr; }
    void Clear() { entries_.fill(nullptr); }

private:
    std::array<TProc, weEntryCount> entries_{};
};

// The process-wide table. Tests may replace single entries while a stack exists.
TWinsockTable& Winsock();

// Loads the library (or installs the shims) and fills the table; false when the library
// cannot be loaded. UnloadWinsock empties the table and releases the library.
bool LoadWinsock();
void UnloadWinsock();
bool WinsockLoaded();

inline constexpr const char* WinsockLibraryName = "wsock32.dll";

#ifndef _WIN32
// The IPv4 name lookup behind the gethostbyname shim: returns a getaddrinfo status (0 on
// success, with the address in network order). Tests install their own to simulate resolver
// failures without a name server; passing an empty function restores getaddrinfo.
using TAddrInfoLookup = std::function<int(const char* name, std::uint32_t* address)>;
void SetAddrInfoLookup(TAddrInfoLookup lookup);

// The Windows Sockets code for an errno value, and for a getaddrinfo status.
int WinsockErrorFromErrno(int error);
int WinsockErrorFromAddrInfo(int status, int error);
#endif

} // namespace brinmor
