#include "device/ProgressBarState.h"

#include <algorithm>
#include <utility>

void ProgressBarState::Progress(uint32_t done, uint32_t total)
{
    if (total == 0) {
        return;
    }
    if (done == 0) {
        m_maximum = static_cast<uint16_t>(total & 0xFFFF);
    } else {
        m_position = done;
    }
    m_position = std::min<uint32_t>(m_position, m_maximum);
    if (m_changed) {
        m_changed();
    }
}

void ProgressBarState::Phase(ProgressPhase phase)
{
    // A new phase fills the bar anew.
    m_phase = phase;
    m_position = 0;
    if (m_changed) {
        m_changed();
    }
}

void ProgressBarState::SetChangedHandler(std::function<void()> handler)
{
    m_changed = std::move(handler);
}
