#include "device/MessagePump.h"

#include <utility>

namespace {

std::function<void()>& PumpHook()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

void PumpMessages()
{
    const std::function<void()>& hook = PumpHook();
    if (hook) {
        hook();
    }
}

void SetPumpMessagesHook(std::function<void()> hook)
{
    PumpHook() = std::move(hook);
}
