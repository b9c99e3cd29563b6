// Feeds arbitrary keyboard answers to the HID channel and arbitrary simulator answers to the socket client.
#include "device/HidChannel.h"
#include "device/OsError.h"
#include "device/SimulatorConnection.h"

#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Every call takes its outcome and answer bytes from the fuzz input.
class InputBackend : public HidBackend
{
public:
    InputBackend(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Enumerate(std::vector<HidInterfaceInfo>& interfaces) override
    {
        interfaces = {{"fuzz", 1, 2, static_cast<uint16_t>(Next()), HidInterfaceKind::Hid, ""}};
        return true;
    }
    HidHandle Open(const std::string&) override { return 1; }
    void Close(HidHandle) override {}
    bool SetFeature(HidHandle, const uint8_t*, size_t) override { return Outcome(); }
    bool GetFeature(HidHandle, uint8_t* report, size_t length) override
    {
        if (!Outcome()) {
            return false;
        }
        for (size_t i = 0; i < length; ++i) {
            report[i] = Next();
        }
        return true;
    }
    uint32_t GetLastError() const override { return m_lastError; }
    bool Exhausted() const { return m_offset >= m_size; }

private:
    uint8_t Next() { return m_offset < m_size ? m_data[m_offset++] : 0; }
    bool Outcome()
    {
        const uint8_t byte = Next();
        m_lastError = (byte & 0x80) ? MapOsError(byte & 0x7F) : kOsErrorNone;
        return m_offset <= m_size && (byte & 0x80) == 0;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_offset = 0;
    uint32_t m_lastError = 0;
};

void FuzzChannel(const uint8_t* data, size_t size)
{
    InputBackend backend(data, size);
    HidChannel channel(backend);
    uint64_t now = 0;
    channel.SetClock([&] { return now; }, [&](uint32_t) { now += 1000; });
    if (!channel.Open(1, 2)) {
        return;
    }
    uint8_t buffer[kDataPayloadLength] = {};
    for (int round = 0; round < 64 && !backend.Exhausted(); ++round) {
        channel.QueryMemoryMap();
        const uint8_t count = static_cast<uint8_t>(channel.GetMemoryCapacity() & 0x7F);
        channel.RequestRead(channel.GetStartAddress(), count);
        channel.ReceiveData(buffer, count);
        channel.SendData(buffer, count);
        channel.ConfirmWrite(channel.GetEndAddress(), count);
        channel.StartApplication();
    }
}

void FuzzSimulatorAnswers(const uint8_t* data, size_t size)
{
    int sockets[2];
    if (size > 4096 || socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        return;
    }
    const bool written = size == 0 || write(sockets[1], data, size) == static_cast<ssize_t>(size);
    shutdown(sockets[1], SHUT_WR);
    SimulatorConnection connection(50);
    connection.Attach(sockets[0]);
    if (written) {
        HidInterfaceInfo info;
        connection.QueryInfo(info);
        std::vector<uint8_t> answer;
        uint8_t report[8] = {2};
        while (connection.IsConnected() && connection.Transact('G', report, sizeof report, answer, 8, 8)) {
        }
    }
    connection.Close();
    close(sockets[1]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChannel(data, size);
    FuzzSimulatorAnswers(data, size);
    return 0;
}
