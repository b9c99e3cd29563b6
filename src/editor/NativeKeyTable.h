// The platform's native key number -> set-1 scan code and Windows virtual-key code, the form in
// which key capture hands a key to the cells.
#pragma once

#include <cstdint>

struct NativeKey
{
    uint16_t set1Code = 0; // as in the key tables: low 8 bits the scan code, 0x100 for an E0 key
    uint8_t virtualKey = 0;

    uint32_t GetScanCode() const { return set1Code & 0xFFu; }
    bool IsExtended() const { return (set1Code & 0x100u) != 0; }
};

// Pause is 0x045 and Num Lock 0x145, Print Screen 0x137: the codes Windows reports for them and the
// ones the USB table lists. Keys the table does not know are answered with false, never with a
// scan code of 0, which the tables would read as Print_screen or Power.
class NativeKeyTable
{
public:
    // Linux: the kernel's evdev key code.
    static bool FindByEvdevCode(uint32_t evdevCode, NativeKey* key);
    // X11 and Wayland key code: the evdev code + 8.
    static bool FindByXkbKeycode(uint32_t keycode, NativeKey* key);
    // Windows: the native scan code is set 1 already; the extended flag marks the E0 keys.
    static bool FindByWindowsScanCode(uint32_t scanCode, bool extended, NativeKey* key);

    // The other way, for synthesising native events in tests; 0 when no key sends the code.
    static uint32_t FindEvdevCode(uint16_t set1Code);
    static uint32_t FindXkbKeycode(uint16_t set1Code);
};
