// The state of the "Communication..." progress bar as the progress protocol drives it; the window
// only mirrors it.
#pragma once

#include "device/ProgressSink.h"

#include <cstdint>
#include <functional>

class ProgressBarState : public ProgressSink
{
public:
    // (0, n): range 0..n, n cut to 16 bits; (k, n): position k; (x, 0): nothing.
    void Progress(uint32_t done, uint32_t total) override;
    void Phase(ProgressPhase phase) override;

    uint16_t GetMaximum() const { return m_maximum; }
    // Kept within the range, as a progress control does.
    uint32_t GetPosition() const { return m_position; }
    ProgressPhase GetPhase() const { return m_phase; }
    // Called after every change of range, position or phase.
    void SetChangedHandler(std::function<void()> handler);

private:
    uint16_t m_maximum = 100; // the control's default range until the first (0, total)
    uint32_t m_position = 0;
    ProgressPhase m_phase = ProgressPhase::None;
    bool m_newPhase = false;
    std::function<void()> m_changed;
};
