// Arbitrary answers from a simulated USB keyboard: memory map, memory, status answers, data reports
// and failing reports all come from the fuzz input. A programming, a reading back and a version
// query must end, with a bounded number of reports, whatever the keyboard says; so must a
// programming that reads back what it wrote.
#include "device/FakeHidBackend.h"
#include "device/HidReports.h"
#include "device/UsbFirmware.h"
#include "device/UsbProgramming.h"
#include "device/UsbVendorId.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// Busy polls end after a few reads on this clock, so no command exceeds about a dozen reports.
constexpr size_t MaxReports = 1500;

class Input
{
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t Byte() { return m_offset < m_size ? m_data[m_offset++] : 0; }
    uint16_t Word()
    {
        const uint8_t low = Byte();
        return static_cast<uint16_t>(low | Byte() << 8);
    }
    std::vector<uint8_t> Bytes(size_t count)
    {
        std::vector<uint8_t> bytes;
        while (bytes.size() < count && m_offset < m_size) {
            bytes.push_back(m_data[m_offset++]);
        }
        return bytes;
    }
    std::vector<uint8_t> Rest() { return Bytes(m_size - m_offset); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_offset = 0;
};

struct SimulatedKeyboard
{
    FakeHidBackend backend;
    HidAccess access;
    uint64_t nowMs = 0;
};

void Script(SimulatedKeyboard& keyboard, Input input)
{
    FakeHidBackend& backend = keyboard.backend;
    for (uint16_t productId : {Zq2200Keyboard::kProductId, Zq3300Keyboard::kProductId}) {
        backend.AddInterface(
            {"fuzz" + std::to_string(productId), kZqUsbVendorId, productId, 137, HidInterfaceKind::Hid, ""});
    }
    const uint8_t format = input.Byte();
    const uint16_t start = input.Word();
    const uint16_t end = input.Word();
    backend.SetMemoryMap(format & 0x80 ? format : 1, start, end);

    const uint8_t fault = input.Byte();
    if (fault & 0x80) {
        const int errnoValue = (fault & 0x40) ? ENODEV : EIO;
        backend.FailAtReport(input.Byte(), errnoValue, (fault & 0x20) != 0);
    }
    const uint8_t defaultStatus = input.Byte();
    backend.SetDefaultStatus((defaultStatus & 0xF0) == 0 ? defaultStatus : uint8_t{HidStatusDone});
    backend.QueueStatuses(input.Bytes(input.Byte() & 0x1F));
    for (uint8_t payloads = input.Byte() & 3; payloads != 0; --payloads) {
        backend.QueueData(input.Bytes(kDataPayloadLength));
    }
    const std::vector<uint8_t> memory = input.Rest();
    for (size_t i = 0; i < memory.size() && i < backend.Memory().size(); ++i) {
        backend.Memory()[(start + i) & 0xFFFF] = memory[i];
    }
    keyboard.access.backend = &backend;
    keyboard.access.nowMs = [&keyboard] { return keyboard.nowMs; };
    keyboard.access.sleepMs = [&keyboard](uint32_t) { keyboard.nowMs += 1000; };
}

std::unique_ptr<UsbKeyboard> MakeProject(uint8_t choice)
{
    std::unique_ptr<UsbKeyboard> project;
    if (choice & 1) {
        project = std::make_unique<Zq3300Keyboard>((choice & 2) != 0, (choice & 4) ? 2 : 1);
    } else {
        project = std::make_unique<Zq2200Keyboard>(1 + choice % 3);
    }
    ApplyVendorId(*project, kZqUsbVendorId);
    return project;
}

void CheckBounded(const SimulatedKeyboard& keyboard)
{
    if (keyboard.backend.Reports().size() > MaxReports || keyboard.backend.OpenHandleCount() != 0) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 8192) {
        return 0;
    }
    const uint8_t choice = size != 0 ? data[0] : 0;
    {
        SimulatedKeyboard keyboard;
        Script(keyboard, Input(data, size));
        auto project = MakeProject(choice);
        project->SetKeyTexts("A", "M1,S+,K0x04", 1, 1, 1);
        project->SetVerifyAfterProgramming((choice & 0x40) != 0);
        ProgramUsbKeyboard(*project, nullptr, keyboard.access);
        CheckBounded(keyboard);
    }
    {
        SimulatedKeyboard keyboard;
        Script(keyboard, Input(data, size));
        auto project = MakeProject(choice >> 3);
        DownloadUsbSequences(*project, nullptr, keyboard.access);
        CheckBounded(keyboard);
        project->GetContentSignature();
    }
    {
        SimulatedKeyboard keyboard;
        Script(keyboard, Input(data, size));
        auto project = MakeProject(choice);
        std::string text;
        GetUsbFirmwareVersion(*project, nullptr, &text, keyboard.access);
        CheckBounded(keyboard);
    }
    return 0;
}
