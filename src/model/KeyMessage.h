// The platform-shaped keyboard message that key capture hands to the key cells.
#pragma once

#include <cstdint>

enum KeyMessageId : uint32_t {
    KeyMessageKeyDown = 0x100,
    KeyMessageKeyUp = 0x101,
    KeyMessageSysKeyDown = 0x104,
    KeyMessageSysKeyUp = 0x105,
    KeyMessageHookKeyDown = 0x40A,
    KeyMessageHookKeyUp = 0x40B,
};

enum VirtualKeyCode : uint32_t {
    VirtualKeyBackspace = 0x08,
    VirtualKeyEnter = 0x0D,
    VirtualKeyEscape = 0x1B,
};

// Key data (lParam) bits.
constexpr uint32_t kKeyDataRepeatMask = 0xFFFF;
constexpr uint32_t kKeyDataExtended = 1u << 24;
constexpr uint32_t kKeyDataPreviousDown = 1u << 30;
constexpr uint32_t kKeyDataReleased = 1u << 31;

struct KeyMessage
{
    uint32_t message = 0;
    uint32_t wParam = 0; // virtual-key code
    uint32_t lParam = 0; // key data

    bool IsKeyDown() const
    {
        return message == KeyMessageKeyDown || message == KeyMessageSysKeyDown ||
               message == KeyMessageHookKeyDown;
    }
    bool IsKeyUp() const
    {
        return message == KeyMessageKeyUp || message == KeyMessageSysKeyUp || message == KeyMessageHookKeyUp;
    }
    bool IsAutoRepeat() const { return (lParam & kKeyDataPreviousDown) != 0; }
    // Bits 16 to 31: scan code, 0x100 for an extended key, 0x8000 for a release; the table
    // lookups mask away the other flag bits.
    uint32_t GetSet1Code() const { return lParam >> 16; }
};

// A key press as the capture hook reports it; set1Code carries 0x100 for an extended key.
// A repeat count above 0 marks an auto-repeat (previous state down).
inline KeyMessage MakeKeyDownMessage(uint32_t virtualKey, uint32_t set1Code, uint16_t repeatCount = 0,
                                     uint32_t message = KeyMessageHookKeyDown)
{
    uint32_t data = (set1Code & 0xFFu) << 16;
    if (set1Code & 0x100u) {
        data |= kKeyDataExtended;
    }
    if (repeatCount > 0) {
        data |= kKeyDataPreviousDown | repeatCount;
    }
    return KeyMessage{message, virtualKey, data};
}

// The release of a held key: previous state down, transition bit set.
inline KeyMessage MakeKeyUpMessage(uint32_t virtualKey, uint32_t set1Code,
                                   uint32_t message = KeyMessageHookKeyUp)
{
    uint32_t data = ((set1Code & 0xFFu) << 16) | kKeyDataPreviousDown | kKeyDataReleased;
    if (set1Code & 0x100u) {
        data |= kKeyDataExtended;
    }
    return KeyMessage{message, virtualKey, data};
}
