// One whois query, directly or through a SOCKS 4, 4A or 5 proxy, against a peer whose every
// reply byte, and the points where it closes, resets, stalls or shuts the connection down, come
// from the input; the connect and the client's sends can fail too. The peer stands behind the
// socket layer's function table (InjectedSocket.h): no network, no waiting.
//
// Input: a byte of choices (SOCKS version, password or not, how the connect goes, whether the
// socket can be had, whether the ports come from the input), a byte for how the peer takes
// sends and one for their size, the byte of the stream where sends fail, then the ports when
// chosen, then the domain, the target host, the proxy host, the user and the password (each a
// length byte and its bytes), then the peer's events: a tag byte each (0 to 2 and 7: data of
// the length in the next byte, or the next two for 7; 3: close; 4: reset; 5: stall;
// 6: shutdown).
//
// Property: the run ends, with the answer or with the error that the exchange's rules give for
// that peer, worked out here from the rules alone: the requests' bytes, the replies' lengths and
// codes, the messages, which errors a SOCKS 5 read turns into "Socks server didn't respond.",
// the port and name checks before anything is sent. Checked besides: the bytes the client sent
// are exactly the requests up to where sending failed; it connected to the address and port it
// had to; no socket is left open; every wait, receive and send had a time-out within the
// guards; the area each receive offers is there whole (the peer fills it all, AddressSanitizer
// watches) and only the bytes received count (the rest of the area is filled with garbage that
// must show nowhere); and the same client then runs a clean query normally.
#include "FuzzSupport.h"
#include "InjectedSocket.h"
#include "net/IdException.h"
#include "net/IdStack.h"
#include "net/IdWhois.h"
#include "platform/Exceptions.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <typeinfo>

namespace brinmor::fuzz {
namespace {

constexpr std::size_t kReceiveArea = 8192;

struct Case {
    TSocksVersion version = svNoSocks;
    TSocksAuthentication authentication = saNoAuthentication;
    std::int32_t port = 43;
    std::int32_t proxyPort = 1080;
    std::string domain, host, proxyHost, user, password;
    PeerPlan peer;
};

Case Decode(InputReader& input) {
    Case c;
    const std::uint8_t choices = input.Byte();
    c.version = static_cast<TSocksVersion>(choices & 3);
    c.authentication = choices & 4 ? saUsernamePassword : saNoAuthentication;
    c.peer.connect = static_cast<ConnectMode>((choices >> 3 & 7) % 6);
    c.peer.socketFails = (choices & 0xC0) == 0xC0;
    const std::uint8_t sending = input.Byte();
    c.peer.sendChunk = input.Byte();
    const std::uint8_t failAt = input.Byte();
    if (sending % 4 != 0) {
        c.peer.failAt = failAt;
        c.peer.failKind = sending % 4 == 1   ? PeerEvent::Reset
                          : sending % 4 == 2 ? PeerEvent::Stall
                                             : PeerEvent::ShutDown;
    }
    if ((choices & 0xC0) == 0x80) { // any 32-bit ports
        c.port = static_cast<std::int32_t>(std::uint32_t{input.Word()} << 16 | input.Word());
        c.proxyPort = static_cast<std::int32_t>(std::uint32_t{input.Word()} << 16 | input.Word());
    }
    c.domain = input.Counted();
    c.host = input.Counted();
    c.proxyHost = input.Counted();
    c.user = input.Counted();
    c.password = input.Counted();
    while (!input.AtEnd()) {
        const std::uint8_t tag = input.Byte() % 8;
        if (tag <= 2)
            c.peer.events.push_back({PeerEvent::Data, input.Bytes(input.Byte())});
        else if (tag == 7)
            c.peer.events.push_back({PeerEvent::Data, input.Bytes(input.Word())});
        else
            c.peer.events.push_back({static_cast<PeerEvent::Kind>(tag - 2), {}});
    }
    return c;
}

// The resolver, by the first byte of the name: a third resolve (to 10.0.0.<length>), a third
// fail with 11001, a third fail with no error code, so that an empty address comes back.
TIdNameLookupAnswer Lookup(const std::string& name) {
    TIdNameLookupAnswer answer;
    const int choice = name.empty() ? 1 : static_cast<unsigned char>(name[0]) % 3;
    if (choice == 0)
        answer.Address = TIdIPv4Bytes{10, 0, 0, static_cast<std::uint8_t>(name.size())};
    else
        answer.ErrorCode = choice == 1 ? 11001 : 0;
    return answer;
}

struct Outcome {
    std::string kind; // "answer" or the exception's class
    std::string text; // the answer or the message
    int code = 0;     // of a socket error
    bool operator==(const Outcome&) const = default;
};

std::string Described(const Outcome& o) {
    return o.kind + (o.code != 0 ? " " + std::to_string(o.code) : "") + " " + Shown(o.text);
}

Outcome SocketError(int code) {
    return {"EIdSocketError", GStack->ErrorText(code), code};
}

// What the client must do with the peer of a case; a failure ends it through `Failed`.
class Model {
public:
    explicit Model(const Case& c) : c_(c), cursor_(c.peer.events) {}

    Outcome Run();
    const std::string& Sent() const { return sent_; }
    bool Connects() const { return connects_; }
    std::uint32_t Address() const { return address_; }
    std::uint16_t Port() const { return port_; }

private:
    struct Failed {
        Outcome outcome;
    };
    [[noreturn]] static void Fail(Outcome o) { throw Failed{std::move(o)}; }
    [[noreturn]] static void Fail(const std::string& kind, const std::string& message) {
        Fail(Outcome{kind, message, 0});
    }

    std::string Resolve(const std::string& host);
    TIdIPv4Bytes AddressOf(const std::string& text);
    void Send(const std::string& request);
    std::string ReadExact(std::size_t count);
    std::string ReadToEnd();
    void Socks4();
    void Socks5();

    const Case& c_;
    PeerCursor cursor_;
    std::string buffered_;
    bool closed_ = false;
    std::string sent_;
    bool connects_ = false;
    std::uint32_t address_ = 0;
    std::uint16_t port_ = 0;
};

std::string Model::Resolve(const std::string& host) {
    if (UpperAscii(host) == "LOCALHOST")
        return "127.0.0.1";
    if (GStack->IsIPAddress(host))
        return host;
    const TIdNameLookupAnswer answer = Lookup(host);
    if (answer.Address)
        return GStack->AddressToText(*answer.Address);
    if (answer.ErrorCode != 0)
        Fail(SocketError(answer.ErrorCode));
    return "";
}

TIdIPv4Bytes Model::AddressOf(const std::string& text) {
    if (text.empty()) // what a lookup without an error code gives
        Fail("EConvertError", EConvertError::NotAnInteger("").Message());
    return GStack->TextToAddress(text); // an address text: IsIPAddress said so
}

void Model::Send(const std::string& request) {
    const std::size_t room = c_.peer.failAt - std::min(c_.peer.failAt, sent_.size());
    sent_ += request.substr(0, room);
    if (request.size() <= room)
        return;
    switch (c_.peer.failKind) {
    case PeerEvent::Reset:
        Fail(SocketError(10054));
    case PeerEvent::ShutDown:
        Fail(SocketError(10058));
    default:
        Fail(SocketError(10060));
    }
}

std::string Model::ReadExact(std::size_t count) {
    while (buffered_.size() < count) {
        if (closed_)
            Fail("EIdConnClosedGraceful", "Connection Closed Gracefully.");
        const PeerEvent event = cursor_.Next(kReceiveArea);
        switch (event.kind) {
        case PeerEvent::Data:
            buffered_ += event.bytes;
            break;
        case PeerEvent::Close:
            closed_ = true;
            break;
        case PeerEvent::Reset:
            Fail(SocketError(10054));
        case PeerEvent::Stall:
            Fail(SocketError(10060));
        case PeerEvent::ShutDown: // with bytes buffered the connection just closes
            if (buffered_.empty())
                Fail(SocketError(10058));
            closed_ = true;
            break;
        }
    }
    const std::string bytes = buffered_.substr(0, count);
    buffered_.erase(0, count);
    return bytes;
}

std::string Model::ReadToEnd() {
    std::string answer;
    for (;;) {
        const PeerEvent event = cursor_.Next(kReceiveArea);
        switch (event.kind) {
        case PeerEvent::Data:
            answer += buffered_ + event.bytes;
            buffered_.clear();
            break;
        case PeerEvent::Close:
            return answer + buffered_;
        case PeerEvent::Reset:
            Fail(SocketError(10054));
        case PeerEvent::Stall:
            Fail(SocketError(10060));
        case PeerEvent::ShutDown:
            if (buffered_.empty())
                Fail(SocketError(10058));
            return answer + buffered_;
        }
    }
}

std::string Byte(std::size_t value) {
    return std::string(1, static_cast<char>(value & 0xFF));
}

std::string PortBytes(std::int32_t port) {
    return Byte(static_cast<std::uint32_t>(port) >> 8) + Byte(static_cast<std::uint32_t>(port));
}

void Model::Socks4() {
    const std::string user = c_.user.substr(0, 255);
    std::string address;
    if (c_.version == svSocks4A) {
        // 264 bytes hold the request: 10 of them are not the user id and the name.
        if (user.size() > 254)
            Fail("EIdException", "SOCKS user name too long: " + std::to_string(user.size()));
        if (c_.host.size() > 254 - user.size())
            Fail("EIdException",
                 "SOCKS target host name too long: " + std::to_string(c_.host.size()));
        address = Byte(0) + Byte(0) + Byte(0) + Byte(1);
    } else {
        const TIdIPv4Bytes bytes = AddressOf(Resolve(c_.host));
        address.assign(bytes.begin(), bytes.end());
    }
    std::string request = Byte(4) + Byte(1) + PortBytes(c_.port) + address + user + Byte(0);
    if (c_.version == svSocks4A)
        request += c_.host + Byte(0);
    Send(request);
    switch (static_cast<unsigned char>(ReadExact(8)[1])) {
    case 90:
        return;
    case 91:
        Fail("EIdException", "Request rejected or failed.");
    case 92:
        Fail("EIdException", "Request rejected because SOCKS server cannot connect.");
    case 93:
        Fail("EIdException",
             "Request rejected because the client program and identd report different user-ids.");
    default:
        Fail("EIdException", "Unknown socks error.");
    }
}

void Model::Socks5() {
    const bool withPassword = c_.authentication == saUsernamePassword;
    // 256 bytes hold each request.
    if (c_.host.size() > 249)
        Fail("EIdException", "SOCKS target host name too long: " + std::to_string(c_.host.size()));
    if (withPassword && c_.user.size() > 253)
        Fail("EIdException", "SOCKS user name too long: " + std::to_string(c_.user.size()));
    if (withPassword && c_.password.size() > 253 - c_.user.size())
        Fail("EIdException", "SOCKS password too long: " + std::to_string(c_.password.size()));
    // Every failed read is the proxy not answering.
    const auto read = [this](std::size_t count) {
        try {
            return ReadExact(count);
        } catch (const Failed&) {
            Fail("EIdException", "Socks server didn't respond.");
        }
    };
    const std::size_t method = withPassword ? 2 : 0;
    Send(Byte(5) + Byte(1) + Byte(method));
    if (static_cast<unsigned char>(read(2)[1]) != method)
        Fail("EIdException", "Invalid socks authentication method.");
    if (withPassword) {
        Send(Byte(1) + Byte(c_.user.size()) + c_.user + Byte(c_.password.size()) + c_.password);
        if (read(2)[1] != 0)
            Fail("EIdException", "Authentication error to socks server.");
    }
    Send(Byte(5) + Byte(1) + Byte(0) + Byte(3) + Byte(c_.host.size()) + c_.host +
         PortBytes(c_.port));
    const std::string reply = read(5);
    static const char* const kCodes[] = {nullptr,
                                         "General SOCKS server failure.",
                                         "Connection not allowed by ruleset.",
                                         "Network unreachable.",
                                         "Host unreachable.",
                                         "Connection refused.",
                                         "TTL expired.",
                                         "Command not supported.",
                                         "Address type not supported."};
    const auto code = static_cast<unsigned char>(reply[1]);
    if (code != 0)
        Fail("EIdException", code <= 8 ? kCodes[code] : "Unknown socks error.");
    switch (reply[3]) {
    case 1: // IPv4: the address's last 3 bytes and the port
        read(5);
        break;
    case 3: // a name: its length was the fifth byte
        read(static_cast<unsigned char>(reply[4]) + 2u);
        break;
    case 4: // IPv6
        read(17);
        break;
    default:
        read(2);
        break;
    }
}

Outcome Model::Run() {
    try {
        const bool proxied = c_.version != svNoSocks;
        for (const std::int32_t port : {c_.port, proxied ? c_.proxyPort : 1})
            if (port < 1 || port > 65535)
                Fail(SocketError(10049)); // before any socket
        if (c_.peer.socketFails)
            Fail("EIdInvalidSocket", "Cannot allocate socket.");
        const TIdIPv4Bytes address = AddressOf(Resolve(proxied ? c_.proxyHost : c_.host));
        connects_ = true;
        std::memcpy(&address_, address.data(), sizeof address_);
        port_ = static_cast<std::uint16_t>(proxied ? c_.proxyPort : c_.port);
        switch (c_.peer.connect) {
        case ConnectMode::Refused:
        case ConnectMode::PendingFailed:
            Fail(SocketError(10061));
        case ConnectMode::PendingExpired:
            Fail(SocketError(10060));
        case ConnectMode::WaitFails:
            Fail(SocketError(10050));
        default:
            break;
        }
        if (c_.version == svSocks5)
            Socks5();
        else if (proxied)
            Socks4();
        Send(c_.domain + "\r\n");
        return {"answer", ReadToEnd(), 0};
    } catch (const Failed& failed) {
        return failed.outcome;
    }
}

Outcome Query(TIdWhois& whois, const std::string& domain) {
    try {
        return {"answer", whois.QueryDomain(domain), 0};
    } catch (const EIdSocketError& e) {
        return {"EIdSocketError", e.Message(), e.ErrorCode()};
    } catch (const Exception& e) {
        // The class by name: a SOCKS refusal is EIdException itself, not one of its children.
        const std::type_info& type = typeid(e);
        for (const auto& [known, name] :
             {std::pair<const std::type_info*, const char*>{&typeid(EIdException), "EIdException"},
              {&typeid(EIdConnClosedGraceful), "EIdConnClosedGraceful"},
              {&typeid(EIdInvalidSocket), "EIdInvalidSocket"},
              {&typeid(EConvertError), "EConvertError"}})
            if (type == *known)
                return {name, e.Message(), 0};
        return {type.name(), e.Message(), 0};
    } catch (const std::exception& e) {
        return {"std::exception", e.what(), 0};
    }
}

// Refusals of values too long for a request carry their sizes; the limits in the message are
// the implementation's own way of saying it and not compared.
bool SameOutcome(const Outcome& expected, const Outcome& actual) {
    if (expected.kind == "EIdException" && expected.text.starts_with("SOCKS "))
        return actual.kind == expected.kind && actual.text.starts_with(expected.text + " bytes");
    return expected == actual;
}

TIdWhois& Client() {
    static TIdWhois whois;
    return whois;
}

} // namespace
} // namespace brinmor::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    brinmor::fuzz::Client(); // the stack, for the whole run
    brinmor::TIdStack::SetNameLookup(&brinmor::fuzz::Lookup);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brinmor;
    using namespace brinmor::fuzz;
    InputReader input(data, size);
    const Case c = Decode(input);
    Model model(c);
    const Outcome expected = model.Run();

    TIdWhois& whois = Client();
    whois.SetHost(c.host);
    whois.SetPort(c.port);
    TSocksInfo& socks = whois.SocksInfo();
    socks.Version = c.version;
    socks.Authentication = c.authentication;
    socks.Host = c.proxyHost;
    socks.Port = c.proxyPort;
    socks.UserID = c.user;
    socks.Password = c.password;
    StartPeer(c.peer);
    const Outcome actual = Query(whois, c.domain);

    const PeerRecord& record = Record();
    if (std::getenv("BRINMOR_FUZZ_SHOW") != nullptr) // to look at what a seed does
        std::fprintf(stderr, "%s\n", Described(actual).c_str());
    if (!SameOutcome(expected, actual))
        PropertyFailed("the query ended with " + Described(actual) + "\n   expected " +
                       Described(expected));
    ExpectSame(model.Sent(), record.sent, "the bytes the client sent");
    Expect(record.connected == model.Connects() &&
               (!record.connected ||
                (record.address == model.Address() && record.port == model.Port())),
           "the client connected where it had to");
    Expect(record.socketsOpen == 0 && !whois.Connected(), "the query left a socket open");

    // The same client, a clean peer: nothing of the run before may be left.
    socks.Version = svNoSocks;
    whois.SetHost("127.0.0.1");
    whois.SetPort(43);
    PeerPlan clean;
    clean.events = {{PeerEvent::Data, "again\r\n"}, {PeerEvent::Close, {}}};
    StartPeer(clean);
    const Outcome again = Query(whois, "example.com");
    Expect(again == Outcome{"answer", "again\r\n", 0},
           "a clean query after the run ended with " + Described(again));
    ExpectSame("example.com\r\n", Record().sent, "the clean query's request");
    Expect(Record().socketsOpen == 0, "the clean query left a socket open");
    return 0;
}
