#include "device/MessagePump.h"

#include <thread>
#include <utility>

namespace {

struct PumpHook
{
    std::function<void()> hook;
    std::thread::id owner;
};

PumpHook& GetPumpHook()
{
    static PumpHook hook;
    return hook;
}

} // namespace

void PumpMessages()
{
    // Keyboards programmed at once run on threads of their own; a window's events are only ever
    // dispatched on the thread that owns it.
    const PumpHook& pump = GetPumpHook();
    if (pump.hook && pump.owner == std::this_thread::get_id()) {
        pump.hook();
    }
}

void SetPumpMessagesHook(std::function<void()> hook)
{
    GetPumpHook().hook = std::move(hook);
    GetPumpHook().owner = std::this_thread::get_id();
}
