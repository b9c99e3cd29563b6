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

// The left and right modifier keys as the window's own key messages name them.
uint32_t WindowVirtualKey(uint8_t virtualKey)
{
    switch (virtualKey) {
    case VkLeftShift:
    case VkRightShift:
        return VkShift;
    case VkLeftControl:
    case VkRightControl:
        return VkControl;
    case VkLeftAlt:
    case VkRightAlt:
        return VkAlt;
    default:
        return virtualKey;
    }
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

bool KeyCaptureState::IsAnyKeyDown() const
{
    return std::any_of(m_keyDown.begin(), m_keyDown.end(), [](uint8_t down) { return down != 0; });
}

uint32_t KeyCaptureState::GetRepeatCount(uint8_t virtualKey) const
{
    return m_repeatCount[virtualKey];
}

KeyMessage GetEditorMessage(const KeyHookEvent& event, const KeyHookResult& result)
{
    if (result.action == KeyHookAction::Forward) {
        return result.message;
    }
    const uint32_t windowKey = WindowVirtualKey(event.virtualKey);
    const auto set1Code = static_cast<uint16_t>(event.scanCode | (event.extended ? 0x100u : 0u));
    return event.released ? MakeKeyUpMessage(windowKey, set1Code, KeyMessageKeyUp)
                          : MakeKeyDownMessage(windowKey, set1Code, 0, KeyMessageKeyDown);
}

KeyHookEvent MakeKeyHookEvent(const NativeKey& key, bool released)
{
    return KeyHookEvent{key.virtualKey, key.GetScanCode(), key.IsExtended(), released, true};
}
