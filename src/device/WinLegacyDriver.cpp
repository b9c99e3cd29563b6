#include "device/WinLegacyDriver.h"

#include "device/OsError.h"
#include "io/WidePathWin32.h"

#include <utility>
#include <windows.h>
#include <winioctl.h>

namespace {

// Device type 0x22 (FILE_DEVICE_UNKNOWN), functions 0xA00 and 0xA01, buffered, any access.
constexpr DWORD kQueryVersionCode = CTL_CODE(FILE_DEVICE_UNKNOWN, 0xA00, METHOD_BUFFERED, FILE_ANY_ACCESS);
constexpr DWORD kWriteByteCode = CTL_CODE(FILE_DEVICE_UNKNOWN, 0xA01, METHOD_BUFFERED, FILE_ANY_ACCESS);
static_assert(kQueryVersionCode == 0x222800 && kWriteByteCode == 0x222804, "the driver's control codes");

HANDLE AsHandle(intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

WinLegacyDriver::WinLegacyDriver(std::string path) : m_path(std::move(path)) {}

WinLegacyDriver::~WinLegacyDriver()
{
    Close();
}

bool WinLegacyDriver::Open()
{
    if (IsOpen()) {
        m_lastError = ERROR_BUSY;
        return false;
    }
    std::wstring wide;
    if (!Utf8ToWide(m_path, wide)) {
        m_lastError = ERROR_INVALID_NAME;
        return false;
    }
    HANDLE handle =
        ::CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_lastError = ::GetLastError();
        return false;
    }
    m_handle = reinterpret_cast<intptr_t>(handle);
    m_lastError = kOsErrorNone;
    return true;
}

void WinLegacyDriver::Close()
{
    if (!IsOpen()) {
        return;
    }
    const HANDLE handle = AsHandle(m_handle);
    m_handle = -1;
    m_lastError = ::CloseHandle(handle) ? kOsErrorNone : ::GetLastError();
}

bool WinLegacyDriver::QueryVersion(uint8_t& version)
{
    version = 0;
    uint8_t answer = 0;
    const long count = Control(kQueryVersionCode, nullptr, 0, &answer, 1);
    if (count < 0) {
        return false;
    }
    if (count != 1) {
        m_lastError = kOsErrorNotFunctioning;
        return false;
    }
    version = answer;
    return true;
}

bool WinLegacyDriver::WriteByte(uint8_t value)
{
    return Control(kWriteByteCode, &value, 1, nullptr, 0) >= 0;
}

long WinLegacyDriver::Control(uint32_t code, const uint8_t* input, uint32_t inputLength, uint8_t* output,
                              uint32_t outputLength)
{
    if (!IsOpen()) {
        m_lastError = ERROR_INVALID_HANDLE;
        return -1;
    }
    DWORD returned = 0;
    // The driver only reads the input buffer; the call's signature is not const.
    if (!::DeviceIoControl(AsHandle(m_handle), code, const_cast<uint8_t*>(input), inputLength, output,
                           outputLength, &returned, nullptr)) {
        m_lastError = ::GetLastError();
        return -1;
    }
    m_lastError = kOsErrorNone;
    return static_cast<long>(returned);
}
