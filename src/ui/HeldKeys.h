// Which keys the keyboard holds down at this moment, asked of the platform rather than pieced
// together from the key events the program happened to see.
#pragma once

#include <bitset>

// Indexed by virtual key; none held when the platform cannot tell (Wayland, offscreen).
std::bitset<256> QueryHeldVirtualKeys();
