#pragma once

// Sockets for the loopback fake servers, on POSIX and on Windows Sockets 2. Handles are held
// as int on both systems: a Windows socket handle always fits in 32 bits, and the invalid
// socket becomes -1. The fake servers use the system's own sockets, never the program's stack.

#include <cstddef>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace brinmor::test {

#ifdef _WIN32
// Same field names as pollfd, so that initialisers read the same on both systems.
struct PollEntry {
    int fd;
    short events;
    short revents;
};
inline constexpr int kSendFlags = 0;
inline constexpr int kShutWrite = SD_SEND;
#else
using PollEntry = pollfd;
// A peer that has gone must not kill the test process with SIGPIPE.
inline constexpr int kSendFlags = MSG_NOSIGNAL;
inline constexpr int kShutWrite = SHUT_WR;
#endif

// A new TCP socket (starting Windows Sockets for the process first), or -1.
int OpenStreamSocket();
void CloseSocket(int fd);
void SetNonBlocking(int fd);
void SetNoDelay(int fd);

// poll() on both systems; entries with a negative fd are ignored. -1 waits without limit.
int PollSockets(PollEntry* entries, std::size_t count, int timeoutMs);

// Wakes a thread that polls: ReadFd() becomes readable once Raise() has been called. A pipe
// on POSIX; on Windows, where only sockets can be polled, a connected loopback socket pair.
class WakeSignal {
public:
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    int ReadFd() const { return ends_[0]; }
    void Raise();

private:
    int ends_[2] = {-1, -1};
};

} // namespace brinmor::test
