#include "SocketTestServer.h"

#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

SocketTestServer::SocketTestServer(const std::string& path, Handler handler)
    : m_path(path), m_handler(std::move(handler))
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    m_listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 8) != 0) {
        return; // the tests see the failure as a missing device
    }
    m_thread = std::thread([this] { Run(); });
}

SocketTestServer::~SocketTestServer()
{
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_listener >= 0) {
        close(m_listener);
    }
    unlink(m_path.c_str());
}

std::vector<SocketTestServer::Request> SocketTestServer::Requests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

namespace {

void AppendU16(std::vector<uint8_t>& bytes, uint16_t value)
{
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

} // namespace

std::vector<uint8_t> SocketTestServer::Answer(uint32_t error, const std::vector<uint8_t>& payload)
{
    std::vector<uint8_t> bytes;
    AppendU16(bytes, static_cast<uint16_t>(error));
    AppendU16(bytes, static_cast<uint16_t>(error >> 16));
    AppendU16(bytes, static_cast<uint16_t>(payload.size()));
    for (uint8_t byte : payload) {
        bytes.push_back(byte);
    }
    return bytes;
}

std::vector<uint8_t> SocketTestServer::InfoPayload(uint16_t vendorId, uint16_t productId,
                                                   uint16_t featureLength, uint8_t kind,
                                                   const std::string& name)
{
    std::vector<uint8_t> bytes;
    AppendU16(bytes, vendorId);
    AppendU16(bytes, productId);
    AppendU16(bytes, featureLength);
    bytes.push_back(kind);
    for (char c : name) {
        bytes.push_back(static_cast<uint8_t>(c));
    }
    return bytes;
}

void SocketTestServer::Run()
{
    while (!m_stop) {
        pollfd entry{m_listener, POLLIN, 0};
        if (poll(&entry, 1, 20) <= 0) {
            continue;
        }
        const int connection = accept(m_listener, nullptr, nullptr);
        if (connection < 0) {
            continue;
        }
        ++m_connections;
        Serve(connection);
        close(connection);
    }
}

void SocketTestServer::Serve(int connection)
{
    for (;;) {
        Request request;
        uint8_t header[3];
        if (!ReadExactly(connection, header, sizeof header)) {
            return;
        }
        request.opcode = header[0];
        request.payload.resize(header[1] | header[2] << 8);
        if (!request.payload.empty() &&
            !ReadExactly(connection, request.payload.data(), request.payload.size())) {
            return;
        }
        request.raw.assign(header, header + sizeof header);
        request.raw.insert(request.raw.end(), request.payload.begin(), request.payload.end());
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(request);
        }
        const Action action = m_handler(request);
        if (action.silent) {
            uint8_t ignored;
            while (ReadExactly(connection, &ignored, 1)) {
            }
            return;
        }
        if (!action.bytes.empty() &&
            send(connection, action.bytes.data(), action.bytes.size(), MSG_NOSIGNAL) < 0) {
            return;
        }
        if (action.closeAfter) {
            return;
        }
    }
}

bool SocketTestServer::ReadExactly(int connection, uint8_t* data, size_t length)
{
    size_t done = 0;
    while (done < length) {
        if (m_stop) {
            return false;
        }
        pollfd entry{connection, POLLIN, 0};
        if (poll(&entry, 1, 20) <= 0) {
            continue;
        }
        const ssize_t count = recv(connection, data + done, length - done, 0);
        if (count <= 0) {
            return false;
        }
        done += static_cast<size_t>(count);
    }
    return true;
}
