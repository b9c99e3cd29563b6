#include "SimTestSupport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

SimReply Call(SimDevice& device, uint8_t opcode, const Bytes& payload)
{
    return device.Handle(opcode, payload.data(), payload.size());
}

bool SimClient::Connect(const std::string& path)
{
    Close();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        return false;
    }
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        Close();
        return false;
    }
    return true;
}

void SimClient::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = -1;
}

bool SimClient::SendRaw(const Bytes& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t put = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (put <= 0) {
            return false;
        }
        sent += static_cast<size_t>(put);
    }
    return true;
}

bool SimClient::ReadExactly(uint8_t* data, size_t size)
{
    size_t got = 0;
    while (got < size) {
        pollfd entry{m_fd, POLLIN, 0};
        if (::poll(&entry, 1, 5000) <= 0) {
            return false;
        }
        ssize_t n = ::recv(m_fd, data + got, size - got, 0);
        if (n <= 0) {
            return false;
        }
        got += static_cast<size_t>(n);
    }
    return true;
}

bool SimClient::ReadAnswer(uint32_t& error, Bytes& payload)
{
    uint8_t header[6];
    if (!ReadExactly(header, sizeof header)) {
        return false;
    }
    error = static_cast<uint32_t>(header[0] | header[1] << 8 | header[2] << 16) | uint32_t(header[3]) << 24;
    payload.assign(static_cast<size_t>(header[4] | header[5] << 8), 0);
    return payload.empty() || ReadExactly(payload.data(), payload.size());
}

bool SimClient::Request(uint8_t opcode, const Bytes& payload, uint32_t& error, Bytes& answer)
{
    Bytes frame{opcode, static_cast<uint8_t>(payload.size()), static_cast<uint8_t>(payload.size() >> 8)};
    frame.insert(frame.end(), payload.begin(), payload.end());
    return SendRaw(frame) && ReadAnswer(error, answer);
}

bool SimClient::SeesClose()
{
    pollfd entry{m_fd, POLLIN, 0};
    if (::poll(&entry, 1, 5000) <= 0) {
        return false;
    }
    uint8_t byte;
    ssize_t n = ::recv(m_fd, &byte, 1, 0);
    return n == 0 || (n < 0 && errno == ECONNRESET);
}
