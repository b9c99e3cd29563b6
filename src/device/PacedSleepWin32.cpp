#include "device/PacedSleep.h"

#include <thread>
#include <windows.h>
// timeBeginPeriod lives in winmm; after windows.h, which it needs.
#include <timeapi.h>

namespace {
constexpr UINT kTimerPeriodMs = 1;
}

std::chrono::nanoseconds MonotonicNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void SleepUntil(std::chrono::nanoseconds deadline)
{
    const std::chrono::steady_clock::time_point until(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(deadline));
    std::this_thread::sleep_until(until);
}

// The default timer period of 15.6 ms would stretch every 3 ms pause fivefold.
PreciseWakeUps::PreciseWakeUps()
{
    m_changed = ::timeBeginPeriod(kTimerPeriodMs) == TIMERR_NOERROR;
}

PreciseWakeUps::~PreciseWakeUps()
{
    if (m_changed) {
        ::timeEndPeriod(kTimerPeriodMs);
    }
}
