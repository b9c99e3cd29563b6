#include "device/ProgressSink.h"

#include "device/MessagePump.h"

void ReportProgress(ProgressSink* sink, uint32_t done, uint32_t total)
{
    if (sink != nullptr) {
        sink->Progress(done, total);
    }
    PumpMessages();
}

void ReportPhase(ProgressSink* sink, ProgressPhase phase)
{
    if (sink != nullptr) {
        sink->Phase(phase);
    }
}
