// What a registry-aware lookup reads in answers: the input is a registry's host name up to a
// byte 0, then an answer (read as IANA's and as the registry's).
//
// Properties, each stated by what changes in the input rather than by the rule itself:
// - a server read from an answer is a piece of it, on one line, with no blank at either end;
// - turning every LF into CR LF, or putting a line of another label first, changes nothing;
// - a "whois:" line put first wins over IANA's answer;
// - a "Whois Server: " line put last is taken exactly when nothing before it was, unless it
//   names the registry;
// - the registrar's server never names the registry, in any letter case, and letter case in the
//   answer and the registry's name carries through to the result;
// - a top-level domain holds no dot and ends the name after a dot.
#include "FuzzSupport.h"
#include "net/WhoisReferral.h"

#include <cstdint>
#include <string>

namespace brinmor::fuzz {
namespace {

constexpr const char* kAppended = "fuzz.invalid";

std::string CrLf(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

void ExpectServerShape(const std::string& server, const std::string& answer, const char* what) {
    if (server.empty())
        return;
    Expect(answer.find(server) != std::string::npos, std::string(what) + " not in the answer");
    Expect(server.find_first_of("\r\n") == std::string::npos, std::string(what) + " spans lines");
    Expect(std::string(" \t").find(server.front()) == std::string::npos &&
               std::string(" \t").find(server.back()) == std::string::npos,
           std::string(what) + " has blanks around: " + Shown(server));
}

} // namespace
} // namespace brinmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brinmor;
    using namespace brinmor::fuzz;
    InputReader input(data, size);
    const std::string registry = input.UpToZero();
    const std::string answer = input.Rest();

    const std::string iana = RegistryServer(answer);
    ExpectServerShape(iana, answer, "the registry");
    ExpectSame(iana, RegistryServer(CrLf(answer)), "the registry with CR LF line ends");
    ExpectSame(iana, RegistryServer("remarks: whois: x\n" + answer), "after another line");
    ExpectSame(kAppended, RegistryServer(std::string("whois: ") + kAppended + "\n" + answer),
               "a whois: line put first");

    const std::string registrar = RegistrarServer(answer, registry);
    ExpectServerShape(registrar, answer, "the registrar");
    Expect(registrar.empty() || UpperAscii(registrar) != UpperAscii(registry),
           "the registrar names the registry: " + Shown(registrar));
    ExpectSame(registrar, RegistrarServer(CrLf(answer), registry), "the registrar with CR LF");
    ExpectSame(registrar, RegistrarServer("Remarks: Whois Server: x\n" + answer, registry),
               "the registrar after another line");
    ExpectSame(UpperAscii(registrar), RegistrarServer(UpperAscii(answer), UpperAscii(registry)),
               "the registrar in capitals");
    const bool appendedIsRegistry = UpperAscii(registry) == UpperAscii(kAppended);
    ExpectSame(registrar.empty() && !appendedIsRegistry ? kAppended : registrar,
               RegistrarServer(answer + "\nWhois Server: " + kAppended + "\n", registry),
               "a referral put last");

    const std::string tld = TopLevelDomain(registry);
    Expect(tld.find('.') == std::string::npos, "a dot in the top-level domain " + Shown(tld));
    if (tld.empty())
        Expect(registry.find('.') == std::string::npos || registry.back() == '.',
               "no top-level domain in " + Shown(registry));
    else
        ExpectSame("." + tld, registry.substr(registry.size() - tld.size() - 1),
                   "the end of the name");
    return 0;
}
