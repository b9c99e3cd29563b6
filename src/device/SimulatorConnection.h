// One client connection to a simulated keyboard interface (zqsim) over a Unix-domain socket or
// loopback TCP.
#pragma once

#include "device/HidBackend.h"
#include "device/SimulatorSocket.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class SimulatorConnection
{
public:
    static constexpr uint32_t kDefaultTimeoutMs = 5000;
    // The longest device name accepted in an info answer.
    static constexpr size_t kMaxNameLength = 1024;

    // Every connect, request and answer must complete within timeoutMs.
    explicit SimulatorConnection(uint32_t timeoutMs = kDefaultTimeoutMs);
    ~SimulatorConnection();
    SimulatorConnection(const SimulatorConnection&) = delete;
    SimulatorConnection& operator=(const SimulatorConnection&) = delete;

    // entry: a socket path or "tcp:127.0.0.1:PORT" (see ParseSimulatorEndpoint).
    bool Connect(const std::string& entry);
    // Takes ownership of a socket that is already connected (a socketpair end, for instance).
    void Attach(SimulatorSocketHandle socket);
    void Close();
    bool IsConnected() const { return m_socket != kNoSimulatorSocket; }

    // One request and its answer. An answer payload outside minAnswer..maxAnswer, a short answer or
    // a timeout is an I/O failure (31) and drops the connection; a non-zero error word fails the call
    // with that code.
    bool Transact(uint8_t opcode, const uint8_t* payload, size_t length, std::vector<uint8_t>& answer,
                  size_t minAnswer, size_t maxAnswer);
    // The 'I' query; info.path is left as it is. With openForUse the connection also takes the
    // device for itself; while another connection has it, that fails with kOsErrorInUse.
    bool QueryInfo(HidInterfaceInfo& info, bool openForUse = false);

    uint32_t GetLastError() const { return m_lastError; }

private:
    bool SendAll(const uint8_t* data, size_t length, uint64_t deadlineMs);
    bool ReceiveAll(uint8_t* data, size_t length, uint64_t deadlineMs);
    bool WaitFor(bool forSending, uint64_t deadlineMs);
    bool FailIo();

    SimulatorSocketHandle m_socket = kNoSimulatorSocket;
    uint32_t m_timeoutMs;
    uint32_t m_lastError = 0;
};
