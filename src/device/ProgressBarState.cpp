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
        // A phase with a range of its own fills the bar anew; one that goes on in the range of the
        // phase before (verifying after writing) goes on from where it stands.
        if (m_newPhase) {
            m_position = 0;
        }
    } else {
        m_position = done;
    }
    m_newPhase = false;
    m_position = std::min<uint32_t>(m_position, m_maximum);
    if (m_changed) {
        m_changed();
    }
}

void ProgressBarState::Phase(ProgressPhase phase)
{
    m_phase = phase;
    m_newPhase = true;
    if (m_changed) {
        m_changed();
    }
}

void ProgressBarState::SetChangedHandler(std::function<void()> handler)
{
    m_changed = std::move(handler);
}
