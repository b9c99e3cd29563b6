#include "device/SimulatorConnection.h"

#include "device/OsError.h"
#include "device/SimulatorProtocol.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

using namespace SimulatorProtocol;

namespace {

uint64_t NowMs()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace

SimulatorConnection::SimulatorConnection(uint32_t timeoutMs) : m_timeoutMs(timeoutMs) {}

SimulatorConnection::~SimulatorConnection()
{
    Close();
}

bool SimulatorConnection::Connect(const std::string& socketPath)
{
    Close();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path) {
        m_lastError = MapOsError(ENAMETOOLONG);
        return false;
    }
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        m_lastError = MapOsError(errno);
        return false;
    }
    // A peer that never accepts (full backlog) must not block the connect for ever.
    timeval timeout{};
    timeout.tv_sec = m_timeoutMs / 1000;
    timeout.tv_usec = static_cast<suseconds_t>((m_timeoutMs % 1000) * 1000);
    if (setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) != 0 ||
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        m_lastError = MapOsError(errno);
        close(fd);
        return false;
    }
    m_socket = fd;
    m_lastError = kOsErrorNone;
    return true;
}

void SimulatorConnection::Attach(int socket)
{
    Close();
    m_socket = socket;
    m_lastError = kOsErrorNone;
}

void SimulatorConnection::Close()
{
    if (m_socket >= 0) {
        close(m_socket);
        m_socket = -1;
    }
}

bool SimulatorConnection::Transact(uint8_t opcode, const uint8_t* payload, size_t length,
                                   std::vector<uint8_t>& answer, size_t minAnswer, size_t maxAnswer)
{
    answer.clear();
    if (m_socket < 0) {
        m_lastError = kOsErrorNotFunctioning;
        return false;
    }
    if (length > UINT16_MAX || (payload == nullptr && length != 0)) {
        m_lastError = MapOsError(EINVAL);
        return false;
    }
    const uint64_t deadline = NowMs() + m_timeoutMs;
    std::vector<uint8_t> request(kRequestHeaderLength + length);
    WriteRequestHeader(request.data(), {opcode, static_cast<uint16_t>(length)});
    if (length != 0) {
        std::memcpy(&request[kRequestHeaderLength], payload, length);
    }
    uint8_t header[kAnswerHeaderLength];
    if (!SendAll(request.data(), request.size(), deadline) || !ReceiveAll(header, sizeof header, deadline)) {
        return FailIo();
    }
    const AnswerHeader answerHeader = ReadAnswerHeader(header);
    const uint32_t error = answerHeader.error;
    const size_t answerLength = answerHeader.length;
    // A failure answer may carry any payload up to the largest we accept; it is read and dropped.
    if (answerLength > maxAnswer || (error == 0 && answerLength < minAnswer)) {
        return FailIo();
    }
    answer.resize(answerLength);
    if (answerLength != 0 && !ReceiveAll(answer.data(), answerLength, deadline)) {
        answer.clear();
        return FailIo();
    }
    if (error != 0) {
        answer.clear();
        m_lastError = error;
        return false;
    }
    m_lastError = kOsErrorNone;
    return true;
}

bool SimulatorConnection::QueryInfo(HidInterfaceInfo& info, bool openForUse)
{
    std::vector<uint8_t> answer;
    const uint8_t open = kInfoOpenForUse;
    if (!Transact(kOpcodeInfo, openForUse ? &open : nullptr, openForUse ? 1 : 0, answer, kInfoNameOffset,
                  kInfoNameOffset + kMaxNameLength)) {
        return false;
    }
    if (!ReadInfoAnswer(answer.data(), answer.size(), info)) {
        return FailIo();
    }
    return true;
}

bool SimulatorConnection::SendAll(const uint8_t* data, size_t length, uint64_t deadlineMs)
{
    size_t sent = 0;
    while (sent < length) {
        if (!WaitFor(POLLOUT, deadlineMs)) {
            return false;
        }
        const ssize_t count = send(m_socket, data + sent, length - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (count < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            return false;
        }
        sent += static_cast<size_t>(count);
    }
    return true;
}

bool SimulatorConnection::ReceiveAll(uint8_t* data, size_t length, uint64_t deadlineMs)
{
    size_t received = 0;
    while (received < length) {
        if (!WaitFor(POLLIN, deadlineMs)) {
            return false;
        }
        const ssize_t count = recv(m_socket, data + received, length - received, MSG_DONTWAIT);
        if (count < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            return false;
        }
        if (count == 0) {
            return false; // the peer closed in the middle of an answer
        }
        received += static_cast<size_t>(count);
    }
    return true;
}

bool SimulatorConnection::WaitFor(short events, uint64_t deadlineMs)
{
    for (;;) {
        const uint64_t now = NowMs();
        if (now >= deadlineMs) {
            return false;
        }
        pollfd entry{m_socket, events, 0};
        const int ready = poll(&entry, 1, static_cast<int>(std::min<uint64_t>(deadlineMs - now, INT32_MAX)));
        if (ready > 0) {
            return true; // errors and hang-ups show up in the following send or recv
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

bool SimulatorConnection::FailIo()
{
    // After a short or garbled answer the byte stream cannot be trusted any more.
    Close();
    m_lastError = kOsErrorNotFunctioning;
    return false;
}
