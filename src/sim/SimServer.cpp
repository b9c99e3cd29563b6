#include "sim/SimServer.h"

#include "device/SimulatorSocket.h"
#include "sim/SimProtocol.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A client that stops reading its answers is not read from until they drain.
constexpr size_t kMaxPendingOutput = 1 << 20;

std::string Describe(const std::string& what, int code)
{
    return what + ": " + std::strerror(code);
}

bool MakeAddress(const std::string& path, sockaddr_un& address, std::string& error)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        error = "socket path too long: " + path;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// True when something answers on the socket file, so it is not ours to replace.
bool SocketIsLive(const sockaddr_un& address)
{
    int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0) {
        return true;
    }
    bool live = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
                errno != ECONNREFUSED;
    ::close(probe);
    return live;
}

} // namespace

SimServer::~SimServer()
{
    Close();
}

bool SimServer::Bind(const std::string& path, Listener& listener, std::string& error)
{
    sockaddr_un address;
    if (!MakeAddress(path, address, error)) {
        return false;
    }
    struct stat existing;
    if (::lstat(path.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode)) {
            error = path + " exists and is not a socket";
            return false;
        }
        if (SocketIsLive(address)) {
            error = path + " is in use";
            return false;
        }
        if (::unlink(path.c_str()) != 0) {
            error = Describe("cannot remove stale socket " + path, errno);
            return false;
        }
    }
    listener.fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener.fd < 0) {
        error = Describe("cannot create socket", errno);
        return false;
    }
    if (::bind(listener.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = Describe("cannot bind " + path, errno);
        return false;
    }
    listener.path = path;
    struct stat made;
    if (::stat(path.c_str(), &made) == 0) {
        listener.fileDevice = made.st_dev;
        listener.fileInode = made.st_ino;
    }
    if (::listen(listener.fd, 16) != 0) {
        error = Describe("cannot listen on " + path, errno);
        return false;
    }
    return true;
}

bool SimServer::BindTcp(uint16_t port, Listener& listener, std::string& error)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    listener.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener.fd < 0) {
        error = Describe("cannot create socket", errno);
        return false;
    }
    // A fixed port is free again at once after a previous run, whatever its connections left.
    const int on = 1;
    const std::string name = "127.0.0.1:" + std::to_string(port);
    if (::setsockopt(listener.fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(listener.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = Describe("cannot bind " + name, errno);
        return false;
    }
    socklen_t length = sizeof address;
    if (::getsockname(listener.fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::listen(listener.fd, 16) != 0) {
        error = Describe("cannot listen on " + name, errno);
        return false;
    }
    listener.port = ntohs(address.sin_port);
    return true;
}

std::string SimServer::ClientEntry(size_t device) const
{
    if (device >= m_listeners.size()) {
        return {};
    }
    const Listener& listener = m_listeners[device];
    return listener.path.empty()
               ? std::string(kSimulatorTcpPrefix) + "127.0.0.1:" + std::to_string(listener.port)
               : listener.path;
}

bool SimServer::Listen(std::vector<std::unique_ptr<SimDevice>> devices, std::string& error)
{
    Close();
    m_devices = std::move(devices);
    for (const auto& device : m_devices) {
        m_listeners.emplace_back();
        const SimInterfaceConfig& config = device->Config();
        if (!(config.tcp ? BindTcp(config.tcpPort, m_listeners.back(), error)
                         : Bind(config.socketPath, m_listeners.back(), error))) {
            Close();
            return false;
        }
    }
    return true;
}

void SimServer::Close()
{
    for (Connection& connection : m_connections) {
        Drop(connection);
    }
    m_connections.clear();
    for (Listener& listener : m_listeners) {
        if (listener.fd >= 0) {
            ::close(listener.fd);
        }
        // Only the file this server made: another server may have taken the path since.
        struct stat now;
        if (!listener.path.empty() && ::lstat(listener.path.c_str(), &now) == 0 &&
            now.st_dev == listener.fileDevice && now.st_ino == listener.fileInode &&
            ::unlink(listener.path.c_str()) != 0) {
            std::fprintf(stderr, "zqsim: %s\n", Describe("cannot remove " + listener.path, errno).c_str());
        }
    }
    m_listeners.clear();
}

bool SimServer::DumpAll()
{
    bool ok = true;
    for (const auto& device : m_devices) {
        std::string error;
        if (!device->DumpAll(error)) {
            std::fprintf(stderr, "zqsim: %s\n", error.c_str());
            ok = false;
        }
    }
    return ok;
}

void SimServer::Accept(size_t device)
{
    int fd = ::accept4(m_listeners[device].fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED) {
            std::fprintf(stderr, "zqsim: %s\n", Describe("accept failed", errno).c_str());
        }
        return;
    }
    if (!m_devices[device]->AcceptsConnections()) {
        ::close(fd);
        return;
    }
    // Each request waits for its small answer: Nagle's delay would add up over a whole image.
    const int on = 1;
    if (m_listeners[device].path.empty() && ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0) {
        std::fprintf(stderr, "zqsim: %s\n", Describe("cannot set TCP_NODELAY", errno).c_str());
    }
    // The device starts afresh when the connection takes it, not here: another may be using it.
    Connection connection;
    connection.fd = fd;
    connection.device = device;
    connection.id = m_nextConnectionId++;
    m_connections.push_back(std::move(connection));
}

void SimServer::Drop(Connection& connection)
{
    ::close(connection.fd);
    m_devices[connection.device]->EndConnection(connection.id);
}

// False when the connection is over.
bool SimServer::Receive(Connection& connection)
{
    uint8_t chunk[8192];
    for (;;) {
        ssize_t got = ::recv(connection.fd, chunk, sizeof chunk, 0);
        if (got > 0) {
            connection.in.insert(connection.in.end(), chunk, chunk + got);
            if (!Answer(connection)) {
                return false;
            }
            if (connection.out.size() >= kMaxPendingOutput) {
                return true;
            }
            continue;
        }
        if (got == 0) {
            return false;
        }
        if (errno == EINTR) {
            continue;
        }
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

// Answers every complete request in the input; false when the device drops the connection.
bool SimServer::Answer(Connection& connection)
{
    bool close = false;
    m_devices[connection.device]->ServeConnection(connection.id);
    size_t used = AnswerRequests(*m_devices[connection.device], connection.in.data(), connection.in.size(),
                                 connection.out, close);
    connection.in.erase(connection.in.begin(), connection.in.begin() + static_cast<std::ptrdiff_t>(used));
    if (close) {
        Flush(connection); // earlier answers still reach the client
        return false;
    }
    return Flush(connection);
}

bool SimServer::Flush(Connection& connection)
{
    size_t sent = 0;
    while (sent < connection.out.size()) {
        ssize_t put =
            ::send(connection.fd, connection.out.data() + sent, connection.out.size() - sent, MSG_NOSIGNAL);
        if (put > 0) {
            sent += static_cast<size_t>(put);
            continue;
        }
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        return false;
    }
    connection.out.erase(connection.out.begin(), connection.out.begin() + static_cast<std::ptrdiff_t>(sent));
    return true;
}

bool SimServer::HandleWake(int wakeFd, bool& stop)
{
    char signals[64];
    ssize_t got = ::read(wakeFd, signals, sizeof signals);
    if (got < 0) {
        return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK;
    }
    if (got == 0) {
        stop = true; // the other end is gone: nobody can stop us any more
        return true;
    }
    for (ssize_t i = 0; i < got; ++i) {
        if (signals[i] == kWakeDump) {
            DumpAll();
        } else {
            stop = true;
        }
    }
    return true;
}

bool SimServer::Run(int wakeFd, std::string& error)
{
    for (;;) {
        std::vector<pollfd> fds;
        fds.push_back({wakeFd, POLLIN, 0});
        for (const Listener& listener : m_listeners) {
            fds.push_back({listener.fd, POLLIN, 0});
        }
        for (const Connection& connection : m_connections) {
            short events = connection.out.size() < kMaxPendingOutput ? POLLIN : 0;
            if (!connection.out.empty()) {
                events |= POLLOUT;
            }
            fds.push_back({connection.fd, events, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = Describe("poll failed", errno);
            return false;
        }
        if (fds[0].revents != 0) {
            bool stop = false;
            if (!HandleWake(wakeFd, stop)) {
                error = Describe("cannot read wake pipe", errno);
                return false;
            }
            if (stop) {
                return true;
            }
        }
        // Connections first: the indexes in fds refer to the list as it was polled.
        size_t first = 1 + m_listeners.size();
        std::vector<Connection> kept;
        for (size_t i = 0; i < m_connections.size(); ++i) {
            Connection& connection = m_connections[i];
            short revents = fds[first + i].revents;
            bool open = true;
            if (revents & (POLLIN | POLLHUP | POLLERR)) {
                open = Receive(connection);
            }
            if (open && (revents & POLLOUT)) {
                open = Flush(connection);
            }
            if (open && connection.out.size() < kMaxPendingOutput && !connection.in.empty()) {
                open = Answer(connection);
            }
            if (open) {
                kept.push_back(std::move(connection));
            } else {
                Drop(connection);
            }
        }
        m_connections = std::move(kept);
        for (size_t i = 0; i < m_listeners.size(); ++i) {
            if (fds[1 + i].revents & POLLIN) {
                Accept(i);
            }
        }
    }
}
