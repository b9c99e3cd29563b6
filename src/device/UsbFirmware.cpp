#include "device/UsbFirmware.h"

#include "device/DeviceResult.h"
#include "device/HidChannel.h"
#include "device/ProgressSink.h"
#include "device/UsbProgramming.h"
#include "io/BufferedFile.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/UsbKeyboard.h"

#include <array>
#include <cstdint>

namespace {

using namespace UsbFirmware;

std::string FormatFirmwareVersion(const std::string& deviceName, const uint8_t* header)
{
    std::string text = deviceName + " v ";
    for (size_t i = 0; i < UsbMemory::kFirmwareVersionLength; ++i) {
        if (i != 0) {
            text += '.';
        }
        text += std::to_string(header[UsbMemory::kFirmwareVersionOffset + i]);
    }
    return text;
}

// Sends block after block until the file or a transfer ends; lastRead is what the last read gave.
uint32_t SendBlocks(HidChannel& channel, BufferedFile& file, uint32_t blocks, ProgressSink* progress,
                    uint32_t& lastRead)
{
    std::array<uint8_t, kBlockLength> block{};
    uint32_t sent = 0;
    file.ReadHexBytes(block.data(), kBlockLength, lastRead);
    while (lastRead == kBlockLength) {
        if (!channel.SendData(block.data(), block.size()) || !channel.CommitFirmwareBlock()) {
            break;
        }
        ++sent;
        ReportProgress(progress, sent, blocks);
        channel.Pause(1);
        file.ReadHexBytes(block.data(), kBlockLength, lastRead);
    }
    return sent;
}

} // namespace

std::string GetUsbFirmwareFileFilter(std::string* filter, std::string* defaultExtension)
{
    std::string text = LoadText(IDS_FILTER_FIRMWARE) + "|*.enc||";
    if (filter != nullptr) {
        *filter = text;
    }
    if (defaultExtension != nullptr) {
        *defaultExtension = "enc";
    }
    return text;
}

int UploadUsbFirmware(UsbKeyboard& keyboard, const std::string& path, ProgressSink* progress,
                      const HidAccess& access)
{
    keyboard.ClearDeviceErrors();
    BufferedFile file;
    if (!file.Open(path, true, BufferedFile::LineEndCrLf)) {
        return DeviceResultCannotOpenFile;
    }
    HidSession session(access);
    HidChannel& channel = session.Channel();
    if (!OpenUsbDevice(keyboard, channel)) {
        channel.Close();
        file.Close();
        return DeviceResultNoDevice;
    }
    // Positions and block counts are 32 bits: a larger file would wrap to a small one.
    const uint64_t size = file.GetSize();
    if (size % kBlockTextLength != 0 || size > UINT32_MAX) {
        channel.Close();
        file.Close();
        return DeviceResultCorruptedFile;
    }
    const auto blocks = static_cast<uint32_t>(size / kBlockTextLength);
    ReportProgress(progress, 0, blocks);
    uint32_t lastRead = 0;
    const uint32_t sent = SendBlocks(channel, file, blocks, progress, lastRead);
    ReportProgress(progress, 0, 0);
    keyboard.RecordOsError(channel.GetLastError());
    keyboard.RecordDeviceStatus(channel.GetStatus());
    channel.Close();
    file.Close();
    // A block cut short by a character that is not a hexadecimal digit.
    if (lastRead != 0 && lastRead < kBlockLength) {
        return DeviceResultCorruptedFile;
    }
    return sent == blocks ? DeviceResultOk : DeviceResultDataNotValid;
}

int GetUsbFirmwareVersion(UsbKeyboard& keyboard, ProgressSink* progress, std::string* text,
                          const HidAccess& access)
{
    ReportProgress(progress, 0, 1);
    std::array<uint8_t, UsbMemory::kHeaderReadLength> header{};
    auto length = static_cast<uint8_t>(header.size());
    const int result = QueryUsbDeviceHeader(keyboard, &length, header.data(), access);
    if (text != nullptr) {
        *text = FormatFirmwareVersion(keyboard.GetDeviceName(), header.data());
    }
    ReportProgress(progress, 0, 0);
    return result;
}
