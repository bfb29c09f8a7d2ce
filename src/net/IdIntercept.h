#pragma once

#include "net/IdComponent.h"

#include <functional>
#include <vector>

namespace brinmor {

class TIdSocketHandle;
class TIdTCPConnection;

// Optional hook on a connection's traffic. Nothing in this program attaches one; by default
// it takes over neither receiving nor sending and its notifications do nothing.
class TIdConnectionIntercept : public TIdBaseComponent {
public:
    TIdConnectionIntercept() = default;
    // Every connection using this intercept forgets it.
    ~TIdConnectionIntercept() override;

    std::function<void(TIdConnectionIntercept& Sender)> OnConnect;

    virtual void Connect(TIdSocketHandle& binding);
    virtual void DataReceived(const void* data, int count);
    virtual void DataSent(const void* data, int count);
    virtual void Disconnect();
    virtual int Recv(void* buffer, int length);
    virtual int Send(const void* buffer, int length);

    bool ReceivesItself() const { return receivesItself_; }
    bool SendsItself() const { return sendsItself_; }
    TIdSocketHandle* Binding() const { return binding_; }

protected:
    bool receivesItself_ = false;
    bool sendsItself_ = false;

private:
    friend class TIdTCPConnection;
    std::vector<TIdTCPConnection*> users_;
    TIdSocketHandle* binding_ = nullptr;
};

// The process-wide wait hook. Its processing step is abstract and this program defines no
// concrete hook, so none ever exists; only its single-instance rule is kept.
class TIdAntiFreezeBase : public TIdBaseComponent {
public:
    // A second instance raises Exception "Only one TIdAntiFreeze can exist per application.".
    TIdAntiFreezeBase();
    ~TIdAntiFreezeBase() override;

    bool Active = true;
    bool ApplicationHasPriority = true;
    int IdleTimeOut = 250;
    bool OnlyWhenIdle = false;

    virtual void Process() = 0;
};

} // namespace brinmor
