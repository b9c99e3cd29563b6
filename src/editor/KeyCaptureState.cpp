#include "editor/KeyCaptureState.h"

#include "editor/ContextMenuRules.h"
#include "editor/VirtualKeys.h"

#include <algorithm>

namespace {

constexpr uint32_t kMaxScanCode = 0xFF;

// Releases of these keys never reach the editor; their presses do.
bool IsModifierKey(uint8_t virtualKey)
{
    return virtualKey == VkLeftWindows || virtualKey == VkRightWindows ||
           (virtualKey >= VkLeftShift && virtualKey <= VkRightAlt);
}

} // namespace

KeyHookResult KeyCaptureState::ProcessKeyEvent(const KeyHookEvent& event)
{
    KeyHookResult result;
    const uint8_t key = event.virtualKey;
    if (event.focusInProcess && event.scanCode > kMaxScanCode) {
        result.action = KeyHookAction::Drop;
        return result;
    }
    const bool wasDown = m_keyDown[key] != 0;
    // Tracked for every process, so that the modifier state is right when the focus comes back.
    if (event.scanCode <= kMaxScanCode) {
        m_keyDown[key] = event.released ? 0 : 1;
    }
    if (!event.focusInProcess || key == VkNumLock || (event.released && IsModifierKey(key))) {
        return result;
    }

    uint32_t data = event.scanCode << 16;
    if (event.extended) {
        data |= kKeyDataExtended;
    }
    // Read after the update: an Alt press carries the flag itself.
    if (m_keyDown[VkLeftAlt] != 0 || m_keyDown[VkRightAlt] != 0) {
        data |= kKeyDataAltDown;
    }
    if (event.released) {
        data |= kKeyDataReleased;
    }
    if (wasDown) {
        // A key held for half an hour must not count into the scan code bits.
        ++m_repeatCount[key];
        data |= kKeyDataPreviousDown | std::min<uint32_t>(m_repeatCount[key], kKeyDataRepeatMask);
    } else {
        m_repeatCount[key] = 0;
    }
    result.action = KeyHookAction::Forward;
    result.message.message = event.released ? KeyMessageHookKeyUp : KeyMessageHookKeyDown;
    result.message.wParam = key;
    result.message.lParam = data;
    return result;
}

uint8_t KeyCaptureState::GetModifierState() const
{
    struct Bit
    {
        uint8_t virtualKey;
        uint8_t bit;
    };
    static constexpr Bit kBits[] = {
        {VkLeftShift, ModLeftShift},     {VkLeftControl, ModLeftCtrl},      {VkLeftAlt, ModLeftAlt},
        {VkLeftWindows, ModLeftWindows}, {VkRightShift, ModRightShift},     {VkRightControl, ModRightCtrl},
        {VkRightAlt, ModRightAlt},       {VkRightWindows, ModRightWindows},
    };
    uint8_t state = 0;
    for (const Bit& entry : kBits) {
        if (m_keyDown[entry.virtualKey] != 0) {
            state |= entry.bit;
        }
    }
    return state;
}

void KeyCaptureState::ForgetReleasedKeys(const std::bitset<256>& heldNow)
{
    for (size_t key = 0; key < m_keyDown.size(); ++key) {
        if (m_keyDown[key] != 0 && !heldNow[key]) {
            m_keyDown[key] = 0;
            m_repeatCount[key] = 0;
        }
    }
}

bool KeyCaptureState::IsKeyDown(uint8_t virtualKey) const
{
    return m_keyDown[virtualKey] != 0;
}

uint32_t KeyCaptureState::GetRepeatCount(uint8_t virtualKey) const
{
    return m_repeatCount[virtualKey];
}
