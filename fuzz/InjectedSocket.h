#pragma once

// A scripted peer behind the socket layer's function table: the connection's socket calls reach
// it instead of the system, so an exchange runs with no network, at once and the same way every
// time. A "stall" is the time-out the guard set on the socket expiring, so no run waits.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brinmor::fuzz {

// What the peer does next when the client receives.
struct PeerEvent {
    enum Kind { Data, Close, Reset, Stall, ShutDown };
    Kind kind;
    std::string bytes; // for Data
};

// One receive of at most `room` bytes against a script: data comes in the script's pieces (a
// piece larger than the room in several receives), and after the script the peer has closed.
// A close, a reset, a stall or a shutdown answers every later receive too.
class PeerCursor {
public:
    explicit PeerCursor(const std::vector<PeerEvent>& events) : events_(&events) {}
    PeerEvent Next(std::size_t room);

private:
    const std::vector<PeerEvent>* events_;
    std::size_t index_ = 0;
    std::size_t offset_ = 0; // into the current Data piece
};

enum class ConnectMode {
    Immediate,      // connect succeeds at once
    Refused,        // connect fails at once with 10061
    PendingOk,      // the wait reports the socket writable
    PendingFailed,  // the wait reports an error, SO_ERROR gives 10061
    PendingExpired, // the wait times out
    WaitFails,      // the wait itself fails with 10050
};

// The peer of one run: how the connect goes, what it answers, and how it takes what it is sent.
struct PeerPlan {
    bool socketFails = false;
    ConnectMode connect = ConnectMode::Immediate;
    std::vector<PeerEvent> events;
    // Sends take at most this many bytes each (0: all of them); the send that starts at byte
    // failAt of the client's stream fails with failKind (Reset, Stall or ShutDown).
    std::size_t sendChunk = 0;
    std::size_t failAt = SIZE_MAX;
    PeerEvent::Kind failKind = PeerEvent::Reset;
};

// What the client did.
struct PeerRecord {
    std::string sent;
    bool connected = false;
    std::uint32_t address = 0; // as connect got it, network order
    std::uint16_t port = 0;    // host order
    int socketsOpen = 0;
};

// Puts the scripted calls in the function table (once; the stack must exist) and starts a run.
void StartPeer(const PeerPlan& plan);
const PeerRecord& Record();

} // namespace brinmor::fuzz
