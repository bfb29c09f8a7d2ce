// The Windows Sockets table elsewhere: stand-ins over BSD sockets that keep the Windows results
// and error codes.
#include "net/IdWinsockPlatform.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace brinmor {

namespace {

thread_local int lastError = 0;
int startCount = 0;

TAddrInfoLookup& AddrInfoLookup() {
    static TAddrInfoLookup lookup;
    return lookup;
}

int Fail(int code) {
    lastError = code;
    return Id_SOCKET_ERROR;
}

int FailErrno() {
    return Fail(WinsockErrorFromErrno(errno));
}

int Fd(TSocket s) {
    return s > 0x7FFFFFFF ? -1 : static_cast<int>(s);
}

bool IsBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && (flags & O_NONBLOCK) == 0;
}

// A blocking call that gives up with EAGAIN has met its SO_SNDTIMEO/SO_RCVTIMEO, which is
// what Windows reports as a time-out.
int FailTransfer(int fd) {
    if ((errno == EAGAIN || errno == EWOULDBLOCK) && IsBlocking(fd))
        return Fail(Id_WSAETIMEDOUT);
    return FailErrno();
}

int ID_WSAAPI ShimWSAStartup(std::uint16_t version, TWSAData* data) {
    if ((version & 0xFF) < 1)
        return Id_WSAVERNOTSUPPORTED;
    if (data == nullptr)
        return Id_WSAEFAULT;
    std::memset(data, 0, sizeof *data);
    data->wVersion = 0x0101;
    data->wHighVersion = 0x0101;
    std::strcpy(data->szDescription, "BSD sockets");
    std::strcpy(data->szSystemStatus, "Running");
    data->iMaxSockets = 0x7FFF;
    data->iMaxUdpDg = 65467;
    ++startCount;
    return 0;
}

int ID_WSAAPI ShimWSACleanup() {
    if (startCount == 0)
        return Fail(Id_WSANOTINITIALISED);
    --startCount;
    return 0;
}

int ID_WSAAPI ShimWSAGetLastError() {
    return lastError;
}

void ID_WSAAPI ShimWSASetLastError(int code) {
    lastError = code;
}

TSocket ID_WSAAPI ShimSocket(int family, int type, int protocol) {
    const int fd = ::socket(family, type | SOCK_CLOEXEC, protocol);
    if (fd < 0) {
        FailErrno();
        return Id_INVALID_SOCKET;
    }
    return static_cast<TSocket>(fd);
}

int ID_WSAAPI ShimCloseSocket(TSocket s) {
    const int fd = Fd(s);
    if (fd < 0)
        return Fail(Id_WSAENOTSOCK);
    // Linux releases the descriptor even when close is interrupted.
    if (::close(fd) != 0 && errno != EINTR)
        return FailErrno();
    return 0;
}

// Waits for a blocking connect that a signal interrupted, then reads its outcome.
int FinishInterruptedConnect(int fd) {
    pollfd p{fd, POLLOUT, 0};
    while (::poll(&p, 1, -1) < 0)
        if (errno != EINTR)
            return FailErrno();
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return FailErrno();
    return error == 0 ? 0 : Fail(WinsockErrorFromErrno(error));
}

int ID_WSAAPI ShimConnect(TSocket s, const TSockAddr* name, int length) {
    if (name == nullptr || length < static_cast<int>(sizeof(TSockAddrIn)))
        return Fail(Id_WSAEFAULT);
    TSockAddrIn in;
    std::memcpy(&in, name, sizeof in);
    sockaddr_in address{};
    address.sin_family = in.sin_family;
    address.sin_port = in.sin_port;
    address.sin_addr.s_addr = in.sin_addr.S_addr;
    const int fd = Fd(s);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return 0;
    if (errno == EINTR && IsBlocking(fd))
        return FinishInterruptedConnect(fd);
    // A non-blocking connect under way is "would block" on Windows.
    if (errno == EINPROGRESS)
        return Fail(Id_WSAEWOULDBLOCK);
    return FailErrno();
}

int ID_WSAAPI ShimSend(TSocket s, const char* buffer, int length, int flags) {
    const int fd = Fd(s);
    for (;;) {
        const ssize_t sent = ::send(fd, buffer, static_cast<std::size_t>(length < 0 ? 0 : length),
                                    (flags & (MSG_OOB | MSG_DONTROUTE)) | MSG_NOSIGNAL);
        if (sent >= 0)
            return static_cast<int>(sent);
        if (errno != EINTR)
            return FailTransfer(fd);
    }
}

int ID_WSAAPI ShimRecv(TSocket s, char* buffer, int length, int flags) {
    const int fd = Fd(s);
    for (;;) {
        const ssize_t received =
            ::recv(fd, buffer, static_cast<std::size_t>(length < 0 ? 0 : length),
                   flags & (MSG_OOB | MSG_PEEK));
        if (received >= 0)
            return static_cast<int>(received);
        if (errno != EINTR)
            return FailTransfer(fd);
    }
}

// select over poll(), so descriptors of any value work. The sets come back holding only the
// ready sockets; the result counts them over the three sets, as Windows does.
int ID_WSAAPI ShimSelect(int, TFDSet* readSet, TFDSet* writeSet, TFDSet* errorSet,
                         const TTimeVal* timeout) {
    TFDSet* const sets[3] = {readSet, writeSet, errorSet};
    const short events[3] = {POLLIN, POLLOUT, POLLPRI};
    std::vector<pollfd> polled;
    for (int k = 0; k < 3; ++k) {
        if (sets[k] == nullptr)
            continue;
        if (sets[k]->fd_count > Id_FD_SETSIZE)
            return Fail(Id_WSAEINVAL);
        for (std::uint32_t i = 0; i < sets[k]->fd_count; ++i) {
            // poll passes over a negative descriptor where Windows refuses the invalid socket.
            const int fd = Fd(sets[k]->fd_array[i]);
            if (fd < 0)
                return Fail(Id_WSAENOTSOCK);
            polled.push_back({fd, events[k], 0});
        }
    }
    if (polled.empty())
        return Fail(Id_WSAEINVAL);
    long long waitMs = -1;
    if (timeout != nullptr) {
        if (timeout->tv_sec < 0 || timeout->tv_usec < 0)
            return Fail(Id_WSAEINVAL);
        waitMs = timeout->tv_sec * 1000LL + (timeout->tv_usec + 999) / 1000;
    }
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        long long remaining = waitMs;
        if (waitMs > 0) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            const long long spent =
                (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000;
            remaining = spent >= waitMs ? 0 : waitMs - spent;
        }
        const int ready = ::poll(polled.data(), polled.size(),
                                 remaining > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(remaining));
        if (ready >= 0)
            break;
        if (errno != EINTR)
            return FailErrno();
    }
    int total = 0;
    std::size_t at = 0;
    for (int k = 0; k < 3; ++k) {
        if (sets[k] == nullptr)
            continue;
        std::uint32_t kept = 0;
        for (std::uint32_t i = 0; i < sets[k]->fd_count; ++i, ++at) {
            const short got = polled[at].revents;
            if (got & POLLNVAL)
                return Fail(Id_WSAENOTSOCK);
            const bool ready = k == 0   ? (got & (POLLIN | POLLHUP | POLLERR)) != 0
                               : k == 1 ? (got & (POLLOUT | POLLHUP | POLLERR)) != 0
                                        : (got & (POLLPRI | POLLERR)) != 0;
            if (ready)
                sets[k]->fd_array[kept++] = sets[k]->fd_array[i];
        }
        sets[k]->fd_count = kept;
        total += static_cast<int>(kept);
    }
    return total;
}

bool SocketOption(int level, int option, int& nativeLevel, int& nativeOption) {
    if (level == Id_IPPROTO_TCP && option == Id_TCP_NODELAY) {
        nativeLevel = IPPROTO_TCP;
        nativeOption = TCP_NODELAY;
        return true;
    }
    if (level != Id_SOL_SOCKET)
        return false;
    nativeLevel = SOL_SOCKET;
    switch (option) {
    case Id_SO_REUSEADDR:
        nativeOption = SO_REUSEADDR;
        return true;
    case Id_SO_KEEPALIVE:
        nativeOption = SO_KEEPALIVE;
        return true;
    case Id_SO_LINGER:
        nativeOption = SO_LINGER;
        return true;
    case Id_SO_SNDBUF:
        nativeOption = SO_SNDBUF;
        return true;
    case Id_SO_RCVBUF:
        nativeOption = SO_RCVBUF;
        return true;
    case Id_SO_SNDTIMEO:
        nativeOption = SO_SNDTIMEO;
        return true;
    case Id_SO_RCVTIMEO:
        nativeOption = SO_RCVTIMEO;
        return true;
    case Id_SO_ERROR:
        nativeOption = SO_ERROR;
        return true;
    default:
        return false;
    }
}

int ID_WSAAPI ShimSetSockOpt(TSocket s, int level, int option, const char* value, int length) {
    int nativeLevel = 0;
    int nativeOption = 0;
    if (!SocketOption(level, option, nativeLevel, nativeOption) || nativeOption == SO_ERROR)
        return Fail(Id_WSAENOPROTOOPT);
    if (value == nullptr)
        return Fail(Id_WSAEFAULT);
    int r;
    if (nativeOption == SO_LINGER) {
        if (length < static_cast<int>(sizeof(TLinger)))
            return Fail(Id_WSAEFAULT);
        TLinger given;
        std::memcpy(&given, value, sizeof given);
        const linger native{given.l_onoff, given.l_linger};
        r = ::setsockopt(Fd(s), nativeLevel, nativeOption, &native, sizeof native);
    } else if (nativeOption == SO_SNDTIMEO || nativeOption == SO_RCVTIMEO) {
        // Windows takes milliseconds as a 32-bit value; 0 means no limit, as here.
        if (length < 4)
            return Fail(Id_WSAEFAULT);
        std::uint32_t ms;
        std::memcpy(&ms, value, sizeof ms);
        const timeval native{static_cast<time_t>(ms / 1000),
                             static_cast<suseconds_t>(ms % 1000 * 1000)};
        r = ::setsockopt(Fd(s), nativeLevel, nativeOption, &native, sizeof native);
    } else {
        if (length < 1)
            return Fail(Id_WSAEFAULT);
        // Windows takes any non-zero first bytes as "on" for the Boolean options.
        int native = 0;
        std::memcpy(&native, value, length < 4 ? static_cast<std::size_t>(length) : 4u);
        r = ::setsockopt(Fd(s), nativeLevel, nativeOption, &native, sizeof native);
    }
    return r == 0 ? 0 : FailErrno();
}

int ID_WSAAPI ShimGetSockOpt(TSocket s, int level, int option, char* value, int* length) {
    int nativeLevel = 0;
    int nativeOption = 0;
    if (!SocketOption(level, option, nativeLevel, nativeOption) || nativeOption == SO_LINGER ||
        nativeOption == SO_SNDTIMEO || nativeOption == SO_RCVTIMEO)
        return Fail(Id_WSAENOPROTOOPT);
    if (value == nullptr || length == nullptr || *length < 4)
        return Fail(Id_WSAEFAULT);
    int native = 0;
    socklen_t nativeLength = sizeof native;
    if (::getsockopt(Fd(s), nativeLevel, nativeOption, &native, &nativeLength) != 0)
        return FailErrno();
    if (nativeOption == SO_ERROR && native != 0)
        native = WinsockErrorFromErrno(native);
    std::memcpy(value, &native, sizeof native);
    *length = sizeof native;
    return 0;
}

int ID_WSAAPI ShimIoctlSocket(TSocket s, std::int32_t command, std::uint32_t* argument) {
    const int fd = Fd(s);
    if (argument == nullptr)
        return Fail(Id_WSAEFAULT);
    if (command == Id_FIONBIO) {
        int on = *argument != 0 ? 1 : 0;
        return ::ioctl(fd, FIONBIO, &on) == 0 ? 0 : FailErrno();
    }
    if (command == Id_FIONREAD) {
        int pending = 0;
        if (::ioctl(fd, FIONREAD, &pending) != 0)
            return FailErrno();
        *argument = static_cast<std::uint32_t>(pending);
        return 0;
    }
    return Fail(Id_WSAEINVAL);
}

int ID_WSAAPI ShimShutdown(TSocket s, int how) {
    return ::shutdown(Fd(s), how) == 0 ? 0 : FailErrno();
}

int DefaultAddrInfoLookup(const char* name, std::uint32_t* address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(name, nullptr, &hints, &found);
    if (status != 0)
        return status;
    const int result = found == nullptr ? EAI_NONAME : 0;
    if (found != nullptr)
        *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return result;
}

// Windows keeps one host entry per thread; so do the shims.
struct THostEntStorage {
    THostEnt entry{};
    std::string name;
    std::uint32_t address = 0;
    char* addresses[2] = {nullptr, nullptr};
    char* aliases[1] = {nullptr};
};

int ID_WSAAPI ShimGetHostName(char* name, int length) {
    if (name == nullptr || length <= 0)
        return Fail(Id_WSAEFAULT);
    return ::gethostname(name, static_cast<std::size_t>(length)) == 0 ? 0 : FailErrno();
}

THostEnt* ID_WSAAPI ShimGetHostByName(const char* name) {
    if (name == nullptr) {
        Fail(Id_WSAEFAULT);
        return nullptr;
    }
    // Windows answers an empty name with the entry of this machine's own name.
    char localName[256] = {};
    if (*name == '\0') {
        if (ShimGetHostName(localName, sizeof localName - 1) != 0)
            return nullptr;
        name = localName;
    }
    thread_local THostEntStorage storage;
    std::uint32_t address = 0;
    errno = 0;
    const auto& lookup = AddrInfoLookup();
    const int status = lookup ? lookup(name, &address) : DefaultAddrInfoLookup(name, &address);
    if (status != 0) {
        lastError = WinsockErrorFromAddrInfo(status, errno);
        return nullptr;
    }
    storage.name = name;
    storage.address = address;
    storage.addresses[0] = reinterpret_cast<char*>(&storage.address);
    storage.entry.h_name = storage.name.data();
    storage.entry.h_aliases = storage.aliases;
    storage.entry.h_addrtype = Id_PF_INET;
    storage.entry.h_length = 4;
    storage.entry.h_addr_list = storage.addresses;
    return &storage.entry;
}

std::uint16_t ID_WSAAPI ShimHtons(std::uint16_t value) {
    return htons(value);
}

std::uint32_t ID_WSAAPI ShimHtonl(std::uint32_t value) {
    return htonl(value);
}

std::uint32_t ID_WSAAPI ShimInetAddr(const char* text) {
    return text == nullptr ? INADDR_NONE : ::inet_addr(text);
}

int ID_WSAAPI ShimWSAFDIsSet(TSocket s, TFDSet* set) {
    if (set == nullptr)
        return 0;
    for (std::uint32_t i = 0; i < set->fd_count && i < Id_FD_SETSIZE; ++i)
        if (set->fd_array[i] == s)
            return 1;
    return 0;
}

} // namespace

void SetAddrInfoLookup(TAddrInfoLookup lookup) {
    AddrInfoLookup() = std::move(lookup);
}

int WinsockErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return 0;
    case EINTR:
        return 10004;
    case EACCES:
    case EPERM:
        return 10013;
    case EFAULT:
        return 10014;
    case EINVAL:
        return 10022;
    case EMFILE:
    case ENFILE:
        return 10024;
    case EAGAIN:
        return 10035;
    case EINPROGRESS:
        return 10036;
    case EALREADY:
        return 10037;
    // Windows knows no descriptor numbers, only handles: one that is not an open socket, never
    // opened or closed already, is "not a socket" there.
    case EBADF:
    case ENOTSOCK:
        return 10038;
    case EDESTADDRREQ:
        return 10039;
    case EMSGSIZE:
        return 10040;
    case EPROTOTYPE:
        return 10041;
    case ENOPROTOOPT:
        return 10042;
    case EPROTONOSUPPORT:
        return 10043;
    case ESOCKTNOSUPPORT:
        return 10044;
    case EOPNOTSUPP:
        return 10045;
    case EPFNOSUPPORT:
        return 10046;
    case EAFNOSUPPORT:
        return 10047;
    case EADDRINUSE:
        return 10048;
    case EADDRNOTAVAIL:
        return 10049;
    case ENETDOWN:
        return 10050;
    case ENETUNREACH:
        return 10051;
    case ENETRESET:
        return 10052;
    case ECONNABORTED:
        return 10053;
    case ECONNRESET:
    case EPIPE: // a send to a peer that has gone
        return 10054;
    case ENOBUFS:
    case ENOMEM:
        return 10055;
    case EISCONN:
        return 10056;
    case ENOTCONN:
        return 10057;
    case ESHUTDOWN:
        return 10058;
    case ETOOMANYREFS:
        return 10059;
    case ETIMEDOUT:
        return 10060;
    case ECONNREFUSED:
        return 10061;
    case ELOOP:
        return 10062;
    case ENAMETOOLONG:
        return 10063;
    case EHOSTDOWN:
        return 10064;
    case EHOSTUNREACH:
        return 10065;
    case ENOTEMPTY:
        return 10066;
    case EUSERS:
        return 10068;
    case EDQUOT:
        return 10069;
    case ESTALE:
        return 10070;
    case EREMOTE:
        return 10071;
    default:
        // No Windows counterpart: keep the number rather than lose it.
        return error;
    }
}

int WinsockErrorFromAddrInfo(int status, int error) {
    switch (status) {
    case 0:
        return 0;
    case EAI_NONAME:
#if defined(EAI_NODATA) && EAI_NODATA != EAI_NONAME
    case EAI_NODATA:
#endif
        return Id_WSAHOST_NOT_FOUND;
    case EAI_AGAIN:
        return Id_WSATRY_AGAIN;
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
        return Id_WSANO_DATA;
#endif
    case EAI_MEMORY:
        return Id_WSAENOBUFS;
    case EAI_SYSTEM:
        return WinsockErrorFromErrno(error);
    default:
        return Id_WSANO_RECOVERY;
    }
}

namespace winsock {

bool FillTable(TWinsockTable& table) {
    table.Clear();
    table.Set(weCloseSocket, &ShimCloseSocket);
    table.Set(weConnect, &ShimConnect);
    table.Set(weGetSockOpt, &ShimGetSockOpt);
    table.Set(weHtonl, &ShimHtonl);
    table.Set(weHtons, &ShimHtons);
    table.Set(weInetAddr, &ShimInetAddr);
    table.Set(weIoctlSocket, &ShimIoctlSocket);
    table.Set(weNtohl, &ShimHtonl);
    table.Set(weNtohs, &ShimHtons);
    table.Set(weRecv, &ShimRecv);
    table.Set(weSelect, &ShimSelect);
    table.Set(weSend, &ShimSend);
    table.Set(weSetSockOpt, &ShimSetSockOpt);
    table.Set(weShutdown, &ShimShutdown);
    table.Set(weSocket, &ShimSocket);
    table.Set(weGetHostByName, &ShimGetHostByName);
    table.Set(weGetHostName, &ShimGetHostName);
    table.Set(weWSAGetLastError, &ShimWSAGetLastError);
    table.Set(weWSASetLastError, &ShimWSASetLastError);
    table.Set(weWSAStartup, &ShimWSAStartup);
    table.Set(weWSACleanup, &ShimWSACleanup);
    table.Set(weWSAFDIsSet, &ShimWSAFDIsSet);
    return true;
}

// The stand-ins hold nothing to release.
void ReleaseLibrary() {}

} // namespace winsock

} // namespace brinmor
