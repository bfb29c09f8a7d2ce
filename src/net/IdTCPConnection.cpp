#include "net/IdTCPConnection.h"

#include "net/IdException.h"
#include "net/IdIntercept.h"
#include "net/IdResourceStrings.h"
#include "net/IdStack.h"

#include <algorithm>
#include <cstring>

namespace brinmor {

TIdTCPConnection::TIdTCPConnection()
    : binding_(std::make_unique<TIdSocketHandle>()), recvBuffer_(std::make_unique<TIdBuffer>()),
      inputBuffer_(std::make_unique<TIdBuffer>()) {
    recvBuffer_->SetSize(8192);
}

TIdTCPConnection::~TIdTCPConnection() {
    if (intercept_ != nullptr)
        std::erase(intercept_->users_, this);
}

void TIdTCPConnection::SetIntercept(TIdConnectionIntercept* intercept) {
    if (intercept_ != nullptr)
        std::erase(intercept_->users_, this);
    intercept_ = intercept;
    if (intercept_ != nullptr)
        intercept_->users_.push_back(this);
    else
        interceptEnabled_ = false;
}

void TIdTCPConnection::SetInterceptEnabled(bool value) {
    if (value && intercept_ == nullptr)
        throw EIdException(RSInterceptPropIsNil);
    interceptEnabled_ = value;
}

void TIdTCPConnection::NotifyDisconnected() {
    if (OnDisconnected)
        OnDisconnected(*this);
}

void TIdTCPConnection::ResetState() {
    inputBuffer_->Clear();
    closedGracefully_ = false;
    // A new socket starts without time-outs of its own.
    appliedRecv_ = IdTimeoutInfinite;
    appliedSend_ = IdTimeoutInfinite;
    // The query deadline runs from here, the start of Connect.
    deadline_.reset();
    if (queryTimeout_ > 0)
        deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(queryTimeout_);
}

std::string TIdTCPConnection::ReadToEnd() {
    NotifyWorkBegin(wkRead, 0);
    std::string answer;
    try {
        // ReadAvailable, with the buffered bytes going straight into the answer.
        while (Connected()) {
            ReadFromSocket(false, IdTimeoutInfinite, true, nullptr);
            const int count = inputBuffer_->Size();
            CheckAnswerSize(static_cast<std::int64_t>(answer.size()) + count);
            answer.append(reinterpret_cast<const char*>(inputBuffer_->Memory()),
                          static_cast<std::size_t>(count));
            DiscardInput(count);
        }
    } catch (...) {
        NotifyWorkEnd(wkRead);
        throw;
    }
    NotifyWorkEnd(wkRead);
    return answer;
}

void TIdTCPConnection::CheckAnswerSize(std::int64_t size) {
    if (size <= IdMaxAnswerSize)
        return;
    inputBuffer_->Clear();
    CloseConnection();
    throw EIdException(RSAnswerTooLarge);
}

void TIdTCPConnection::CheckClosed(bool raiseIfClosed, bool ignoreBuffer) {
    if (!closedGracefully_)
        return;
    if (binding_->HandleAllocated())
        CloseConnection();
    if (raiseIfClosed && (inputBuffer_->Size() == 0 || ignoreBuffer))
        throw EIdConnClosedGraceful(RSConnectionClosedGracefully);
}

bool TIdTCPConnection::Connected() {
    CheckClosed(false, false);
    return binding_->HandleAllocated();
}

void TIdTCPConnection::Disconnect() {
    CloseConnection();
}

void TIdTCPConnection::CloseConnection() {
    if (binding_->HandleAllocated()) {
        NotifyStatus(stDisconnecting, binding_->PeerIP());
        binding_->CloseSocket();
        closedGracefully_ = true;
        NotifyStatus(stDisconnected, binding_->PeerIP());
        NotifyDisconnected();
    }
    if (interceptEnabled_)
        intercept_->Disconnect();
}

std::string TIdTCPConnection::ExtractText(int count) {
    if (count > inputBuffer_->Size())
        throw EIdException(RSNotEnoughDataInBuffer);
    std::string text(reinterpret_cast<const char*>(inputBuffer_->Memory()),
                     static_cast<std::size_t>(std::max(count, 0)));
    DiscardInput(count);
    return text;
}

void TIdTCPConnection::GuardExpired() {
    // Nothing of a cut-off answer is kept.
    inputBuffer_->Clear();
    CloseConnection();
    GStack->RaiseError(Id_WSAETIMEDOUT);
}

int TIdTCPConnection::GuardLimit(int guardMs) {
    int limit = guardMs > 0 ? guardMs : IdTimeoutInfinite;
    if (deadline_) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                              *deadline_ - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            GuardExpired();
        if (limit == IdTimeoutInfinite || left < limit)
            limit = static_cast<int>(left);
    }
    return limit;
}

void TIdTCPConnection::ApplyGuard(int option, int& applied) {
    // Far from the deadline the silence guard binds and the option is set once per socket;
    // near it, before each call.
    const int limit = GuardLimit(silenceTimeout_);
    if (limit == applied)
        return;
    // The platform's send and receive time-outs bound the blocking calls themselves; 0 is
    // "no limit" there.
    const std::uint32_t ms = limit > 0 ? static_cast<std::uint32_t>(limit) : 0u;
    GStack->CheckResult(binding_->SetSockOpt(Id_SOL_SOCKET, option, &ms, sizeof ms));
    applied = limit;
}

bool TIdTCPConnection::GuardHit(int result, int applied) {
    return result == Id_SOCKET_ERROR && applied > 0 && GStack->LastSocketError() == Id_WSAETIMEDOUT;
}

int TIdTCPConnection::ReadFromSocket(bool raiseIfClosed, int timeoutMs, bool useInputBuffer,
                                     TIdBuffer* chunk) {
    CheckClosed(raiseIfClosed, false);
    if (!Connected())
        return 0;
    // Waiting without limit and then receiving is one blocking receive, bounded by the guards;
    // a wait with a limit of its own comes first, and ends at the deadline at the latest.
    if (timeoutMs == IdTimeoutInfinite) {
        ApplyGuard(Id_SO_RCVTIMEO, appliedRecv_);
    } else {
        const int left = GuardLimit(IdTimeoutInfinite);
        const bool deadlineFirst = left != IdTimeoutInfinite && left < timeoutMs;
        if (!binding_->Readable(deadlineFirst ? left : timeoutMs)) {
            if (deadlineFirst)
                GuardExpired();
            return 0;
        }
    }
    const bool intercepted = interceptEnabled_ && intercept_->ReceivesItself();
    // The common case receives straight into the input buffer.
    const bool direct = useInputBuffer && chunk == nullptr && !intercepted;
    TIdBuffer& area = chunk != nullptr ? *chunk : *recvBuffer_;
    const int room = direct ? recvBuffer_->Size() : area.Size();
    const int kept = inputBuffer_->Size();
    std::uint8_t* const target = direct ? inputBuffer_->Extend(room) : area.Memory();
    int count = intercepted ? intercept_->Recv(target, room) : binding_->Recv(target, room);
    if (direct)
        inputBuffer_->Truncate(kept + (count > 0 ? count : 0));
    closedGracefully_ = count == 0;
    if (GuardHit(count, appliedRecv_))
        GuardExpired();
    if (count != 0) {
        if (GStack->CheckResult(count, {Id_WSAESHUTDOWN})) {
            count = 0;
            if (binding_->HandleAllocated())
                CloseConnection();
            if (inputBuffer_->Size() == 0)
                GStack->RaiseError(Id_WSAESHUTDOWN);
        }
        if (asciiFilter_ && count > 0)
            for (int i = 0; i < count; ++i)
                target[i] &= 0x7F;
    }
    if (useInputBuffer) {
        if (count > 0) {
            CheckAnswerSize(static_cast<std::int64_t>(kept) + count);
            if (!direct)
                inputBuffer_->Append(target, count);
        }
    } else {
        NotifyWork(wkRead, count);
    }
    if (interceptEnabled_)
        intercept_->DataReceived(target, count);
    CheckClosed(raiseIfClosed, false);
    return count;
}

std::string TIdTCPConnection::ReadAvailable() {
    if (!Connected())
        return "";
    ReadFromSocket(false, IdTimeoutInfinite, true, nullptr);
    return ExtractText(inputBuffer_->Size());
}

void TIdTCPConnection::ReadExact(void* destination, int count) {
    if (count <= 0 || destination == nullptr)
        return;
    while (inputBuffer_->Size() < count) {
        // A closed connection will bring nothing more: stop here instead of waiting.
        if (closedGracefully_ || !binding_->HandleAllocated())
            throw EIdConnClosedGraceful(RSConnectionClosedGracefully);
        ReadFromSocket(true, IdTimeoutInfinite, true, nullptr);
    }
    std::memcpy(destination, inputBuffer_->Memory(), static_cast<std::size_t>(count));
    DiscardInput(count);
}

void TIdTCPConnection::DiscardInput(int count) {
    inputBuffer_->RemoveBytes(count);
    NotifyWork(wkRead, count);
}

void TIdTCPConnection::WriteBytes(const void* source, int count) {
    if (count <= 0 || source == nullptr)
        return;
    CheckClosed(true, true);
    const auto* bytes = static_cast<const std::uint8_t*>(source);
    int position = 0;
    do {
        ApplyGuard(Id_SO_SNDTIMEO, appliedSend_);
        const int sent = interceptEnabled_ && intercept_->SendsItself()
                             ? intercept_->Send(bytes + position, count - position)
                             : binding_->Send(bytes + position, count - position);
        closedGracefully_ = sent == 0;
        CheckClosed(true, false);
        if (GuardHit(sent, appliedSend_))
            GuardExpired();
        if (GStack->CheckResult(sent, {Id_WSAESHUTDOWN})) {
            CloseConnection();
            GStack->RaiseError(Id_WSAESHUTDOWN);
        }
        NotifyWork(wkWrite, sent);
        if (interceptEnabled_)
            intercept_->DataSent(bytes + position, sent);
        position += sent;
    } while (position < count);
}

void TIdTCPConnection::Write(const std::string& text) {
    if (!text.empty())
        WriteBytes(text.data(), static_cast<int>(text.size()));
}

void TIdTCPConnection::WriteLine(const std::string& text) {
    Write(text + "\r\n");
}

} // namespace brinmor
