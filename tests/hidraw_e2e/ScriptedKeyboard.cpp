#include "ScriptedKeyboard.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr uint8_t kCommandReportId = 2;
constexpr size_t kCommandReportLength = 8;
constexpr uint8_t kDataReportId = 3;
constexpr size_t kDataReportLength = 137;
constexpr uint8_t StatusBusy = 3;

// A real device stalls the control transfer of a report it does not have.
bool KnownReport(const uint8_t* report, size_t length)
{
    return (report[0] == kCommandReportId && length == kCommandReportLength) ||
           (report[0] == kDataReportId && length == kDataReportLength);
}

} // namespace

int ScriptedKeyboard::TakeFault(size_t length)
{
    if (m_failErrno != 0) {
        const int answer = -m_failErrno;
        m_failErrno = 0;
        return answer;
    }
    if (m_shortCount >= 0) {
        const int answer = std::min(m_shortCount, static_cast<int>(length));
        m_shortCount = -1;
        return answer;
    }
    return static_cast<int>(length);
}

int ScriptedKeyboard::SetFeature(const uint8_t* report, size_t length)
{
    std::lock_guard lock(m_mutex);
    if (!KnownReport(report, length)) {
        return -EPIPE;
    }
    m_received.emplace_back(report, report + length);
    if (report[0] == kCommandReportId) {
        m_busyLeft = m_busyAnswers;
    }
    return TakeFault(length);
}

int ScriptedKeyboard::GetFeature(uint8_t* report, size_t length)
{
    std::lock_guard lock(m_mutex);
    if (!KnownReport(report, length)) {
        return -EPIPE;
    }
    std::memset(report + 1, 0, length - 1);
    if (report[0] == kCommandReportId) {
        report[1] = m_busyLeft > 0 ? StatusBusy : m_status;
        m_busyLeft = std::max(m_busyLeft - 1, 0);
    } else {
        std::memcpy(report + 1, m_dataAnswer.data(), m_dataAnswer.size());
    }
    return TakeFault(length);
}

std::vector<ScriptedKeyboard::Bytes> ScriptedKeyboard::Received() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

void ScriptedKeyboard::SetDataAnswer(const Bytes& payload)
{
    std::lock_guard lock(m_mutex);
    m_dataAnswer.assign(136, 0);
    std::copy_n(payload.begin(), std::min(payload.size(), m_dataAnswer.size()), m_dataAnswer.begin());
}

void ScriptedKeyboard::SetStatus(uint8_t status, int busyAnswers)
{
    std::lock_guard lock(m_mutex);
    m_status = status;
    m_busyAnswers = busyAnswers;
}

void ScriptedKeyboard::FailNext(int errnoValue)
{
    std::lock_guard lock(m_mutex);
    m_failErrno = errnoValue;
}

void ScriptedKeyboard::AnswerShortNext(int byteCount)
{
    std::lock_guard lock(m_mutex);
    m_shortCount = byteCount;
}
