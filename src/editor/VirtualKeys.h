// Windows virtual-key codes that key capture hands to the cells and the key panel. Letters and
// punctuation carry the US-layout codes: capture goes by scan code, so these only name the position.
#pragma once

#include <cstdint>

enum VirtualKey : uint8_t {
    VkCancel = 0x03, // Ctrl+Pause
    VkBackspace = 0x08,
    VkTab = 0x09,
    VkReturn = 0x0D,
    VkShift = 0x10,
    VkControl = 0x11,
    VkAlt = 0x12,
    VkPause = 0x13,
    VkCapsLock = 0x14,
    VkEscape = 0x1B,
    VkSpace = 0x20,
    VkPageUp = 0x21,
    VkPageDown = 0x22,
    VkEnd = 0x23,
    VkHome = 0x24,
    VkLeft = 0x25,
    VkUp = 0x26,
    VkRight = 0x27,
    VkDown = 0x28,
    VkPrintScreen = 0x2C,
    VkInsert = 0x2D,
    VkDelete = 0x2E,
    Vk0 = 0x30, // digits 0x30 to 0x39, letters 0x41 to 0x5A
    VkA = 0x41,
    VkLeftWindows = 0x5B,
    VkRightWindows = 0x5C,
    VkMenu = 0x5D,
    VkNumPad0 = 0x60, // to 0x69
    VkMultiply = 0x6A,
    VkAdd = 0x6B,
    VkSubtract = 0x6D,
    VkDecimal = 0x6E,
    VkDivide = 0x6F,
    VkF1 = 0x70, // to F24 = 0x87
    VkNumLock = 0x90,
    VkScrollLock = 0x91,
    VkLeftShift = 0xA0,
    VkRightShift = 0xA1,
    VkLeftControl = 0xA2,
    VkRightControl = 0xA3,
    VkLeftAlt = 0xA4,
    VkRightAlt = 0xA5,
    VkSemicolon = 0xBA,
    VkEquals = 0xBB,
    VkComma = 0xBC,
    VkMinus = 0xBD,
    VkPeriod = 0xBE,
    VkSlash = 0xBF,
    VkGrave = 0xC0,
    VkLeftBracket = 0xDB,
    VkBackslash = 0xDC,
    VkRightBracket = 0xDD,
    VkApostrophe = 0xDE,
    VkOem102 = 0xE2, // the extra key left of Z on 105-key keyboards
};
