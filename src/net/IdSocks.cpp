#include "net/IdSocks.h"

#include "net/IdException.h"
#include "net/IdResourceStrings.h"
#include "net/IdTCPClient.h"

namespace brinmor {

void TSocksInfo::Assign(const TSocksInfo& source) {
    Authentication = source.Authentication;
    Host = source.Host;
    Password = source.Password;
    Port = source.Port;
    UserID = source.UserID;
    Version = source.Version;
}

void NegotiateSocks(TIdTCPClient& client) {
    if (client.SocksInfo().Version == svNoSocks)
        return;
    throw EIdException(RSSocksNotAvailable);
}

} // namespace brinmor
