#include "cli/StopSignals.h"

#include "device/DeviceStop.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t g_caughtSignal = 0;

extern "C" void OnStopSignal(int signal)
{
    g_caughtSignal = signal;
    RequestDeviceStop();
    // Whoever presses Ctrl+C again wants out now, closing steps or not.
    std::signal(signal, SIG_DFL);
}

} // namespace

void CatchStopSignals()
{
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
}

int GetCaughtStopSignal()
{
    return g_caughtSignal;
}
