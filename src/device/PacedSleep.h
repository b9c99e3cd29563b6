// Monotonic time and sleeps to an absolute deadline, precise enough to pace bytes 3 ms apart.
#pragma once

#include <chrono>

std::chrono::nanoseconds MonotonicNow();
// Time lost to a signal or a late wake-up is not slept again.
void SleepUntil(std::chrono::nanoseconds deadline);

// While bytes are paced the system wakes sleepers as close to their deadline as it can (the
// least timer slack on Linux, a 1 ms timer period on Windows); the old setting comes back
// afterwards.
class PreciseWakeUps
{
public:
    PreciseWakeUps();
    ~PreciseWakeUps();
    PreciseWakeUps(const PreciseWakeUps&) = delete;
    PreciseWakeUps& operator=(const PreciseWakeUps&) = delete;

private:
    int m_oldSetting = 0;
    bool m_changed = false;
};
