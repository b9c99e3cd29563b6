#include "device/DeviceStop.h"

#include <atomic>

namespace {

std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler may only touch lock-free atomics");

} // namespace

void RequestDeviceStop()
{
    g_stopRequested.store(true);
}

bool IsDeviceStopRequested()
{
    return g_stopRequested.load();
}

void ClearDeviceStopRequest()
{
    g_stopRequested.store(false);
}
