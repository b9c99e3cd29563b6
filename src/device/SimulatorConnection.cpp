#include "device/SimulatorConnection.h"

#include "device/OsError.h"
#include "device/SimulatorProtocol.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

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

bool SimulatorConnection::Connect(const std::string& entry)
{
    Close();
    SimulatorEndpoint endpoint;
    if (!ParseSimulatorEndpoint(entry, endpoint)) {
        m_lastError = MapOsError(EINVAL);
        return false;
    }
    m_socket = SimulatorSocket::Connect(endpoint, m_timeoutMs, m_lastError);
    return m_socket != kNoSimulatorSocket;
}

void SimulatorConnection::Attach(SimulatorSocketHandle socket)
{
    Close();
    m_socket = socket;
    m_lastError = kOsErrorNone;
}

void SimulatorConnection::Close()
{
    if (m_socket != kNoSimulatorSocket) {
        SimulatorSocket::Close(m_socket);
        m_socket = kNoSimulatorSocket;
    }
}

bool SimulatorConnection::Transact(uint8_t opcode, const uint8_t* payload, size_t length,
                                   std::vector<uint8_t>& answer, size_t minAnswer, size_t maxAnswer)
{
    answer.clear();
    if (m_socket == kNoSimulatorSocket) {
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
        if (!WaitFor(true, deadlineMs)) {
            return false;
        }
        const ptrdiff_t count = SimulatorSocket::Send(m_socket, data + sent, length - sent);
        if (count < 0) {
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
        if (!WaitFor(false, deadlineMs)) {
            return false;
        }
        const ptrdiff_t count = SimulatorSocket::Receive(m_socket, data + received, length - received);
        if (count < 0) {
            return false; // failed, or the peer closed in the middle of an answer
        }
        received += static_cast<size_t>(count);
    }
    return true;
}

bool SimulatorConnection::WaitFor(bool forSending, uint64_t deadlineMs)
{
    for (;;) {
        const uint64_t now = NowMs();
        if (now >= deadlineMs) {
            return false;
        }
        const uint64_t left = std::min<uint64_t>(deadlineMs - now, UINT32_MAX);
        const int ready = SimulatorSocket::Wait(m_socket, forSending, static_cast<uint32_t>(left));
        if (ready > 0) {
            return true; // errors and hang-ups show up in the following send or receive
        }
        if (ready < 0) {
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
