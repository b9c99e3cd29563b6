// Where a USB device operation finds its HID backend and clock. Production passes nothing and gets
// the backend CreateHidBackend() chooses (zqsim when ZQ_SIMULATOR is set) and the real clock; tests
// pass a fake keyboard and a fake clock.
#pragma once

#include "device/HidBackend.h"
#include "device/HidChannel.h"

#include <cstdint>
#include <functional>
#include <memory>

struct HidAccess
{
    HidBackend* backend = nullptr;         // null: CreateHidBackend()
    std::function<uint64_t()> nowMs;       // empty: the steady clock
    std::function<void(uint32_t)> sleepMs; // empty: a real sleep
};

// The backend and channel of one device operation; the channel is closed before the backend goes.
class HidSession
{
public:
    // The progress sink, when given, also hears of a keyboard that stays busy.
    explicit HidSession(const HidAccess& access, ProgressSink* progress = nullptr);
    HidSession(const HidSession&) = delete;
    HidSession& operator=(const HidSession&) = delete;

    HidChannel& Channel() { return *m_channel; }

private:
    std::unique_ptr<HidBackend> m_ownedBackend;
    std::unique_ptr<HidChannel> m_channel;
};
