// Address and port texts: the proxy address and port from config.ini, and the server named by
// a referral, as the connection reads them.
//
// Input: four bytes of a number, then the text.
//
// Properties:
// - TryStrToInt (the port, each address part) accepts exactly blanks, a sign, then decimal
//   digits or hexadecimal ones after "$" or "0x", within 32 bits, and gives the value; StrToInt
//   raises the conversion error naming the text otherwise; a number written by IntToStr, or in
//   hexadecimal after "$", reads back as itself;
// - IsIPAddress holds exactly when the text cut three times at its first dot gives four parts
//   that each read as 0 to 255; TextToAddress then gives those bytes, and otherwise the low
//   byte of each part or the conversion error for the first part that does not read;
//   AddressToText writes an address that reads back as the same bytes;
// - ResolveAddress gives 127.0.0.1 for "localhost" in any letter case and an address text as
//   it stands, without a lookup; any other text is looked up once, by its own spelling, and a
//   failed lookup raises the socket error of its code.
#include "FuzzSupport.h"
#include "net/IdException.h"
#include "net/IdStack.h"
#include "net/IdTCPClient.h"
#include "platform/Exceptions.h"
#include "platform/IntegerText.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace brinmor::fuzz {
namespace {

std::optional<std::int32_t> ReferenceInteger(const std::string& text) {
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string::npos)
        return std::nullopt;
    bool negative = false;
    if (text[at] == '+' || text[at] == '-')
        negative = text[at++] == '-';
    int base = 10;
    if (text.compare(at, 1, "$") == 0) {
        base = 16;
        at += 1;
    } else if (text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0) {
        base = 16;
        at += 2;
    }
    const std::string digits = text.substr(at);
    const std::string allowed = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos)
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    if (base == 16) { // the 32 bits themselves
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
        const auto bits = static_cast<std::uint32_t>(value);
        return static_cast<std::int32_t>(negative ? 0u - bits : bits);
    }
    const std::int64_t signedValue =
        negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
    if (value > 0x80000000u || signedValue > INT32_MAX || signedValue < INT32_MIN)
        return std::nullopt;
    return static_cast<std::int32_t>(signedValue);
}

std::array<std::string, 4> Parts(const std::string& text) {
    std::array<std::string, 4> parts;
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t dot = text.find('.', start);
        parts[i] = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        start = dot == std::string::npos ? text.size() : dot + 1;
    }
    parts[3] = text.substr(start);
    return parts;
}

std::string Quoted(const std::optional<std::int32_t>& value) {
    return value ? std::to_string(*value) : "nothing";
}

void CheckInteger(const std::string& text) {
    const auto expected = ReferenceInteger(text);
    const auto actual = TryStrToInt(text);
    Expect(actual == expected, "TryStrToInt(" + Shown(text) + ") should give " + Quoted(expected) +
                                   ", gave " + Quoted(actual));
    try {
        const std::int32_t value = StrToInt(text);
        Expect(expected && value == *expected, "StrToInt(" + Shown(text) + ") gave a value");
    } catch (const EConvertError& e) {
        Expect(!expected, "StrToInt(" + Shown(text) + ") raised");
        ExpectSame(EConvertError::NotAnInteger(text).Message(), e.Message(),
                   "the conversion error");
    }
}

std::string AddressText(const TIdIPv4Bytes& bytes) {
    return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." +
           std::to_string(bytes[2]) + "." + std::to_string(bytes[3]);
}

// The stack, kept for the whole run by one network component.
TIdStack& Stack() {
    static TIdTCPClient keeper;
    return *GStack;
}

constexpr TIdIPv4Bytes kLookedUp = {10, 20, 30, 40};

// Names of odd length fail to resolve, the others resolve to kLookedUp.
std::vector<std::string>& Lookups() {
    static std::vector<std::string> names;
    return names;
}

void CheckAddress(const std::string& text) {
    TIdStack& stack = Stack();
    const auto parts = Parts(text);
    std::array<std::optional<std::int32_t>, 4> values;
    bool isAddress = true;
    for (int i = 0; i < 4; ++i) {
        values[i] = ReferenceInteger(parts[i]);
        isAddress = isAddress && values[i] && *values[i] >= 0 && *values[i] <= 255;
    }
    Expect(stack.IsIPAddress(text) == isAddress,
           "IsIPAddress(" + Shown(text) + ") should be " + (isAddress ? "true" : "false"));

    std::optional<std::string> badPart;
    TIdIPv4Bytes expected{};
    for (int i = 0; i < 4 && !badPart; ++i) {
        if (!values[i])
            badPart = parts[i];
        else
            expected[i] = static_cast<std::uint8_t>(*values[i] & 0xFF);
    }
    try {
        const TIdIPv4Bytes bytes = stack.TextToAddress(text);
        Expect(!badPart && bytes == expected,
               "TextToAddress(" + Shown(text) + ") gave " + AddressText(bytes));
        const std::string written = stack.AddressToText(bytes);
        Expect(stack.IsIPAddress(written) && stack.TextToAddress(written) == bytes,
               "the address text " + written + " reads back");
    } catch (const EConvertError& e) {
        Expect(badPart.has_value(), "TextToAddress(" + Shown(text) + ") raised " + e.Message());
        ExpectSame(EConvertError::NotAnInteger(*badPart).Message(), e.Message(),
                   "TextToAddress names the first part that does not read");
    }

    Lookups().clear();
    const bool local = UpperAscii(text) == "LOCALHOST";
    const bool lookedUp = !local && !isAddress;
    try {
        const std::string resolved = stack.ResolveAddress(text);
        ExpectSame(local       ? "127.0.0.1"
                   : isAddress ? text
                               : AddressText(kLookedUp),
                   resolved, "ResolveAddress(" + Shown(text) + ")");
        Expect(!lookedUp || text.size() % 2 == 0, "a failed lookup gave an address");
    } catch (const EIdSocketError& e) {
        Expect(lookedUp && text.size() % 2 == 1, "ResolveAddress(" + Shown(text) + ") raised");
        Expect(e.ErrorCode() == 11001, "the code of a failed lookup");
        ExpectSame("Socket Error # 11001\r\nHost not found.", e.Message(), "its message");
    }
    Expect(Lookups() == (lookedUp ? std::vector<std::string>{text} : std::vector<std::string>{}),
           "ResolveAddress(" + Shown(text) + ") asked the resolver " +
               std::to_string(Lookups().size()) + " times");
}

} // namespace
} // namespace brinmor::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    using namespace brinmor;
    TIdStack::SetNameLookup([](const std::string& name) {
        fuzz::Lookups().push_back(name);
        TIdNameLookupAnswer answer;
        if (name.size() % 2 == 0)
            answer.Address = fuzz::kLookedUp;
        else
            answer.ErrorCode = 11001;
        return answer;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brinmor;
    using namespace brinmor::fuzz;
    InputReader input(data, size);
    const auto number = static_cast<std::int32_t>(std::uint32_t{input.Word()} << 16 | input.Word());
    const std::string text = input.Rest();

    CheckInteger(text);
    CheckInteger(IntToStr(number));
    Expect(TryStrToInt(IntToStr(number)) == number,
           "IntToStr(" + std::to_string(number) + ") reads back");
    char hex[16];
    std::snprintf(hex, sizeof hex, "$%X", static_cast<std::uint32_t>(number));
    Expect(TryStrToInt(hex) == number,
           std::string(hex) + " reads back as " + std::to_string(number));
    CheckAddress(text);
    return 0;
}
