// Helpers of the simulator tests: a request runner and a socket client. Report builders and the
// temporary folder come from tests/support.
#pragma once

#include "TempFolder.h"
#include "device/HostReports.h"
#include "sim/SimDevice.h"

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Runs a request through the device and returns its reply.
SimReply Call(SimDevice& device, uint8_t opcode, const Bytes& payload = {});

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
