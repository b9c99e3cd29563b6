#include "device/HidDevice.h"

#include "device/MessagePump.h"
#include "device/OsError.h"

#include <vector>

HidDevice::HidDevice(HidBackend& backend) : m_backend(backend) {}

HidDevice::~HidDevice()
{
    HidDevice::Close();
}

bool HidDevice::Open(uint16_t vendorId, uint16_t productId)
{
    Close();
    m_heldElsewhere = false;
    std::vector<HidInterfaceInfo> interfaces;
    if (!m_backend.Enumerate(interfaces)) {
        m_handle = kInvalidHidHandle;
        return false;
    }
    HidHandle taken = kInvalidHidHandle;
    for (size_t index = 0;; ++index) {
        PumpMessages();
        if (index >= interfaces.size()) {
            break;
        }
        const HidInterfaceInfo& candidate = interfaces[index];
        if (candidate.kind != HidInterfaceKind::Hid || candidate.vendorId != vendorId ||
            candidate.productId != productId || candidate.featureReportByteLength == 0) {
            continue;
        }
        const HidHandle handle = m_backend.Open(candidate.path);
        if (handle == kInvalidHidHandle || handle == kNoHidHandle) {
            m_heldElsewhere = m_heldElsewhere || m_backend.GetLastError() == kOsErrorInUse;
            continue;
        }
        taken = handle;
        m_featureReportByteLength = candidate.featureReportByteLength;
        break;
    }
    m_handle = taken;
    return IsOpen();
}

void HidDevice::Close()
{
    if (IsOpen()) {
        m_backend.Close(m_handle);
        m_handle = kNoHidHandle;
    }
    m_featureReportByteLength = 0;
}

bool HidDevice::GetCaps(HidCaps& caps)
{
    caps = HidCaps{};
    if (!IsOpen()) {
        return false;
    }
    caps.featureReportByteLength = m_featureReportByteLength;
    return true;
}

bool HidDevice::IsOpen() const
{
    return m_handle != kNoHidHandle && m_handle != kInvalidHidHandle;
}
