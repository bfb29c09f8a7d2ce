#pragma once

#include "net/IdSocks.h"
#include "net/IdTCPConnection.h"

#include <cstdint>
#include <memory>
#include <string>

namespace brinmor {

// A connection that opens itself to Host:Port, directly or through the SOCKS proxy of
// SocksInfo.
class TIdTCPClient : public TIdTCPConnection {
public:
    TIdTCPClient();
    ~TIdTCPClient() override;

    const std::string& Host() const { return host_; }
    void SetHost(const std::string& host) { host_ = host; }
    std::int32_t Port() const { return port_; }
    void SetPort(std::int32_t port) { port_ = port; }
    TSocksInfo& SocksInfo() { return *socksInfo_; }
    const TSocksInfo& SocksInfo() const { return *socksInfo_; }
    // Copies the fields into the owned record.
    void SetSocksInfo(const TSocksInfo& value) { socksInfo_->Assign(value); }
    bool UseNagle() const { return useNagle_; }
    void SetUseNagle(bool value) { useNagle_ = value; }

    TNotifyEvent OnConnected;

    virtual void NotifyConnected();
    // Raises on failure and then leaves the connection closed.
    virtual void Connect();

private:
    std::string host_;
    std::int32_t port_ = 0;
    std::unique_ptr<TSocksInfo> socksInfo_;
    bool useNagle_ = true;
};

} // namespace brinmor
