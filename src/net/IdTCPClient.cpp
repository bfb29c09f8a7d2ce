#include "net/IdTCPClient.h"

#include "net/IdException.h"
#include "net/IdIntercept.h"
#include "net/IdResourceStrings.h"
#include "net/IdStack.h"

namespace brinmor {

namespace {

// On the wire a port has 16 bits: one outside 1..65535 would be cut to a server nobody named.
// It is refused as Windows refuses port 0.
void CheckPort(std::int32_t port) {
    if (port < 1 || port > 65535)
        GStack->RaiseError(Id_WSAEADDRNOTAVAIL);
}

} // namespace

TIdTCPClient::TIdTCPClient() : socksInfo_(std::make_unique<TSocksInfo>()) {}

TIdTCPClient::~TIdTCPClient() = default;

void TIdTCPClient::NotifyConnected() {
    if (OnConnected)
        OnConnected(*this);
}

void TIdTCPClient::Connect() {
    TIdSocketHandle& binding = Binding();
    if (binding.HandleAllocated())
        throw EIdAlreadyConnected(RSAlreadyConnected);
    ResetState();
    // Before any socket: the port connected to, and the target the proxy would be asked for.
    CheckPort(port_);
    if (socksInfo_->Version != svNoSocks)
        CheckPort(socksInfo_->Port);
    binding.AllocateSocket(Id_SOCK_STREAM, 0);
    // Any failure from here on closes the socket again, so the next Connect starts afresh.
    const auto guarded = [this](auto&& step) {
        try {
            step();
        } catch (...) {
            try {
                Disconnect();
            } catch (...) {
            }
            throw;
        }
    };
    guarded([&] {
        const bool proxied = socksInfo_->Version != svNoSocks;
        const std::string& host = proxied ? socksInfo_->Host : host_;
        binding.SetPort(proxied ? socksInfo_->Port : port_);
        if (!GStack->IsIPAddress(host))
            NotifyStatus(stResolving, host);
        binding.SetIP(GStack->ResolveAddress(host));
        if (!useNagle_) {
            const char on[4] = {0x31, 0x31, 0x31, 0x31};
            GStack->CheckResult(binding.SetSockOpt(Id_IPPROTO_TCP, Id_TCP_NODELAY, on, sizeof on));
        }
        binding.ConnectSocket(Id_PF_INET, GuardLimit(ConnectTimeout()));
    });
    binding.SetPeer(binding.IP(), binding.Port());
    NotifyStatus(stConnecting, binding.IP());
    guarded([&] {
        if (InterceptEnabled())
            Intercept()->Connect(binding);
        NegotiateSocks(*this);
    });
    NotifyStatus(stConnected, binding.IP());
    NotifyConnected();
}

} // namespace brinmor
