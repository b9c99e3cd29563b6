// A keyboard reduced to its feature-report handshake, for the end-to-end tests: command report 2
// (8 bytes) and data report 3 (137 bytes), with answers and faults set by the test.
#pragma once

#include "EmulatedHidraw.h"

#include <cstdint>
#include <mutex>
#include <vector>

class ScriptedKeyboard : public FeatureResponder
{
public:
    using Bytes = std::vector<uint8_t>;

    int SetFeature(const uint8_t* report, size_t length) override;
    int GetFeature(uint8_t* report, size_t length) override;

    // Every report set, in order, as it arrived.
    std::vector<Bytes> Received() const;
    // The payload answered on data report reads, padded with zeros.
    void SetDataAnswer(const Bytes& payload);
    // The status answered after a command, and how many busy answers come first.
    void SetStatus(uint8_t status, int busyAnswers = 0);
    // The next call answers -errnoValue, or only byteCount bytes.
    void FailNext(int errnoValue);
    void AnswerShortNext(int byteCount);

private:
    int TakeFault(size_t length);

    mutable std::mutex m_mutex;
    std::vector<Bytes> m_received;
    Bytes m_dataAnswer = Bytes(136, 0);
    uint8_t m_status = 1;
    int m_busyAnswers = 0;
    int m_busyLeft = 0;
    int m_failErrno = 0;
    int m_shortCount = -1;
};
