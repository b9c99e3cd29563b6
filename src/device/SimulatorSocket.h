// The stream to a simulated keyboard (zqsim): a Unix-domain socket path, or a loopback TCP entry
// "tcp:127.0.0.1:PORT" for systems without Unix-domain sockets (wine).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr const char* kSimulatorTcpPrefix = "tcp:";

struct SimulatorEndpoint
{
    bool tcp = false;
    std::string path;     // the socket file when not tcp
    uint32_t address = 0; // IPv4 in host order, always in 127.0.0.0/8
    uint16_t port = 0;
};

// A plain path is a socket file. A tcp entry needs a dotted IPv4 loopback address and a port 1 to
// 65535: the simulator is never reached over a network.
bool ParseSimulatorEndpoint(const std::string& entry, SimulatorEndpoint& endpoint);

using SimulatorSocketHandle = intptr_t;
constexpr SimulatorSocketHandle kNoSimulatorSocket = -1;

namespace SimulatorSocket {

// A connected socket whose sends and receives never block, or kNoSimulatorSocket with error set
// to a code as the keyboard error text sees it (see OsError.h).
SimulatorSocketHandle Connect(const SimulatorEndpoint& endpoint, uint32_t timeoutMs, uint32_t& error);
void Close(SimulatorSocketHandle socket);
// Bytes moved; 0 when the call would block or was interrupted; -1 when the stream failed or the
// peer closed it.
ptrdiff_t Send(SimulatorSocketHandle socket, const uint8_t* data, size_t length);
ptrdiff_t Receive(SimulatorSocketHandle socket, uint8_t* data, size_t length);
// 1 when ready to send (or receive), or failed; 0 on timeout or interruption; -1 when waiting failed.
int Wait(SimulatorSocketHandle socket, bool forSending, uint32_t timeoutMs);

} // namespace SimulatorSocket
