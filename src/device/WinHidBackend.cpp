#include "device/WinHidBackend.h"

#include "device/HidFeaturePadding.h"
#include "io/WidePathWin32.h"

#include <climits>
#include <cstring>
#include <windows.h>
// The SetupAPI and HID headers need windows.h first; MinGW's hidsdi.h declares no C linkage.
extern "C" {
#include <hidsdi.h>
}
#include <setupapi.h>

namespace {

// The longest product string the HID class driver hands out, in characters.
constexpr size_t kProductStringLength = 127;

HANDLE AsHandle(HidHandle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

HANDLE OpenInterface(const std::wstring& path)
{
    return ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
}

// The feature report byte length, 0 when the capabilities cannot be read.
uint16_t ReadFeatureLength(HANDLE handle)
{
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!::HidD_GetPreparsedData(handle, &preparsed)) {
        return 0;
    }
    HIDP_CAPS caps{};
    const NTSTATUS status = ::HidP_GetCaps(preparsed, &caps);
    ::HidD_FreePreparsedData(preparsed);
    return status == HIDP_STATUS_SUCCESS ? caps.FeatureReportByteLength : 0;
}

std::string ReadProductName(HANDLE handle)
{
    wchar_t name[kProductStringLength + 1] = {};
    if (!::HidD_GetProductString(handle, name, sizeof name - sizeof name[0])) {
        return {};
    }
    return WideToUtf8(name);
}

bool ReadDevicePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interfaceData, std::wstring& path)
{
    DWORD size = 0;
    (void)::SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
        return false;
    }
    // DWORD-aligned storage for the variable-length record.
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!::SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detail, size, nullptr, nullptr)) {
        return false;
    }
    path = detail->DevicePath;
    return !path.empty();
}

} // namespace

WinHidBackend::~WinHidBackend()
{
    for (const auto& entry : m_open) {
        ::CloseHandle(AsHandle(entry.first));
    }
}

bool WinHidBackend::Enumerate(std::vector<HidInterfaceInfo>& interfaces)
{
    interfaces.clear();
    GUID hidClass{};
    ::HidD_GetHidGuid(&hidClass);
    HDEVINFO set = ::SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        m_lastError = ::GetLastError();
        return false;
    }
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof interfaceData;
        if (!::SetupDiEnumDeviceInterfaces(set, nullptr, &hidClass, index, &interfaceData)) {
            break;
        }
        std::wstring path;
        if (!ReadDevicePath(set, interfaceData, path)) {
            continue;
        }
        HANDLE handle = OpenInterface(path);
        if (handle == INVALID_HANDLE_VALUE) {
            continue;
        }
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        if (::HidD_GetAttributes(handle, &attributes)) {
            HidInterfaceInfo info;
            info.path = WideToUtf8(path);
            info.vendorId = attributes.VendorID;
            info.productId = attributes.ProductID;
            info.featureReportByteLength = ReadFeatureLength(handle);
            info.kind = HidInterfaceKind::Hid;
            info.name = ReadProductName(handle);
            interfaces.push_back(std::move(info));
        }
        ::CloseHandle(handle);
    }
    ::SetupDiDestroyDeviceInfoList(set);
    m_lastError = 0;
    return true;
}

HidHandle WinHidBackend::Open(const std::string& path)
{
    std::wstring wide;
    if (path.empty() || !Utf8ToWide(path, wide)) {
        m_lastError = ERROR_INVALID_NAME;
        return kInvalidHidHandle;
    }
    HANDLE handle = OpenInterface(wide);
    if (handle == INVALID_HANDLE_VALUE) {
        m_lastError = ::GetLastError();
        return kInvalidHidHandle;
    }
    const auto taken = reinterpret_cast<HidHandle>(handle);
    m_open[taken] = ReadFeatureLength(handle);
    m_lastError = 0;
    return taken;
}

void WinHidBackend::Close(HidHandle handle)
{
    const auto entry = m_open.find(handle);
    if (entry == m_open.end()) {
        m_lastError = ERROR_INVALID_HANDLE;
        return;
    }
    m_open.erase(entry);
    m_lastError = ::CloseHandle(AsHandle(handle)) ? 0 : ::GetLastError();
}

bool WinHidBackend::SetFeature(HidHandle handle, const uint8_t* report, size_t length)
{
    // HidD_SetFeature takes a non-const buffer; it is copied so the caller's stays untouched.
    std::vector<uint8_t> copy(report, report + length);
    return FeatureCall(handle, true, copy.data(), copy.size());
}

bool WinHidBackend::GetFeature(HidHandle handle, uint8_t* report, size_t length)
{
    return FeatureCall(handle, false, report, length);
}

bool WinHidBackend::FeatureCall(HidHandle handle, bool set, uint8_t* report, size_t length)
{
    const auto entry = m_open.find(handle);
    if (entry == m_open.end()) {
        m_lastError = ERROR_INVALID_HANDLE;
        return false;
    }
    if (report == nullptr || length == 0 || length > ULONG_MAX) {
        m_lastError = ERROR_INVALID_PARAMETER;
        return false;
    }
    auto call = [&](uint8_t* buffer, size_t size) {
        const ULONG count = static_cast<ULONG>(size);
        const BOOLEAN done = set ? ::HidD_SetFeature(AsHandle(handle), buffer, count)
                                 : ::HidD_GetFeature(AsHandle(handle), buffer, count);
        m_lastError = done ? 0 : ::GetLastError();
        return done != FALSE;
    };
    if (call(report, length)) {
        return true;
    }
    const size_t padded = PaddedFeatureLength(m_lastError, length, entry->second);
    if (padded == 0) {
        return false;
    }
    std::vector<uint8_t> buffer(padded, 0);
    std::memcpy(buffer.data(), report, length);
    if (!call(buffer.data(), buffer.size())) {
        return false;
    }
    if (!set) {
        std::memcpy(report, buffer.data(), length);
    }
    return true;
}
