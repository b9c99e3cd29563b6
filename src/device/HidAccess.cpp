#include "device/HidAccess.h"

#include "device/DeviceBackends.h"

HidSession::HidSession(const HidAccess& access, ProgressSink* progress)
{
    HidBackend* backend = access.backend;
    if (backend == nullptr) {
        m_ownedBackend = CreateHidBackend();
        backend = m_ownedBackend.get();
    }
    m_channel = std::make_unique<HidChannel>(*backend);
    m_channel->SetClock(access.nowMs, access.sleepMs);
    m_channel->SetProgressSink(progress);
}
