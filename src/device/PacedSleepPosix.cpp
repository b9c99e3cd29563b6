#include "device/PacedSleep.h"

#include <cerrno>
#include <ctime>
#include <sys/prctl.h>

std::chrono::nanoseconds MonotonicNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

void SleepUntil(std::chrono::nanoseconds deadline)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(deadline);
    timespec until{};
    until.tv_sec = static_cast<time_t>(seconds.count());
    until.tv_nsec = static_cast<long>((deadline - seconds).count());
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

// Without it a sleep ends up to the default 50 microseconds after its deadline.
PreciseWakeUps::PreciseWakeUps() : m_oldSetting(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0))
{
    // A slack of 0 would mean "the default" again; 1 ns is the least.
    m_changed = m_oldSetting > 0 && ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0) == 0;
}

PreciseWakeUps::~PreciseWakeUps()
{
    if (m_changed) {
        ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(m_oldSetting), 0, 0, 0);
    }
}
