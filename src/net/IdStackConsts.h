#pragma once

#include <cstdint>
#include <vector>

// Windows Sockets values, the same on every system: the Linux shims translate them.

namespace brinmor {

using TIdStackSocketHandle = std::uintptr_t;
using TIdSocketList = std::vector<TIdStackSocketHandle>;

inline constexpr TIdStackSocketHandle Id_INVALID_SOCKET = ~TIdStackSocketHandle(0);
inline constexpr int Id_SOCKET_ERROR = -1;

inline constexpr int Id_PF_INET = 2;
inline constexpr int Id_SOCK_STREAM = 1;
inline constexpr int Id_IPPROTO_TCP = 6;
inline constexpr int Id_TCP_NODELAY = 1;

inline constexpr int Id_SOL_SOCKET = 0xFFFF;
inline constexpr int Id_SO_REUSEADDR = 0x0004;
inline constexpr int Id_SO_KEEPALIVE = 0x0008;
inline constexpr int Id_SO_LINGER = 0x0080;
inline constexpr int Id_SO_SNDBUF = 0x1001;
inline constexpr int Id_SO_RCVBUF = 0x1002;
inline constexpr int Id_SO_SNDTIMEO = 0x1005;
inline constexpr int Id_SO_RCVTIMEO = 0x1006;
inline constexpr int Id_SO_ERROR = 0x1007;

inline constexpr std::int32_t Id_FIONBIO = static_cast<std::int32_t>(0x8004667Eu);
inline constexpr std::int32_t Id_FIONREAD = 0x4004667F;

// Wait time-out meaning "no limit"; -1 is not special.
inline constexpr int IdTimeoutInfinite = -2;
inline constexpr int Id_FD_SETSIZE = 64;

inline constexpr int Id_WSAEINTR = 10004;
inline constexpr int Id_WSAEBADF = 10009;
inline constexpr int Id_WSAEACCES = 10013;
inline constexpr int Id_WSAEFAULT = 10014;
inline constexpr int Id_WSAEINVAL = 10022;
inline constexpr int Id_WSAEMFILE = 10024;
inline constexpr int Id_WSAEWOULDBLOCK = 10035;
inline constexpr int Id_WSAEINPROGRESS = 10036;
inline constexpr int Id_WSAEALREADY = 10037;
inline constexpr int Id_WSAENOTSOCK = 10038;
inline constexpr int Id_WSAENOPROTOOPT = 10042;
inline constexpr int Id_WSAEOPNOTSUPP = 10045;
inline constexpr int Id_WSAEAFNOSUPPORT = 10047;
inline constexpr int Id_WSAEADDRNOTAVAIL = 10049;
inline constexpr int Id_WSAENETUNREACH = 10051;
inline constexpr int Id_WSAECONNRESET = 10054;
inline constexpr int Id_WSAENOBUFS = 10055;
inline constexpr int Id_WSAESHUTDOWN = 10058;
inline constexpr int Id_WSAETIMEDOUT = 10060;
inline constexpr int Id_WSAECONNREFUSED = 10061;
inline constexpr int Id_WSAEHOSTUNREACH = 10065;
inline constexpr int Id_WSAVERNOTSUPPORTED = 10092;
inline constexpr int Id_WSANOTINITIALISED = 10093;
inline constexpr int Id_WSAHOST_NOT_FOUND = 11001;
inline constexpr int Id_WSATRY_AGAIN = 11002;
inline constexpr int Id_WSANO_RECOVERY = 11003;
inline constexpr int Id_WSANO_DATA = 11004;

} // namespace brinmor
