// Numeric ids of every user-visible text; the texts themselves live in the built-in string table.
#pragma once

#include <cstdint>

// Key cells
constexpr uint32_t IDS_KEY_DEFAULT_NAME = 34000; // "Key_"
constexpr uint32_t IDS_KEY_TYPE_KEY = 36300;
constexpr uint32_t IDS_KEY_TYPE_MODIFIER = 36301;
constexpr uint32_t IDS_KEY_TYPE_NEXT_LAYOUT = 36302;
constexpr uint32_t IDS_KEY_TYPE_LAYOUT_N = 36303; // "Switch to Layout %d"
constexpr uint32_t IDS_MODE_1 = 36304;
constexpr uint32_t IDS_MODE_2 = 36305;
constexpr uint32_t IDS_MODE_3 = 36306;
