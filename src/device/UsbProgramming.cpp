#include "device/UsbProgramming.h"

#include "device/DeviceResult.h"
#include "device/DeviceStop.h"
#include "device/HidChannel.h"
#include "device/OsError.h"
#include "device/ProgressSink.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/UsbKeyboard.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

using namespace UsbMemory;
using ImageBuffer = std::array<uint8_t, kImageBufferSize>;

// One chunk at most, and never 0 bytes: a keyboard reporting no memory still gets a valid request.
uint8_t HeaderReadCount(int32_t capacity, uint8_t requested)
{
    if (requested == 0) {
        return 1;
    }
    const int32_t count = std::min<int32_t>({capacity, requested, static_cast<int32_t>(kChunkSize)});
    return static_cast<uint8_t>(std::max<int32_t>(count, 1));
}

void RecordChannelErrors(UsbKeyboard& keyboard, const HidChannel& channel)
{
    keyboard.RecordOsError(channel.GetLastError());
    keyboard.RecordDeviceStatus(channel.GetStatus());
}

// A transfer cut short by a stop request failed because of it, whatever the step that gave up.
int StoppedOr(int result)
{
    return result != DeviceResultOk && IsDeviceStopRequested() ? DeviceResultInterrupted : result;
}

// The closing steps of programming and reading back. A failed start is reported only when all
// before it succeeded.
int FinishTransfer(UsbKeyboard& keyboard, HidChannel& channel, ProgressSink* progress, int result)
{
    RecordChannelErrors(keyboard, channel);
    if (!channel.StartApplication() && result == DeviceResultOk) {
        result = DeviceResultStartingApplication;
    }
    ReportProgress(progress, 0, 0);
    RecordChannelErrors(keyboard, channel);
    channel.Close();
    keyboard.SetExchangeCount(channel.GetReportCount());
    return StoppedOr(result);
}

// The start of every operation with a channel of its own: a fresh error text, then the keyboard
// opened. Without a keyboard nothing is sent and nothing recorded.
bool BeginOperation(UsbKeyboard& keyboard, HidChannel& channel)
{
    keyboard.ClearDeviceErrors();
    if (OpenUsbDevice(keyboard, channel)) {
        return true;
    }
    channel.Close();
    return false;
}

// The header length, then the memory map, for the channel just opened. A header too short to hold
// the version, or longer than the area, is a configuration no image may be placed by.
int ReadHeaderAndMap(UsbKeyboard& keyboard, HidChannel& channel, uint8_t& headerLength)
{
    const int result = ReadUsbDeviceHeaderLength(keyboard, channel, &headerLength);
    if (result != DeviceResultOk) {
        return result;
    }
    if (!channel.QueryMemoryMap() || headerLength < kMinHeaderLength ||
        headerLength > channel.GetMemoryCapacity()) {
        return DeviceResultReceivingConfiguration;
    }
    return DeviceResultOk;
}

// The room for the image behind the header; negative when the header does not fit the area.
int32_t GetImageRoom(const HidChannel& channel, uint8_t headerLength)
{
    return channel.GetMemoryCapacity() - headerLength;
}

// Reads the written range back and compares it with the image, chunk by chunk; the first address
// that differs ends the reading and goes into the keyboard's error text. Progress goes on from the
// writing's end.
int VerifyImage(UsbKeyboard& keyboard, HidChannel& channel, const uint8_t* image, uint32_t size,
                uint16_t start, ProgressSink* progress)
{
    ReportPhase(progress, ProgressPhase::Verifying);
    std::array<uint8_t, kChunkSize> readBack{};
    auto address = start;
    for (uint32_t done = 0; done < size;) {
        if (IsDeviceStopRequested()) {
            return DeviceResultInterrupted;
        }
        const auto count = static_cast<uint8_t>(std::min<uint32_t>(size - done, kChunkSize));
        if (!channel.RequestRead(address, count) || !channel.ReceiveData(readBack.data(), count)) {
            return DeviceResultCommunication;
        }
        const auto* sent = image + done;
        const auto differing = std::mismatch(sent, sent + count, readBack.begin()).first;
        if (differing != sent + count) {
            keyboard.RecordFirstDifference(static_cast<uint16_t>(address + (differing - sent)));
            return DeviceResultVerifyMismatch;
        }
        done += count;
        address = static_cast<uint16_t>(address + count);
        ReportProgress(progress, size + done, 2 * size);
    }
    return DeviceResultOk;
}

// Writing and, when asked, reading back share one bar: the total counts every byte twice then.
int WriteImage(UsbKeyboard& keyboard, HidChannel& channel, const uint8_t* image, size_t size,
               uint8_t headerLength, ProgressSink* progress)
{
    // A size beyond the buffer could only come from a faulty family; it is refused, never read.
    if (size > kImageBufferSize || static_cast<int64_t>(size) > GetImageRoom(channel, headerLength)) {
        return DeviceResultVersionNotSupported;
    }
    const bool verify = keyboard.GetVerifyAfterProgramming();
    const auto total = static_cast<uint32_t>(size);
    const uint32_t barTotal = verify ? 2 * total : total;
    ReportPhase(progress, ProgressPhase::Writing);
    ReportProgress(progress, 0, barTotal);
    if (size == 0) {
        return DeviceResultVersionNotSupported;
    }
    const auto start = static_cast<uint16_t>(channel.GetStartAddress() + headerLength);
    auto address = start;
    for (uint32_t done = 0; done < total;) {
        int failed = DeviceResultOk;
        const auto count = static_cast<uint8_t>(std::min<uint32_t>(total - done, kChunkSize));
        if (IsDeviceStopRequested()) {
            failed = DeviceResultInterrupted;
        } else if (!channel.SendData(image + done, count) || !channel.ConfirmWrite(address, count)) {
            failed = DeviceResultCommunication;
        }
        if (failed != DeviceResultOk) {
            // The reason first, then what the keyboard was left with.
            RecordChannelErrors(keyboard, channel);
            if (done > 0) {
                keyboard.AppendErrorText(LoadText(IDS_PARTLY_WRITTEN));
            }
            return failed;
        }
        done += count;
        address = static_cast<uint16_t>(address + count);
        ReportProgress(progress, done, barTotal);
    }
    return verify ? VerifyImage(keyboard, channel, image, total, start, progress) : DeviceResultOk;
}

int BuildAndWriteImage(UsbKeyboard& keyboard, HidChannel& channel, uint8_t headerLength,
                       ProgressSink* progress)
{
    ImageBuffer image{};
    size_t size = image.size();
    const int result = keyboard.BuildDeviceImage(image.data(), &size, channel.GetFormatVersion());
    if (result != DeviceResultOk) {
        return result;
    }
    return WriteImage(keyboard, channel, image.data(), size, headerLength, progress);
}

// Fills buffer with length bytes of the area behind the header.
int ReadImage(HidChannel& channel, uint8_t* buffer, uint32_t length, uint8_t headerLength,
              ProgressSink* progress)
{
    auto address = static_cast<uint16_t>(channel.GetStartAddress() + headerLength);
    ReportPhase(progress, ProgressPhase::Reading);
    ReportProgress(progress, 0, length);
    for (uint32_t done = 0; done < length;) {
        if (IsDeviceStopRequested()) {
            return DeviceResultInterrupted;
        }
        const auto count = static_cast<uint8_t>(std::min<uint32_t>(length - done, kChunkSize));
        if (!channel.RequestRead(address, count) || !channel.ReceiveData(buffer + done, count)) {
            return DeviceResultCommunication;
        }
        done += count;
        address = static_cast<uint16_t>(address + count);
        ReportProgress(progress, done, length);
    }
    return DeviceResultOk;
}

// Reads the area behind the header once the family has agreed to its length, then hands it over.
int ReadAndParseImage(UsbKeyboard& keyboard, HidChannel& channel, uint8_t headerLength,
                      ProgressSink* progress)
{
    // Whatever the keyboard reports, no more than the buffer holds is read; a header longer than the
    // area leaves no room at all.
    const auto length =
        static_cast<uint32_t>(std::clamp<int32_t>(GetImageRoom(channel, headerLength), 0, kImageBufferSize));
    int result = keyboard.ParseDeviceImage(nullptr, length, channel.GetFormatVersion());
    if (result != DeviceResultOk) {
        return result;
    }
    ImageBuffer image{};
    result = ReadImage(channel, image.data(), length, headerLength, progress);
    if (result != DeviceResultOk) {
        return result;
    }
    return keyboard.ParseDeviceImage(image.data(), length, channel.GetFormatVersion());
}

using TransferStep = int (*)(UsbKeyboard&, HidChannel&, uint8_t headerLength, ProgressSink*);

// Programming and reading back alike: open, header length and memory map, the transfer, finish.
int RunTransfer(UsbKeyboard& keyboard, ProgressSink* progress, const HidAccess& access, TransferStep transfer)
{
    HidSession session(access, progress);
    HidChannel& channel = session.Channel();
    if (!BeginOperation(keyboard, channel)) {
        return DeviceResultNoDevice;
    }
    uint8_t headerLength = 0;
    int result = ReadHeaderAndMap(keyboard, channel, headerLength);
    if (result == DeviceResultOk) {
        result = transfer(keyboard, channel, headerLength, progress);
    }
    return FinishTransfer(keyboard, channel, progress, result);
}

} // namespace

bool OpenUsbDevice(UsbKeyboard& keyboard, HidChannel& channel)
{
    if (keyboard.GetVendorId() == 0 || keyboard.GetProductId() == 0) {
        return false;
    }
    if (channel.Open(keyboard.GetVendorId(), keyboard.GetProductId())) {
        return true;
    }
    // The one reason for a missing keyboard that the user cannot see for themselves.
    if (channel.IsHeldElsewhere()) {
        keyboard.RecordOsError(kOsErrorInUse);
    }
    return false;
}

bool DetectUsbDevice(UsbKeyboard& keyboard, std::string* name, const HidAccess& access)
{
    HidSession session(access);
    const bool found = OpenUsbDevice(keyboard, session.Channel());
    if (name != nullptr) {
        *name = found ? keyboard.GetDeviceName() : std::string();
    }
    session.Channel().Close();
    return found;
}

int ReadUsbDeviceHeader(UsbKeyboard& keyboard, HidChannel& channel, uint8_t* length, uint8_t* buffer)
{
    if (!channel.IsOpen() && !OpenUsbDevice(keyboard, channel)) {
        return DeviceResultNoDevice;
    }
    const uint8_t requested = length != nullptr ? *length : 0;
    uint8_t headerLength = 0;
    int result = DeviceResultReceivingConfiguration;
    if (channel.QueryMemoryMap()) {
        const uint8_t count = HeaderReadCount(channel.GetMemoryCapacity(), requested);
        std::array<uint8_t, kChunkSize> header{};
        result = DeviceResultCommunication;
        if (channel.RequestRead(channel.GetStartAddress(), count) &&
            channel.ReceiveData(header.data(), count)) {
            result = DeviceResultOk;
            headerLength = header[kHeaderLengthOffset];
            if (buffer != nullptr) {
                std::memcpy(buffer, header.data(), std::min(requested, count));
            }
        }
    }
    RecordChannelErrors(keyboard, channel);
    if (length != nullptr) {
        *length = headerLength;
    }
    return result;
}

int ReadUsbDeviceHeaderLength(UsbKeyboard& keyboard, HidChannel& channel, uint8_t* length)
{
    uint8_t headerLength = 0;
    const int result = ReadUsbDeviceHeader(keyboard, channel, &headerLength, nullptr);
    if (length != nullptr) {
        *length = headerLength;
    }
    return result;
}

int QueryUsbDeviceHeader(UsbKeyboard& keyboard, uint8_t* length, uint8_t* buffer, const HidAccess& access,
                         ProgressSink* progress)
{
    HidSession session(access, progress);
    HidChannel& channel = session.Channel();
    if (!BeginOperation(keyboard, channel)) {
        return DeviceResultNoDevice;
    }
    int result = ReadUsbDeviceHeader(keyboard, channel, length, buffer);
    if (!channel.StartApplication() && result == DeviceResultOk) {
        result = DeviceResultStartingApplication;
    }
    RecordChannelErrors(keyboard, channel);
    channel.Close();
    keyboard.SetExchangeCount(channel.GetReportCount());
    return StoppedOr(result);
}

int ProgramUsbKeyboard(UsbKeyboard& keyboard, ProgressSink* progress, const HidAccess& access)
{
    return RunTransfer(keyboard, progress, access, BuildAndWriteImage);
}

int DownloadUsbSequences(UsbKeyboard& keyboard, ProgressSink* progress, const HidAccess& access)
{
    return RunTransfer(keyboard, progress, access, ReadAndParseImage);
}
