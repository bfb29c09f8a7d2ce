#pragma once

#include "net/IdStackConsts.h"

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brinmor {

using TIdIPv4Bytes = std::array<std::uint8_t, 4>;

// What the platform says about itself at start-up; kept for information only.
class TIdStackVersion {
public:
    virtual ~TIdStackVersion() = default;

    std::uint16_t Version = 0;
    std::uint16_t MaxVersion = 0;
    std::string Description;
    std::string SystemStatus;
    std::uint16_t MaxSockets = 0;
    std::uint16_t MaxUdpDg = 0;
    std::string Name;
};

// Stand-in for the platform's name lookup: either an address or the error code the platform
// would report (0 included).
struct TIdNameLookupAnswer {
    std::optional<TIdIPv4Bytes> Address;
    int ErrorCode = 0;
};
using TIdNameLookup = std::function<TIdNameLookupAnswer(const std::string& name)>;

// The socket layer: wraps the platform's socket calls, resolves names, checks results and
// turns error codes into exceptions. One process-wide instance, GStack.
class TIdStack {
public:
    virtual ~TIdStack();
    TIdStack(const TIdStack&) = delete;
    TIdStack& operator=(const TIdStack&) = delete;

    // Always builds the Windows Sockets stack.
    static std::unique_ptr<TIdStack> MakeStack();

    const TIdStackVersion& StackVersion() const { return *version_; }

    // Raw calls: they return the platform's result unchecked.
    virtual int ReleaseSocket(TIdStackSocketHandle socket) = 0;
    virtual int ConnectAddress(TIdStackSocketHandle socket, int family, const std::string& ip,
                               int port) = 0;
    virtual std::string LookupHost(const std::string& name) = 0;
    virtual std::uint16_t HostToNetShort(std::uint16_t value) = 0;
    virtual int ReceiveBytes(TIdStackSocketHandle socket, void* buffer, int length, int flags) = 0;
    virtual int WaitSockets(TIdSocketList* readList, TIdSocketList* writeList,
                            TIdSocketList* errorList, int timeoutMs) = 0;
    virtual int SendBytes(TIdStackSocketHandle socket, const void* buffer, int length,
                          int flags) = 0;
    virtual int SetSocketOption(TIdStackSocketHandle socket, int level, int option,
                                const void* value, int length) = 0;
    virtual TIdStackSocketHandle OpenSocket(int family, int type, int protocol) = 0;
    virtual std::string ErrorText(int code) const;
    virtual int LastSocketError() = 0;
    virtual std::string AddressToText(const TIdIPv4Bytes& address) const;
    virtual TIdIPv4Bytes TextToAddress(const std::string& text) const;

    // Used by the connection's guard time-outs.
    virtual int GetSocketOption(TIdStackSocketHandle socket, int level, int option, void* value,
                                int* length) = 0;
    virtual int SetBlocking(TIdStackSocketHandle socket, bool blocking) = 0;
    virtual void SetLastSocketError(int code) = 0;

    TIdStackSocketHandle NewSocket(int type, int protocol);
    bool IsIPAddress(const std::string& text) const;
    std::string ResolveAddress(const std::string& host);
    std::uint32_t AddressValue(const std::string& text) const;

    // False: no error. True: an error in the tolerated list. Anything else raises
    // EIdSocketError. The form without a list tolerates only the code 0.
    bool CheckResult(int result);
    bool CheckResult(int result, std::initializer_list<int> tolerated);
    [[noreturn]] void RaiseError(int code);

    // Test seam: while set, LookupHost asks this function instead of the platform.
    static void SetNameLookup(TIdNameLookup lookup);

protected:
    explicit TIdStack(std::unique_ptr<TIdStackVersion> version);
    static const TIdNameLookup& NameLookup();

    std::unique_ptr<TIdStackVersion> version_;
};

// The process-wide stack: created by the first network component, freed with the last.
extern TIdStack* GStack;

} // namespace brinmor
