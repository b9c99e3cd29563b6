// Simulator sockets on Windows (Winsock): loopback TCP, and Unix-domain sockets where the system
// has them (Windows 10 1803 and later; wine answers WSAEAFNOSUPPORT).
#include "device/OsError.h"
#include "device/SimulatorSocket.h"

#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h, which it needs.
#include <afunix.h>
#include <cstring>

namespace SimulatorSocket {

namespace {

SOCKET AsSocket(SimulatorSocketHandle socket)
{
    return static_cast<SOCKET>(socket);
}

// Winsock is started once for the process and left running: sockets may be open until exit.
bool StartWinsock()
{
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

bool WouldBlock(int error)
{
    return error == WSAEWOULDBLOCK || error == WSAEINTR || error == WSAEINPROGRESS;
}

} // namespace

SimulatorSocketHandle Connect(const SimulatorEndpoint& endpoint, uint32_t timeoutMs, uint32_t& error)
{
    if (!StartWinsock()) {
        error = static_cast<uint32_t>(::WSAGetLastError());
        return kNoSimulatorSocket;
    }
    sockaddr_un local{};
    sockaddr_in tcp{};
    const sockaddr* address = nullptr;
    int addressLength = 0;
    if (endpoint.tcp) {
        tcp.sin_family = AF_INET;
        tcp.sin_port = ::htons(endpoint.port);
        tcp.sin_addr.s_addr = ::htonl(endpoint.address);
        address = reinterpret_cast<const sockaddr*>(&tcp);
        addressLength = sizeof tcp;
    } else {
        local.sun_family = AF_UNIX;
        if (endpoint.path.empty() || endpoint.path.size() >= sizeof local.sun_path) {
            error = ERROR_FILENAME_EXCED_RANGE;
            return kNoSimulatorSocket;
        }
        std::memcpy(local.sun_path, endpoint.path.data(), endpoint.path.size());
        address = reinterpret_cast<const sockaddr*>(&local);
        addressLength = sizeof local;
    }
    const SOCKET handle = ::WSASocketW(endpoint.tcp ? AF_INET : AF_UNIX, SOCK_STREAM, 0, nullptr, 0,
                                       WSA_FLAG_NO_HANDLE_INHERIT);
    if (handle == INVALID_SOCKET) {
        error = static_cast<uint32_t>(::WSAGetLastError());
        return kNoSimulatorSocket;
    }
    // Connected while blocking, bounded by the timeout; every later call never blocks.
    const DWORD timeout = timeoutMs;
    u_long nonBlocking = 1;
    const BOOL on = TRUE;
    if (::setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout),
                     sizeof timeout) != 0 ||
        ::connect(handle, address, addressLength) != 0 || ::ioctlsocket(handle, FIONBIO, &nonBlocking) != 0 ||
        (endpoint.tcp && ::setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                                      sizeof on) != 0)) {
        error = static_cast<uint32_t>(::WSAGetLastError());
        ::closesocket(handle);
        return kNoSimulatorSocket;
    }
    error = kOsErrorNone;
    return static_cast<SimulatorSocketHandle>(handle);
}

void Close(SimulatorSocketHandle socket)
{
    if (socket != kNoSimulatorSocket) {
        ::closesocket(AsSocket(socket));
    }
}

ptrdiff_t Send(SimulatorSocketHandle socket, const uint8_t* data, size_t length)
{
    const int piece = length > INT_MAX ? INT_MAX : static_cast<int>(length);
    const int count = ::send(AsSocket(socket), reinterpret_cast<const char*>(data), piece, 0);
    if (count == SOCKET_ERROR) {
        return WouldBlock(::WSAGetLastError()) ? 0 : -1;
    }
    return count;
}

ptrdiff_t Receive(SimulatorSocketHandle socket, uint8_t* data, size_t length)
{
    const int piece = length > INT_MAX ? INT_MAX : static_cast<int>(length);
    const int count = ::recv(AsSocket(socket), reinterpret_cast<char*>(data), piece, 0);
    if (count == SOCKET_ERROR) {
        return WouldBlock(::WSAGetLastError()) ? 0 : -1;
    }
    return count == 0 ? -1 : count; // 0: the peer closed
}

int Wait(SimulatorSocketHandle socket, bool forSending, uint32_t timeoutMs)
{
    WSAPOLLFD entry{};
    entry.fd = AsSocket(socket);
    entry.events = forSending ? POLLWRNORM : POLLRDNORM;
    const int ready = ::WSAPoll(&entry, 1, static_cast<INT>(timeoutMs > INT_MAX ? INT_MAX : timeoutMs));
    if (ready == SOCKET_ERROR) {
        return WouldBlock(::WSAGetLastError()) ? 0 : -1;
    }
    return ready > 0 ? 1 : 0;
}

} // namespace SimulatorSocket
