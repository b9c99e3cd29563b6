// Simulator sockets on POSIX: Unix-domain and loopback TCP streams.
#include "device/OsError.h"
#include "device/SimulatorSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace SimulatorSocket {

namespace {

int Fd(SimulatorSocketHandle socket)
{
    return static_cast<int>(socket);
}

} // namespace

SimulatorSocketHandle Connect(const SimulatorEndpoint& endpoint, uint32_t timeoutMs, uint32_t& error)
{
    sockaddr_un local{};
    sockaddr_in tcp{};
    const sockaddr* address = nullptr;
    socklen_t addressLength = 0;
    if (endpoint.tcp) {
        tcp.sin_family = AF_INET;
        tcp.sin_port = htons(endpoint.port);
        tcp.sin_addr.s_addr = htonl(endpoint.address);
        address = reinterpret_cast<const sockaddr*>(&tcp);
        addressLength = sizeof tcp;
    } else {
        local.sun_family = AF_UNIX;
        if (endpoint.path.empty() || endpoint.path.size() >= sizeof local.sun_path) {
            error = MapOsError(ENAMETOOLONG);
            return kNoSimulatorSocket;
        }
        std::memcpy(local.sun_path, endpoint.path.data(), endpoint.path.size());
        address = reinterpret_cast<const sockaddr*>(&local);
        addressLength = sizeof local;
    }
    const int fd = ::socket(endpoint.tcp ? AF_INET : AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = MapOsError(errno);
        return kNoSimulatorSocket;
    }
    // A peer that never accepts (full backlog) must not block the connect for ever.
    timeval timeout{};
    timeout.tv_sec = timeoutMs / 1000;
    timeout.tv_usec = static_cast<suseconds_t>((timeoutMs % 1000) * 1000);
    const int on = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) != 0 ||
        ::connect(fd, address, addressLength) != 0 ||
        // Requests are small and each waits for its answer: no send may wait for more bytes.
        (endpoint.tcp && ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0)) {
        error = MapOsError(errno);
        ::close(fd);
        return kNoSimulatorSocket;
    }
    error = kOsErrorNone;
    return fd;
}

void Close(SimulatorSocketHandle socket)
{
    if (socket != kNoSimulatorSocket) {
        ::close(Fd(socket));
    }
}

ptrdiff_t Send(SimulatorSocketHandle socket, const uint8_t* data, size_t length)
{
    const ssize_t count = ::send(Fd(socket), data, length, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (count < 0) {
        return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
    return count;
}

ptrdiff_t Receive(SimulatorSocketHandle socket, uint8_t* data, size_t length)
{
    const ssize_t count = ::recv(Fd(socket), data, length, MSG_DONTWAIT);
    if (count < 0) {
        return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
    return count == 0 ? -1 : count; // 0: the peer closed
}

int Wait(SimulatorSocketHandle socket, bool forSending, uint32_t timeoutMs)
{
    pollfd entry{Fd(socket), static_cast<short>(forSending ? POLLOUT : POLLIN), 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(timeoutMs > INT32_MAX ? INT32_MAX : timeoutMs));
    if (ready < 0) {
        return errno == EINTR ? 0 : -1;
    }
    return ready > 0 ? 1 : 0;
}

} // namespace SimulatorSocket
