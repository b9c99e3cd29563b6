// The device operations of the USB keyboard families, carried out by the programming protocol.
#include "device/DeviceErrorText.h"
#include "device/DeviceResult.h"
#include "device/UsbFirmware.h"
#include "device/UsbProgramming.h"
#include "keycodes/NumberFormat.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/UsbKeyboardCommon.h"

bool UsbKeyboard::ClearDeviceErrors()
{
    ClearDeviceErrorFields(m_lastOsError, m_lastDeviceStatus, m_errorText);
    return true;
}

bool UsbKeyboard::RecordOsError(uint32_t code)
{
    RecordOsErrorLine(code, m_lastOsError, m_errorText);
    return true;
}

bool UsbKeyboard::RecordDeviceStatus(uint8_t status)
{
    RecordDeviceStatusLine(status, m_lastDeviceStatus, m_errorText);
    return true;
}

void UsbKeyboard::RecordFirstDifference(uint16_t address)
{
    AppendErrorLine(m_errorText, LoadTextWithArgument(IDS_VERIFY_FIRST_DIFFERENCE, FormatHex(address, 2)));
}

void UsbKeyboard::AppendErrorText(const std::string& line)
{
    if (!line.empty()) {
        AppendErrorLine(m_errorText, line);
    }
}

bool UsbKeyboard::OpenDevice(HidChannel* channel)
{
    return channel != nullptr && OpenUsbDevice(*this, *channel);
}

std::string UsbKeyboard::GetFirmwareFileFilter(std::string* filter, std::string* defaultExtension) const
{
    return GetUsbFirmwareFileFilter(filter, defaultExtension);
}

int UsbKeyboard::UploadFirmware(const std::string& path, ProgressSink* progress)
{
    return UploadUsbFirmware(*this, path, progress);
}

int UsbKeyboardCommon::ReadDeviceHeader(HidChannel* channel, uint8_t* length, uint8_t* buffer)
{
    return channel != nullptr ? ReadUsbDeviceHeader(*this, *channel, length, buffer) : DeviceResultNoDevice;
}

int UsbKeyboardCommon::QueryDeviceHeader(uint8_t* length, uint8_t* buffer)
{
    return QueryUsbDeviceHeader(*this, length, buffer);
}

int UsbKeyboardCommon::ReadDeviceHeaderLength(HidChannel* channel, uint8_t* length)
{
    return channel != nullptr ? ReadUsbDeviceHeaderLength(*this, *channel, length) : DeviceResultNoDevice;
}

int UsbKeyboardCommon::Program(ProgressSink* progress)
{
    return ProgramUsbKeyboard(*this, progress);
}

int UsbKeyboardCommon::DownloadSequences(ProgressSink* progress)
{
    return DownloadUsbSequences(*this, progress);
}

int UsbKeyboardCommon::GetFirmwareVersion(ProgressSink* progress, std::string* text)
{
    return GetUsbFirmwareVersion(*this, progress, text);
}

bool UsbKeyboardCommon::DetectDevice(std::string* name)
{
    const bool found = DetectUsbDevice(*this, name);
    m_detectedDevices = found ? 1 : 0;
    return found;
}
