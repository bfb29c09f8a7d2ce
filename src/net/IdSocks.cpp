#include "net/IdSocks.h"

#include "net/IdException.h"
#include "net/IdResourceStrings.h"
#include "net/IdStack.h"
#include "net/IdTCPClient.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

namespace brinmor {

namespace {

// Requests are built in fixed areas. A value that does not fit is refused before anything is
// sent; only the SOCKS 4 user id is cut (to its one-byte length), since a cut host name or
// password would silently ask for something else.
constexpr std::size_t kSocks4Area = 264;
constexpr std::size_t kSocks5Area = 256;
constexpr std::size_t kLengthByteLimit = 255;

constexpr const char* kUserName = "user name";
constexpr const char* kPassword = "password";
constexpr const char* kTargetHost = "target host name";

[[noreturn]] void RefuseTooLong(const char* what, std::size_t length, std::size_t limit) {
    throw EIdException("SOCKS " + std::string(what) + " too long: " + std::to_string(length) +
                       " bytes, at most " + std::to_string(limit) + ".");
}

void CheckFits(const char* what, std::size_t length, std::size_t limit) {
    if (length > limit)
        RefuseTooLong(what, length, limit);
}

std::string Byte(std::size_t value) {
    return std::string(1, static_cast<char>(value & 0xFF));
}

std::string PortBytes(std::int32_t port) {
    return Byte(static_cast<std::size_t>(port) >> 8) + Byte(static_cast<std::size_t>(port));
}

void Socks4(TIdTCPClient& client) {
    const TSocksInfo& socks = client.SocksInfo();
    const std::string userId = socks.UserID.substr(0, kLengthByteLimit);
    const bool byName = socks.Version == svSocks4A;
    std::string address;
    if (byName) {
        // The area holds 10 bytes besides the user id and the name.
        const std::size_t room = kSocks4Area - 10;
        if (userId.size() > room)
            RefuseTooLong(kUserName, userId.size(), room - std::min(room, client.Host().size()));
        CheckFits(kTargetHost, client.Host().size(), room - userId.size());
        address = Byte(0) + Byte(0) + Byte(0) + Byte(1);
    } else {
        // Already in network order: its bytes in memory are the address's bytes.
        const std::uint32_t value = GStack->AddressValue(GStack->ResolveAddress(client.Host()));
        address.assign(reinterpret_cast<const char*>(&value), sizeof value);
    }
    std::string request = Byte(4) + Byte(1) + PortBytes(client.Port()) + address + userId + Byte(0);
    if (byName)
        request += client.Host() + Byte(0);
    client.WriteBytes(request.data(), static_cast<int>(request.size()));

    char reply[8];
    client.ReadExact(reply, static_cast<int>(sizeof reply));
    switch (static_cast<unsigned char>(reply[1])) {
    case 90:
        return;
    case 91:
        throw EIdException(RSSocksRequestFailed);
    case 92:
        throw EIdException(RSSocksRequestServerFailed);
    case 93:
        throw EIdException(RSSocksRequestIdentFailed);
    default:
        throw EIdException(RSSocksUnknownError);
    }
}

// Every SOCKS 5 read reports any failure as the proxy not answering.
void ReadSocks5(TIdTCPClient& client, char* destination, std::size_t count) {
    try {
        client.ReadExact(destination, static_cast<int>(count));
    } catch (const Exception&) {
        throw EIdException(RSSocksServerRespondError);
    }
}

constexpr const char* kSocks5Replies[] = {
    nullptr,
    RSSocksServerGeneralError,
    RSSocksServerPermissionError,
    RSSocksServerNetUnreachableError,
    RSSocksServerHostUnreachableError,
    RSSocksServerConnectionRefusedError,
    RSSocksServerTTLExpiredError,
    RSSocksServerCommandError,
    RSSocksServerAddressError,
};

void Socks5(TIdTCPClient& client) {
    const TSocksInfo& socks = client.SocksInfo();
    const bool withPassword = socks.Authentication == saUsernamePassword;
    const std::string& host = client.Host();
    // All checks come first: a refused value must not leave half an exchange behind.
    CheckFits(kTargetHost, host.size(), kSocks5Area - 7);
    if (withPassword) {
        const std::size_t room = kSocks5Area - 3;
        CheckFits(kUserName, socks.UserID.size(), room);
        CheckFits(kPassword, socks.Password.size(), room - socks.UserID.size());
    }

    const char method = withPassword ? 2 : 0;
    const std::string greeting = Byte(5) + Byte(1) + Byte(method);
    client.WriteBytes(greeting.data(), static_cast<int>(greeting.size()));
    char answer[5];
    ReadSocks5(client, answer, 2);
    if (answer[1] != method) // 255 never equals an offered method
        throw EIdException(RSSocksAuthMethodError);

    if (withPassword) {
        const std::string login = Byte(1) + Byte(socks.UserID.size()) + socks.UserID +
                                  Byte(socks.Password.size()) + socks.Password;
        client.WriteBytes(login.data(), static_cast<int>(login.size()));
        ReadSocks5(client, answer, 2);
        if (answer[1] != 0)
            throw EIdException(RSSocksAuthError);
    }

    const std::string request =
        Byte(5) + Byte(1) + Byte(0) + Byte(3) + Byte(host.size()) + host + PortBytes(client.Port());
    client.WriteBytes(request.data(), static_cast<int>(request.size()));
    ReadSocks5(client, answer, 5);
    const unsigned char code = static_cast<unsigned char>(answer[1]);
    if (code != 0)
        throw EIdException(code < std::size(kSocks5Replies) ? kSocks5Replies[code]
                                                            : RSSocksUnknownError);
    // Consume the bound address and port: nothing of the reply may be taken for server data.
    std::size_t rest = 2;
    switch (answer[3]) {
    case 1:
        rest = 5;
        break;
    case 3:
        rest = static_cast<unsigned char>(answer[4]) + 2;
        break;
    case 4:
        rest = 17;
        break;
    }
    char bound[257];
    ReadSocks5(client, bound, rest);
}

} // namespace

void TSocksInfo::Assign(const TSocksInfo& source) {
    Authentication = source.Authentication;
    Host = source.Host;
    Password = source.Password;
    Port = source.Port;
    UserID = source.UserID;
    Version = source.Version;
}

void NegotiateSocks(TIdTCPClient& client) {
    switch (client.SocksInfo().Version) {
    case svSocks4:
    case svSocks4A:
        Socks4(client);
        break;
    case svSocks5:
        Socks5(client);
        break;
    case svNoSocks:
        break;
    }
}

} // namespace brinmor
