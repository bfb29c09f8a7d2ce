#include "net/IdStack.h"

#include "net/IdException.h"
#include "net/IdGlobal.h"
#include "net/IdResourceStrings.h"
#include "net/IdStackWinsock.h"
#include "platform/AsciiText.h"
#include "platform/IntegerText.h"

#include <algorithm>
#include <cstring>

namespace brinmor {

TIdStack* GStack = nullptr;

namespace {

TIdNameLookup& NameLookupSlot() {
    static TIdNameLookup lookup;
    return lookup;
}

// The four parts of a dotted address: three cuts at the first ".", then the rest.
std::array<std::string, 4> AddressParts(std::string text) {
    std::array<std::string, 4> parts;
    for (int i = 0; i < 3; ++i)
        parts[i] = Fetch(text, ".");
    parts[3] = text;
    return parts;
}

} // namespace

TIdStack::TIdStack(std::unique_ptr<TIdStackVersion> version) : version_(std::move(version)) {}

TIdStack::~TIdStack() = default;

std::unique_ptr<TIdStack> TIdStack::MakeStack() {
    return std::make_unique<TIdStackWinsock>();
}

void TIdStack::SetNameLookup(TIdNameLookup lookup) {
    NameLookupSlot() = std::move(lookup);
}

const TIdNameLookup& TIdStack::NameLookup() {
    return NameLookupSlot();
}

std::string TIdStack::ErrorText(int code) const {
    std::string text = RSStackError;
    const auto at = text.find("%d");
    text.replace(at, 2, std::to_string(code));
    return FormatText(text, WinsockErrorText(code));
}

std::string TIdStack::AddressToText(const TIdIPv4Bytes& address) const {
    return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
           std::to_string(address[2]) + "." + std::to_string(address[3]);
}

TIdIPv4Bytes TIdStack::TextToAddress(const std::string& text) const {
    const auto parts = AddressParts(text);
    TIdIPv4Bytes address{};
    for (int i = 0; i < 4; ++i)
        address[i] = static_cast<std::uint8_t>(StrToInt(parts[i]) & 0xFF);
    return address;
}

TIdStackSocketHandle TIdStack::NewSocket(int type, int protocol) {
    const TIdStackSocketHandle socket = OpenSocket(Id_PF_INET, type, protocol);
    if (socket == Id_INVALID_SOCKET)
        throw EIdInvalidSocket(RSCannotAllocateSocket);
    return socket;
}

bool TIdStack::IsIPAddress(const std::string& text) const {
    const auto parts = AddressParts(text);
    return std::all_of(parts.begin(), parts.end(), [](const std::string& part) {
        const auto value = TryStrToInt(part);
        return value && *value >= 0 && *value <= 255;
    });
}

std::string TIdStack::ResolveAddress(const std::string& host) {
    if (SameIgnoringAsciiCase(host, "localhost"))
        return "127.0.0.1";
    if (IsIPAddress(host))
        return host;
    return LookupHost(host);
}

std::uint32_t TIdStack::AddressValue(const std::string& text) const {
    const TIdIPv4Bytes bytes = TextToAddress(text);
    std::uint32_t value;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

bool TIdStack::CheckResult(int result) {
    return CheckResult(result, {0});
}

bool TIdStack::CheckResult(int result, std::initializer_list<int> tolerated) {
    if (result != Id_SOCKET_ERROR)
        return false;
    const int code = LastSocketError();
    if (std::find(tolerated.begin(), tolerated.end(), code) != tolerated.end())
        return true;
    RaiseError(code);
}

void TIdStack::RaiseError(int code) {
    throw EIdSocketError(code, ErrorText(code));
}

} // namespace brinmor
