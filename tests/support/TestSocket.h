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

// 127.0.0.1 at a port (0: the OS chooses when binding).
sockaddr_in LoopbackAddress(int port);

// A new TCP socket (starting Windows Sockets for the process first), or -1. Neither it nor
// an accepted one is inherited by programs the tests start.
int OpenStreamSocket();
int AcceptSocket(int listener);
// Closes a socket, or an end of a wake-up pair.
void CloseSocket(int fd);
void SetNonBlocking(int fd);
void SetNoDelay(int fd);
// Closes with a reset (RST) instead of an orderly FIN.
void AbortSocket(int fd);

// One send that neither blocks nor raises SIGPIPE: the count, or -1 (see RetryLater).
long SendNoWait(int fd, const char* data, std::size_t length);
// After a failed call: it would have blocked or was interrupted, so trying again makes sense.
bool RetryLater();

// poll() on both systems; entries with a negative fd are ignored. -1 waits without limit.
int PollSockets(PollEntry* entries, std::size_t count, int timeoutMs);

// A pair whose ends[0] becomes readable once Wake(ends[1]) has been called, to interrupt a
// thread that polls. A pipe on POSIX; on Windows, where only sockets can be polled, a
// connected loopback socket pair. False when it cannot be made; close both with CloseSocket.
bool OpenWakePair(int ends[2]);
void Wake(int writeEnd);

} // namespace brinmor::test
