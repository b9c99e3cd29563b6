#include "device/UsbFirmware.h"

#include "app/Numbers.h"
#include "device/DeviceResult.h"
#include "device/DeviceStop.h"
#include "device/HidChannel.h"
#include "device/ProgressSink.h"
#include "device/UsbProgramming.h"
#include "io/RawFile.h"
#include "keycodes/NumberFormat.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/UsbKeyboard.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

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

// Sends the blocks until all went, a transfer fails or a stop is asked for; answers how many went.
uint32_t SendBlocks(HidChannel& channel, const std::vector<uint8_t>& blocks, ProgressSink* progress)
{
    const auto count = static_cast<uint32_t>(blocks.size() / kBlockLength);
    uint32_t sent = 0;
    while (sent < count && !IsDeviceStopRequested()) {
        if (!channel.SendData(blocks.data() + sent * kBlockLength, kBlockLength) ||
            !channel.CommitFirmwareBlock()) {
            break;
        }
        ++sent;
        ReportProgress(progress, sent, count);
        channel.Pause(1);
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

int ReadUsbFirmwareFile(const std::string& path, std::vector<uint8_t>& blocks, std::string& why)
{
    blocks.clear();
    why.clear();
    RawFile file;
    if (!file.Open(path, true)) {
        why = std::strerror(static_cast<int>(file.LastError()));
        return DeviceResultCannotOpenFile;
    }
    const uint64_t size = file.GetSize();
    if (size > kMaxFileSize) {
        why = LoadTextWithArgument(IDS_FIRMWARE_TOO_LARGE, std::to_string(size));
        return DeviceResultCorruptedFile;
    }
    std::vector<uint8_t> text(static_cast<size_t>(size));
    const auto length = static_cast<uint32_t>(text.size());
    if (file.Read(text.data(), length) != length || file.LastError() != 0) {
        why = std::strerror(file.LastError() != 0 ? static_cast<int>(file.LastError()) : EIO);
        return DeviceResultCannotOpenFile;
    }
    file.Close();
    // An editor's final line end is no part of the last block.
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.pop_back();
    }
    if (text.empty()) {
        why = LoadText(IDS_FIRMWARE_EMPTY);
        return DeviceResultCorruptedFile;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (HexDigitValue(static_cast<char>(text[i])) < 0) {
            why = LoadTextWithArgument(IDS_FIRMWARE_NOT_HEX, FormatUnsigned(i + 1));
            return DeviceResultCorruptedFile;
        }
    }
    if (text.size() % kBlockTextLength != 0) {
        why = LoadTextWithArgument(IDS_FIRMWARE_LENGTH, FormatUnsigned(text.size()));
        return DeviceResultCorruptedFile;
    }
    blocks.resize(text.size() / 2);
    for (size_t i = 0; i < blocks.size(); ++i) {
        blocks[i] = static_cast<uint8_t>(HexDigitValue(static_cast<char>(text[2 * i])) << 4 |
                                         HexDigitValue(static_cast<char>(text[2 * i + 1])));
    }
    return DeviceResultOk;
}

int UploadUsbFirmware(UsbKeyboard& keyboard, const std::string& path, ProgressSink* progress,
                      const HidAccess& access)
{
    keyboard.ClearDeviceErrors();
    // Checked whole first: a fault part-way must not leave the keyboard with half a firmware.
    std::vector<uint8_t> blocks;
    std::string why;
    const int read = ReadUsbFirmwareFile(path, blocks, why);
    if (read != DeviceResultOk) {
        keyboard.AppendErrorText(why);
        return read;
    }
    HidSession session(access, progress);
    HidChannel& channel = session.Channel();
    if (!OpenUsbDevice(keyboard, channel)) {
        channel.Close();
        return DeviceResultNoDevice;
    }
    const auto count = static_cast<uint32_t>(blocks.size() / kBlockLength);
    ReportPhase(progress, ProgressPhase::SendingFirmware);
    ReportProgress(progress, 0, count);
    const uint32_t sent = SendBlocks(channel, blocks, progress);
    ReportProgress(progress, 0, 0);
    keyboard.RecordOsError(channel.GetLastError());
    keyboard.RecordDeviceStatus(channel.GetStatus());
    channel.Close();
    keyboard.SetExchangeCount(channel.GetReportCount());
    if (sent != count && IsDeviceStopRequested()) {
        return DeviceResultInterrupted;
    }
    return sent == count ? DeviceResultOk : DeviceResultDataNotValid;
}

int GetUsbFirmwareVersion(UsbKeyboard& keyboard, ProgressSink* progress, std::string* text,
                          const HidAccess& access)
{
    ReportPhase(progress, ProgressPhase::ReadingVersion);
    ReportProgress(progress, 0, 1);
    std::array<uint8_t, UsbMemory::kHeaderReadLength> header{};
    auto length = static_cast<uint8_t>(header.size());
    const int result = QueryUsbDeviceHeader(keyboard, &length, header.data(), access, progress);
    if (text != nullptr) {
        *text = FormatFirmwareVersion(keyboard.GetDeviceName(), header.data());
    }
    ReportProgress(progress, 0, 0);
    return result;
}
