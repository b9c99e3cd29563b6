// One simulated device interface: the keyboard's side of the feature reports and of the legacy driver.
#pragma once

#include "device/HidReports.h"
#include "sim/SimConfig.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct SimReply
{
    uint32_t error = 0;
    std::vector<uint8_t> payload;
    bool close = false; // drop the connection without an answer
};

class SimDevice
{
public:
    explicit SimDevice(SimInterfaceConfig config);

    // Builds the memory: defaults, then the memory file, then the header options.
    bool Load(std::string& error);

    // A new open: no half-done transaction carries over.
    void OnConnect();
    // One connection at a time uses the device: the first that opens it ('I' with the open flag) or
    // sends a report, until it ends. Any other is refused meanwhile; enumeration ('I' alone) is not.
    // The server names the connection the following requests come from.
    void ServeConnection(uint64_t connection) { m_serving = connection; }
    void EndConnection(uint64_t connection);
    // False once the device has been pulled out by closing connections.
    bool AcceptsConnections() const;

    SimReply Handle(uint8_t opcode, const uint8_t* payload, size_t size);

    // Writes every dump file asked for; false when one failed (all are tried).
    bool DumpAll(std::string& error) const;

    const SimInterfaceConfig& Config() const { return m_config; }
    // The programmable area, header included.
    std::vector<uint8_t> Area() const;
    const std::vector<uint8_t>& Firmware() const { return m_firmware; }
    const std::vector<uint8_t>& LegacyBytes() const { return m_legacyBytes; }

private:
    // False when another connection uses the device.
    bool Take();
    SimReply Info() const;
    SimReply SetFeature(const uint8_t* report, size_t size);
    SimReply GetFeature(const uint8_t* report, size_t size);
    SimReply LegacyWrite(const uint8_t* payload, size_t size);
    void RunCommand(uint8_t code, uint16_t address, uint8_t count);
    uint8_t CarryOut(uint8_t code, uint16_t address, uint8_t count);
    const SimFailRule* MatchFailRule(uint8_t code) const;
    bool InArea(uint32_t address, uint32_t count) const;
    size_t AreaSize() const;
    void WriteArea(size_t offset, const uint8_t* data, size_t size);
    void DumpQuietly(const std::string& path, const std::vector<uint8_t>& data) const;
    static void Fill(SimReply& reply, const uint8_t* report, size_t size, uint8_t id);

    SimInterfaceConfig m_config;
    std::vector<uint8_t> m_memory;

    std::array<uint8_t, kDataPayloadLength> m_dataOut{}; // last data report received
    bool m_dataPending = false;
    std::array<uint8_t, kDataPayloadLength> m_dataIn{}; // answer to the next data report read
    uint8_t m_finalStatus = 1;
    int m_busyLeft = 0;

    uint32_t m_commandsSeen = 0;
    std::array<uint32_t, 256> m_commandsSeenByCode{};
    uint32_t m_reportsServed = 0;
    bool m_gone = false;

    uint64_t m_serving = 0;
    bool m_held = false;
    uint64_t m_holder = 0;

    std::vector<uint8_t> m_firmware;
    std::vector<uint8_t> m_legacyBytes;
};
