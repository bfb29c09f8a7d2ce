#include "net/IdWhois.h"

namespace brinmor {

TIdWhois::TIdWhois() {
    SetHost(kDefaultWhoisHost);
    SetPort(kWhoisPort);
}

std::string TIdWhois::QueryDomain(const std::string& domain) {
    Connect();
    std::string answer;
    try {
        WriteLine(domain);
        answer = ReadToEnd();
    } catch (...) {
        // The query's own error is the one to report, not a failing close after it.
        try {
            Disconnect();
        } catch (...) {
        }
        throw;
    }
    Disconnect();
    return answer;
}

} // namespace brinmor
