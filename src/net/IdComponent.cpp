#include "net/IdComponent.h"

#include "net/IdGlobal.h"
#include "net/IdResourceStrings.h"
#include "net/IdStack.h"

namespace brinmor {

namespace {

int instanceCount = 0;

const char* StatusFormat(TIdStatus status) {
    switch (status) {
    case stResolving:
        return RSStatusResolving;
    case stConnecting:
        return RSStatusConnecting;
    case stConnected:
        return RSStatusConnected;
    case stDisconnecting:
        return RSStatusDisconnecting;
    case stDisconnected:
        return RSStatusDisconnected;
    }
    return "";
}

} // namespace

TIdComponent::TIdComponent() {
    // A failed start-up leaves this constructor with its error; nothing is counted then.
    if (GStack == nullptr)
        GStack = TIdStack::MakeStack().release();
    ++instanceCount;
}

TIdComponent::~TIdComponent() {
    if (--instanceCount == 0) {
        delete GStack;
        GStack = nullptr;
    }
}

int TIdComponent::InstanceCount() {
    return instanceCount;
}

void TIdComponent::NotifyStatus(TIdStatus status, const std::string& argument) {
    if (OnStatus)
        OnStatus(*this, status, FormatText(StatusFormat(status), argument));
}

void TIdComponent::NotifyWorkBegin(TWorkMode mode, std::int32_t maximum) {
    TWorkInfo& work = work_[mode];
    if (++work.Level == 1) {
        work.Max = maximum;
        work.Count = 0;
        if (OnWorkBegin)
            OnWorkBegin(*this, mode, maximum);
    }
}

void TIdComponent::NotifyWork(TWorkMode mode, std::int32_t count) {
    TWorkInfo& work = work_[mode];
    if (work.Level < 1)
        return;
    work.Count += count;
    if (OnWork)
        OnWork(*this, mode, work.Count);
}

void TIdComponent::NotifyWorkEnd(TWorkMode mode) {
    TWorkInfo& work = work_[mode];
    if (work.Level == 1 && OnWorkEnd)
        OnWorkEnd(*this, mode);
    --work.Level;
}

} // namespace brinmor
