#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace brinmor {

enum TIdStatus { stResolving, stConnecting, stConnected, stDisconnecting, stDisconnected };
enum TWorkMode { wkRead, wkWrite };

// Root of the network components.
class TIdBaseComponent {
public:
    TIdBaseComponent() = default;
    virtual ~TIdBaseComponent() = default;
    TIdBaseComponent(const TIdBaseComponent&) = delete;
    TIdBaseComponent& operator=(const TIdBaseComponent&) = delete;
};

class TIdComponent;
using TIdStatusEvent = std::function<void(TIdComponent& axSender, TIdStatus axStatus,
                                          const std::string& asStatusText)>;
using TWorkEvent =
    std::function<void(TIdComponent& Sender, TWorkMode AWorkMode, std::int32_t AWorkCount)>;
using TWorkBeginEvent =
    std::function<void(TIdComponent& Sender, TWorkMode AWorkMode, std::int32_t AWorkCountMax)>;
using TWorkEndEvent = std::function<void(TIdComponent& Sender, TWorkMode AWorkMode)>;
using TNotifyEvent = std::function<void(TIdComponent& Sender)>;

// Keeps the process-wide socket stack alive (the first instance creates it, the last frees
// it) and carries the status and work notifications.
class TIdComponent : public TIdBaseComponent {
public:
    TIdComponent();
    ~TIdComponent() override;

    TIdStatusEvent OnStatus;
    TWorkEvent OnWork;
    TWorkBeginEvent OnWorkBegin;
    TWorkEndEvent OnWorkEnd;

    // Calls OnStatus with the status text filled with the argument; does nothing at all
    // without a handler.
    void NotifyStatus(TIdStatus status, const std::string& argument);
    virtual void NotifyWorkBegin(TWorkMode mode, std::int32_t maximum);
    virtual void NotifyWork(TWorkMode mode, std::int32_t count);
    virtual void NotifyWorkEnd(TWorkMode mode);

    // The number of network components alive in the process.
    static int InstanceCount();

private:
    struct TWorkInfo {
        std::int32_t Level = 0;
        std::int32_t Max = 0;
        std::int32_t Count = 0;
    };
    std::array<TWorkInfo, 2> work_{};
};

} // namespace brinmor
