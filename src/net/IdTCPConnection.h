#pragma once

#include "net/IdBuffer.h"
#include "net/IdComponent.h"
#include "net/IdSocketHandle.h"
#include "net/IdStackConsts.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace brinmor {

class TIdConnectionIntercept;

// Guards that keep one silent peer from blocking the program for good.
inline constexpr int IdDefaultConnectTimeout = 20000;
inline constexpr int IdDefaultSilenceTimeout = 60000;
inline constexpr int IdDefaultQueryTimeout = 120000;
// An answer that grows past this size ends the read with an error.
inline constexpr int IdMaxAnswerSize = 64 * 1024 * 1024;

// One TCP connection: its socket, input buffer, sends, receives and close.
class TIdTCPConnection : public TIdComponent {
public:
    TIdTCPConnection();
    ~TIdTCPConnection() override;

    bool ASCIIFilter() const { return asciiFilter_; }
    void SetASCIIFilter(bool value) { asciiFilter_ = value; }
    TIdSocketHandle& Binding() { return *binding_; }
    TIdBuffer& InputBuffer() { return *inputBuffer_; }
    bool ClosedGracefully() const { return closedGracefully_; }
    TIdConnectionIntercept* Intercept() const { return intercept_; }
    // Assigning none also switches InterceptEnabled off.
    void SetIntercept(TIdConnectionIntercept* intercept);
    bool InterceptEnabled() const { return interceptEnabled_; }
    // True without an Intercept raises EIdException.
    void SetInterceptEnabled(bool value);
    int RecvBufferSize() const { return recvBuffer_->Size(); }
    void SetRecvBufferSize(int size) { recvBuffer_->SetSize(size); }

    // Guard time-outs in milliseconds; IdTimeoutInfinite (or 0) switches a guard off. When
    // one expires, EIdSocketError 10060 is raised and the connection is closed. The silence
    // guard bounds every wait for data and every send. The query guard is one deadline from
    // the start of Connect to the end of the answer: bytes that keep coming do not move it.
    int ConnectTimeout() const { return connectTimeout_; }
    void SetConnectTimeout(int ms) { connectTimeout_ = ms; }
    int SilenceTimeout() const { return silenceTimeout_; }
    void SetSilenceTimeout(int ms) { silenceTimeout_ = ms; }
    int QueryTimeout() const { return queryTimeout_; }
    void SetQueryTimeout(int ms) { queryTimeout_ = ms; }

    TNotifyEvent OnDisconnected;

    virtual void NotifyDisconnected();
    virtual void ResetState();
    // Everything until the peer closes; a peer close is the normal end, never an error.
    virtual std::string ReadToEnd();
    virtual void CheckClosed(bool raiseIfClosed, bool ignoreBuffer);
    virtual bool Connected();
    virtual void Disconnect();
    virtual void CloseConnection();
    // The first count buffered bytes as text, removed from the buffer.
    virtual std::string ExtractText(int count);
    // One wait and one receive of at most RecvBufferSize bytes; returns the count received.
    virtual int ReadFromSocket(bool raiseIfClosed, int timeoutMs, bool useInputBuffer,
                               TIdBuffer* chunk = nullptr);
    virtual void DiscardInput(int count);
    virtual void Write(const std::string& text);
    virtual void WriteLine(const std::string& text);

    std::string ReadAvailable();
    // Exactly count bytes, waiting for them; a close before they are all there raises
    // EIdConnClosedGraceful.
    void ReadExact(void* destination, int count);
    // Sends all count bytes.
    void WriteBytes(const void* source, int count);

protected:
    // Closes the connection, drops what it had buffered and raises the time-out error.
    [[noreturn]] void GuardExpired();
    // The limit of the next blocking call: the guard, or what is left of the query deadline
    // when that is less. Raises the time-out once the deadline has passed.
    int GuardLimit(int guardMs);
    // Sets the socket's send or receive time-out (option) to the silence guard, or to the
    // deadline when that comes first, unless it already holds that value.
    void ApplyGuard(int option, int& applied);
    // True when a transfer result is the time-out that was applied expiring.
    bool GuardHit(int result, int applied);

    bool closedGracefully_ = false;

private:
    friend class TIdConnectionIntercept;
    void CheckAnswerSize(std::int64_t size);

    bool asciiFilter_ = false;
    // Declared so that destruction frees the input buffer, the receive area, then the socket.
    std::unique_ptr<TIdSocketHandle> binding_;
    std::unique_ptr<TIdBuffer> recvBuffer_;
    std::unique_ptr<TIdBuffer> inputBuffer_;
    TIdConnectionIntercept* intercept_ = nullptr;
    bool interceptEnabled_ = false;
    int connectTimeout_ = IdDefaultConnectTimeout;
    int silenceTimeout_ = IdDefaultSilenceTimeout;
    int queryTimeout_ = IdDefaultQueryTimeout;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    int appliedRecv_ = IdTimeoutInfinite;
    int appliedSend_ = IdTimeoutInfinite;
};

} // namespace brinmor
