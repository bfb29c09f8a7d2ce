#include "net/IdIntercept.h"

#include "net/IdResourceStrings.h"
#include "net/IdSocketHandle.h"
#include "net/IdTCPConnection.h"
#include "platform/Exceptions.h"

namespace brinmor {

TIdConnectionIntercept::~TIdConnectionIntercept() {
    const auto users = users_;
    for (TIdTCPConnection* connection : users)
        connection->SetIntercept(nullptr);
}

void TIdConnectionIntercept::Connect(TIdSocketHandle& binding) {
    binding_ = &binding;
    if (OnConnect)
        OnConnect(*this);
}

void TIdConnectionIntercept::DataReceived(const void*, int) {}

void TIdConnectionIntercept::DataSent(const void*, int) {}

void TIdConnectionIntercept::Disconnect() {
    binding_ = nullptr;
}

int TIdConnectionIntercept::Recv(void* buffer, int length) {
    return binding_ != nullptr ? binding_->Recv(buffer, length) : Id_SOCKET_ERROR;
}

int TIdConnectionIntercept::Send(const void* buffer, int length) {
    return binding_ != nullptr ? binding_->Send(buffer, length) : Id_SOCKET_ERROR;
}

namespace {

TIdAntiFreezeBase* antiFreeze = nullptr;

} // namespace

TIdAntiFreezeBase::TIdAntiFreezeBase() {
    if (antiFreeze != nullptr)
        throw Exception(RSOnlyOneAntiFreeze);
    antiFreeze = this;
}

TIdAntiFreezeBase::~TIdAntiFreezeBase() {
    if (antiFreeze == this)
        antiFreeze = nullptr;
}

} // namespace brinmor
