// Helpers shared by the simulator tests: report builders, a temporary folder and a socket client.
#pragma once

#include "sim/SimDevice.h"

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

Bytes CommandReportBytes(uint8_t command, uint16_t address, uint8_t count);
Bytes DataReport(const Bytes& payload);
Bytes StatusRequest();
Bytes DataRequest();
Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& data);
// True for anything at path, a dangling link or a socket included.
bool Exists(const std::string& path);

// Runs a request through the device and returns its reply.
SimReply Call(SimDevice& device, uint8_t opcode, const Bytes& payload = {});

// A folder under the system's temporary folder, removed with its files.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    std::string Path(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Speaks the socket protocol with blocking calls; every failure is reported as false.
class SimClient
{
public:
    ~SimClient() { Close(); }
    bool Connect(const std::string& path);
    void Close();
    // Sends raw bytes, for requests split or joined on purpose.
    bool SendRaw(const Bytes& bytes);
    bool ReadAnswer(uint32_t& error, Bytes& payload);
    bool Request(uint8_t opcode, const Bytes& payload, uint32_t& error, Bytes& answer);
    // True when the server closed the connection (end of stream before any byte).
    bool SeesClose();

private:
    bool ReadExactly(uint8_t* data, size_t size);
    int m_fd = -1;
};
