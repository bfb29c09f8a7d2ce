#include "InjectedSocket.h"

#include "FuzzSupport.h"
#include "net/IdStackConsts.h"
#include "net/IdTCPConnection.h"
#include "net/IdWinsock.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace brinmor::fuzz {

PeerEvent PeerCursor::Next(std::size_t room) {
    while (index_ < events_->size()) {
        const PeerEvent& event = (*events_)[index_];
        if (event.kind != PeerEvent::Data)
            return event; // answers every later receive too
        if (offset_ < event.bytes.size()) {
            const std::size_t count = std::min(room, event.bytes.size() - offset_);
            PeerEvent piece{PeerEvent::Data, event.bytes.substr(offset_, count)};
            offset_ += count;
            return piece;
        }
        ++index_;
        offset_ = 0;
    }
    return {PeerEvent::Close, {}};
}

namespace {

struct SocketState {
    bool nonBlocking = false;
    std::uint32_t recvTimeout = 0; // ms, 0: none
    std::uint32_t sendTimeout = 0;
};

struct Run {
    PeerPlan plan;
    PeerCursor cursor{plan.events};
    PeerRecord record;
    std::map<TSocket, SocketState> sockets; // the open ones
    TSocket next = 100;
    long calls = 0;
};

Run& Current() {
    static Run run;
    return run;
}

void SetError(int code) {
    Winsock().Get<TWSASetLastErrorProc>(weWSASetLastError)(code);
}

// Every call counts: a client that keeps calling after the peer is done never ends its run.
SocketState& Open(TSocket socket, const char* call) {
    Run& run = Current();
    Expect(++run.calls < 100000, "the client keeps calling the socket: the run would not end");
    const auto found = run.sockets.find(socket);
    Expect(found != run.sockets.end(),
           std::string(call) + " on a socket that is not open: " + std::to_string(socket));
    return found->second;
}

// A blocking call with no time-out, or a longer one than the guards allow, could wait for ever
// on a silent peer.
void ExpectGuard(std::uint32_t timeoutMs, std::uint32_t guardMs, const char* call) {
    Expect(timeoutMs > 0 && timeoutMs <= guardMs,
           std::string(call) + " waits " +
               (timeoutMs == 0 ? "without limit" : "longer than its guard") + " (" +
               std::to_string(timeoutMs) + " ms)");
}

TSocket ID_WSAAPI FakeSocket(int, int, int) {
    Run& run = Current();
    if (run.plan.socketFails) {
        SetError(10024);
        return Id_INVALID_SOCKET;
    }
    const TSocket socket = run.next++;
    run.sockets[socket] = {};
    ++run.record.socketsOpen;
    return socket;
}

int ID_WSAAPI FakeCloseSocket(TSocket socket) {
    Open(socket, "closesocket");
    Current().sockets.erase(socket);
    --Current().record.socketsOpen;
    return 0;
}

int ID_WSAAPI FakeIoctlSocket(TSocket socket, std::int32_t command, std::uint32_t* argument) {
    SocketState& state = Open(socket, "ioctlsocket");
    if (command == Id_FIONBIO)
        state.nonBlocking = *argument != 0;
    return 0;
}

int ID_WSAAPI FakeSetSockOpt(TSocket socket, int level, int option, const char* value, int length) {
    SocketState& state = Open(socket, "setsockopt");
    if (level == Id_SOL_SOCKET && (option == Id_SO_RCVTIMEO || option == Id_SO_SNDTIMEO)) {
        Expect(length == sizeof(std::uint32_t), "a time-out option of 4 bytes");
        std::uint32_t ms;
        std::memcpy(&ms, value, sizeof ms);
        (option == Id_SO_RCVTIMEO ? state.recvTimeout : state.sendTimeout) = ms;
    }
    return 0;
}

int ID_WSAAPI FakeGetSockOpt(TSocket socket, int level, int option, char* value, int* length) {
    Open(socket, "getsockopt");
    Expect(level == Id_SOL_SOCKET && option == Id_SO_ERROR && *length == sizeof(int),
           "only the outcome of a connect is asked for");
    const int error = 10061;
    std::memcpy(value, &error, sizeof error);
    return 0;
}

int ID_WSAAPI FakeConnect(TSocket socket, const TSockAddr* address, int length) {
    const SocketState& state = Open(socket, "connect");
    Expect(state.nonBlocking, "a connect with no time-out (the socket is blocking)");
    Expect(length == sizeof(TSockAddrIn), "connect gets an Internet socket address");
    TSockAddrIn in;
    std::memcpy(&in, address, sizeof in);
    PeerRecord& record = Current().record;
    record.connected = true;
    record.address = in.sin_addr.S_addr;
    unsigned char port[2]; // network order: the high byte first
    std::memcpy(port, &in.sin_port, sizeof port);
    record.port = static_cast<std::uint16_t>(port[0] << 8 | port[1]);
    switch (Current().plan.connect) {
    case ConnectMode::Immediate:
        return 0;
    case ConnectMode::Refused:
        SetError(10061);
        return Id_SOCKET_ERROR;
    default:
        SetError(Id_WSAEWOULDBLOCK);
        return Id_SOCKET_ERROR;
    }
}

int ID_WSAAPI FakeSelect(int, TFDSet* read, TFDSet* write, TFDSet* error, const TTimeVal* timeout) {
    Expect(timeout != nullptr, "a wait without limit");
    ExpectGuard(static_cast<std::uint32_t>(timeout->tv_sec * 1000 + timeout->tv_usec / 1000),
                IdDefaultConnectTimeout, "the connect wait");
    for (const TFDSet* set : {read, write, error})
        for (std::uint32_t i = 0; set != nullptr && i < set->fd_count; ++i)
            Open(set->fd_array[i], "select");
    if (read != nullptr && read->fd_count > 0)
        return static_cast<int>(read->fd_count); // data or a close waits: the receive tells
    const auto clear = [](TFDSet* set) {
        if (set != nullptr)
            set->fd_count = 0;
    };
    switch (Current().plan.connect) {
    case ConnectMode::PendingOk:
        clear(error);
        return 1;
    case ConnectMode::PendingFailed:
        clear(write);
        return 1;
    case ConnectMode::WaitFails:
        SetError(10050);
        return Id_SOCKET_ERROR;
    default:
        clear(write);
        clear(error);
        return 0;
    }
}

int Fail(PeerEvent::Kind kind, std::uint32_t timeoutMs, const char* call) {
    switch (kind) {
    case PeerEvent::Reset:
        SetError(10054);
        break;
    case PeerEvent::ShutDown:
        SetError(10058);
        break;
    default: // a stall: the guard's time-out expires
        ExpectGuard(timeoutMs, IdDefaultSilenceTimeout, call);
        SetError(10060);
        break;
    }
    return Id_SOCKET_ERROR;
}

int ID_WSAAPI FakeRecv(TSocket socket, char* buffer, int length, int flags) {
    const SocketState& state = Open(socket, "recv");
    Expect(!state.nonBlocking && flags == 0 && length > 0, "a plain blocking receive");
    ExpectGuard(state.recvTimeout, IdDefaultSilenceTimeout, "a receive");
    const PeerEvent event = Current().cursor.Next(static_cast<std::size_t>(length));
    switch (event.kind) {
    case PeerEvent::Data:
        // The whole area offered must be there; what lies past the bytes received is garbage.
        std::memset(buffer, 0xA5, static_cast<std::size_t>(length));
        std::memcpy(buffer, event.bytes.data(), event.bytes.size());
        return static_cast<int>(event.bytes.size());
    case PeerEvent::Close:
        return 0;
    default:
        return Fail(event.kind, state.recvTimeout, "a receive");
    }
}

int ID_WSAAPI FakeSend(TSocket socket, const char* buffer, int length, int flags) {
    const SocketState& state = Open(socket, "send");
    Expect(!state.nonBlocking && flags == 0 && length > 0, "a plain blocking send");
    ExpectGuard(state.sendTimeout, IdDefaultSilenceTimeout, "a send");
    Run& run = Current();
    const std::size_t sent = run.record.sent.size();
    if (sent >= run.plan.failAt)
        return Fail(run.plan.failKind, state.sendTimeout, "a send");
    std::size_t count = std::min(static_cast<std::size_t>(length), run.plan.failAt - sent);
    if (run.plan.sendChunk > 0)
        count = std::min(count, run.plan.sendChunk);
    run.record.sent.append(buffer, count);
    return static_cast<int>(count);
}

void Install() {
    TWinsockTable& table = Winsock();
    table.Set(weSocket, &FakeSocket);
    table.Set(weCloseSocket, &FakeCloseSocket);
    table.Set(weIoctlSocket, &FakeIoctlSocket);
    table.Set(weSetSockOpt, &FakeSetSockOpt);
    table.Set(weGetSockOpt, &FakeGetSockOpt);
    table.Set(weConnect, &FakeConnect);
    table.Set(weSelect, &FakeSelect);
    table.Set(weRecv, &FakeRecv);
    table.Set(weSend, &FakeSend);
}

} // namespace

void StartPeer(const PeerPlan& plan) {
    static const bool installed = (Install(), true);
    (void)installed;
    Run& run = Current();
    Expect(run.sockets.empty(), "a socket of the last run is still open");
    run.plan = plan;
    run.cursor = PeerCursor(run.plan.events);
    run.record = {};
    run.calls = 0;
}

const PeerRecord& Record() {
    return Current().record;
}

} // namespace brinmor::fuzz
