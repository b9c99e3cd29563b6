// Where device operations report their progress.
#pragma once

#include <cstdint>

// What an operation is doing, for the user to read beside the bar.
enum class ProgressPhase : uint8_t {
    None,
    BackingUp,
    Writing,
    Verifying,
    Reading,
    SendingFirmware,
    ReadingVersion,
};

// Protocol: (0, total) once at the start, (done, total) after each unit of work, (0, 0) at the end.
// A phase is announced before the progress of its work.
class ProgressSink
{
public:
    virtual ~ProgressSink() = default;
    virtual void Progress(uint32_t done, uint32_t total) = 0;
    virtual void Phase(ProgressPhase /*phase*/) {}
    // The keyboard has answered busy for a while and the operation still waits for it.
    virtual void KeyboardBusy() {}
};

// Sends to the sink when there is one, then pumps messages in every case.
void ReportProgress(ProgressSink* sink, uint32_t done, uint32_t total);
void ReportPhase(ProgressSink* sink, ProgressPhase phase);
